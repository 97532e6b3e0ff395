#include "host/panel/panel.h"

#include <algorithm>
#include <climits>

#include "com/text.h"

namespace host {

std::unique_ptr<Panel> Panel::Create(PluginCatalog& catalog,
                                     const std::vector<ScreenConfig>& screens, PanelError* error,
                                     const Panel* previous) {
    std::unique_ptr<Panel> panel(new Panel());
    for (const ScreenConfig& screen : screens)
        if (!panel->AddScreen(catalog, screen, previous, error)) return nullptr;
    return panel;
}

std::unique_ptr<Panel> Panel::Create(PluginCatalog& catalog,
                                     const std::vector<std::string>& templates,
                                     std::string* error) {
    PanelError why;
    auto panel = Create(catalog, {ScreenConfig{"", 5, Priority::kInfo, templates}}, &why);
    if (!panel) *error = Describe(why);
    return panel;
}

bool Panel::AddScreen(PluginCatalog& catalog, const ScreenConfig& screen, const Panel* previous,
                      PanelError* error) {
    const std::size_t number = screens_.size();
    screens_.push_back({screen.name, screen.duration, screen.priority, {}});
    auto& lines = lines_.emplace_back();
    for (const std::string& text : screen.lines) {
        std::vector<TemplatePiece> pieces;
        std::string why;
        if (!ParseTemplate(text, &pieces, &why)) return *error = BadTemplate{why}, false;
        std::vector<Piece> line;
        for (const TemplatePiece& piece : pieces) {
            if (!piece.isItem) {
                line.push_back({piece.literal, std::nullopt});
                continue;
            }
            std::size_t slot = 0;
            if (!Resolve(catalog, piece, previous, &slot, error)) return false;
            slots_[slot].places.push_back({number, lines.size()});
            line.push_back({u"", slot});
        }
        lines.push_back(std::move(line));
    }
    return true;
}

bool Panel::Resolve(PluginCatalog& catalog, const TemplatePiece& piece, const Panel* previous,
                    std::size_t* slot, PanelError* error) {
    std::size_t source = 0;
    LONG index = -1;
    if (!FindSource(catalog, piece.plugin, previous, &source, error) ||
        !FindItem(sources_[source], piece, &index, error))
        return false;
    for (std::size_t k = 0; k < slots_.size(); ++k) {
        if (slots_[k].source == source && slots_[k].index == index) {
            *slot = k;
            return true;
        }
    }
    slots_.push_back({source, index, u"", {}, false});
    *slot = slots_.size() - 1;
    return true;
}

bool Panel::FindSource(PluginCatalog& catalog, const std::string& plugin, const Panel* previous,
                       std::size_t* source, PanelError* error) {
    std::string name, why;
    ITessivar2DataProvider* provider = catalog.Find(plugin, &name, &why);
    if (provider == nullptr) return *error = PluginUnavailable{why}, false;
    auto same = [provider](const Source& s) { return s.provider.raw() == provider; };
    auto found = std::find_if(sources_.begin(), sources_.end(), same);
    if (found == sources_.end() && previous != nullptr) {
        const auto& before = previous->sources_;
        if (const auto kept = std::find_if(before.begin(), before.end(), same);
            kept != before.end()) {
            sources_.push_back(*kept);
            found = sources_.end() - 1;
        }
    }
    if (found == sources_.end()) {
        Source fresh{Provider(name, provider), 1000, std::nullopt};
        if (!ReadSource(&fresh, error)) return false;
        sources_.push_back(std::move(fresh));
        found = sources_.end() - 1;
    }
    *source = static_cast<std::size_t>(found - sources_.begin());
    return true;
}

bool Panel::ReadSource(Source* source, PanelError* error) {
    // The host's order: the item list first, then the poll settings.
    Provider& provider = source->provider;
    MemberFailure failure;
    if (!provider.ReadItems(&failure)) return *error = failure, false;
    LONG frequency = 0, method = 0;
    HRESULT hr;
    if (FAILED(hr = provider.PollFrequency(&frequency)))
        return *error = provider.Failure("PollFreqency", hr), false;
    if (FAILED(hr = provider.PollMethod(&method)))
        return *error = provider.Failure("PollMethod", hr), false;
    // Every method code is served by polling at the asked frequency; a frequency that is not
    // positive gets the common one second.
    source->period = frequency > 0 ? frequency : 1000;
    return true;
}

bool Panel::FindItem(const Source& source, const TemplatePiece& piece, LONG* index,
                     PanelError* error) {
    const auto& items = source.provider.items();
    const auto count = static_cast<LONG>(items.size());
    const NoSuchItem missing{source.provider.name(), piece.Written(), piece.index, count};
    if (piece.index) {
        *index = *piece.index;
        if (*index < 0 || *index >= count) return *error = missing, false;
        return true;
    }
    // The full DisplayName, or the path behind the plug-in name; exact, then in any case.
    const std::u16string_view written = piece.path;
    const std::u16string_view behind = written.substr(written.find(u'\\') + 1);
    auto matches = [&](bool exact) {
        for (LONG i = 0; i < count; ++i) {
            const std::u16string& d = items[static_cast<std::size_t>(i)].displayName;
            if (exact ? (d == written || d == behind)
                      : (com::EqualsNoCase(d, written) || com::EqualsNoCase(d, behind)))
                return i;
        }
        return LONG{-1};
    };
    *index = matches(true);
    if (*index < 0) *index = matches(false);
    if (*index < 0) return *error = missing, false;
    return true;
}

void Panel::Fail(std::int64_t now, MemberFailure failure) {
    status_ = Describe(failure);
    statusUntil_ = now + kStatusMilliseconds;
    failures_.push_back(std::move(failure));
}

void Panel::SetShown(std::optional<std::vector<View>> views, bool pollHidden) {
    shown_ = std::move(views);
    pollHidden_ = pollHidden;
}

bool Panel::OnShownScreen(const Slot& slot) const {
    if (!shown_) return true;
    for (const Place& place : slot.places)
        for (const View& view : *shown_)
            if (place.screen == view.screen && place.line >= view.first && place.line < view.end)
                return true;
    return false;
}

bool Panel::Polled(std::size_t source) const {
    if (pollHidden_ || !shown_) return true;
    for (const Slot& slot : slots_)
        if (slot.source == source && OnShownScreen(slot)) return true;
    return false;
}

bool Panel::Read(Slot& slot, std::int64_t now) {
    slot.read = true;
    std::u16string text;
    const Provider& provider = sources_[slot.source].provider;
    const HRESULT hr = provider.ValueText(slot.index, &text);
    if (FAILED(hr)) {
        Fail(now, provider.ValueFailure(slot.index, hr));
        text.clear();
    }
    if (text == slot.text) return false;
    slot.text = std::move(text);
    return true;
}

bool Panel::Tick(std::int64_t now) {
    bool changed = false;
    const std::string before = status_;
    failures_.clear();
    for (std::size_t k = 0; k < sources_.size(); ++k) {
        Source& s = sources_[k];
        if ((s.due && now < *s.due) || !Polled(k)) continue;
        const HRESULT polled = s.provider.Poll();
        if (FAILED(polled)) Fail(now, s.provider.Failure("PollData", polled));
        for (Slot& slot : slots_) {
            if (slot.source != k) continue;
            slot.read = false;
            if (OnShownScreen(slot)) changed = Read(slot, now) || changed;
        }
        // Keep the beat of the period; after a stall, start afresh from now.
        s.due = s.due ? *s.due + s.period : now + s.period;
        if (*s.due <= now) s.due = now + s.period;
    }
    // Items that came into view since their plug-in's poll.
    for (Slot& slot : slots_)
        if (!slot.read && OnShownScreen(slot) && sources_[slot.source].due)
            changed = Read(slot, now) || changed;
    if (!status_.empty() && failures_.empty() && now >= statusUntil_) status_.clear();
    return changed || status_ != before;
}

std::int64_t Panel::NextWakeup() const {
    std::int64_t next = INT64_MAX;
    for (std::size_t k = 0; k < sources_.size(); ++k)
        if (Polled(k)) next = std::min(next, sources_[k].due.value_or(INT64_MIN));
    for (const Slot& slot : slots_)
        if (!slot.read && OnShownScreen(slot)) return INT64_MIN;
    if (!status_.empty()) next = std::min(next, statusUntil_);
    return next;
}

std::vector<std::u16string> Panel::Texts(std::size_t screen, std::size_t first,
                                         std::size_t end) const {
    std::vector<std::u16string> texts;
    if (screen >= lines_.size()) return texts;
    const auto& lines = lines_[screen];
    for (std::size_t k = first; k < end && k < lines.size(); ++k) {
        const auto& line = lines[k];
        std::u16string text;
        for (const Piece& piece : line)
            text += piece.slot ? slots_[*piece.slot].text : piece.literal;
        texts.push_back(std::move(text));
    }
    return texts;
}

std::vector<Panel::Schedule> Panel::schedule() const {
    std::vector<Schedule> out;
    for (const Source& s : sources_) out.push_back({s.provider.name(), s.period});
    return out;
}

}  // namespace host
