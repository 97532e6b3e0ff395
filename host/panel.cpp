#include "host/panel.h"

#include <algorithm>
#include <charconv>

#include "com/text.h"

namespace host {

namespace {

bool Bad(std::string_view text, const std::string& why, std::string* error) {
    *error = "bad template '" + std::string(text) + "': " + why;
    return false;
}

}  // namespace

bool ParseTemplate(std::string_view text, std::vector<TemplatePiece>* pieces, std::string* error) {
    pieces->clear();
    std::string literal;
    auto flush = [&] {
        if (literal.empty()) return;
        TemplatePiece piece;
        piece.literal = com::FromUtf8(literal);
        pieces->push_back(std::move(piece));
        literal.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '}') {
            if (i + 1 < text.size() && text[i + 1] == '}') {
                literal += '}';
                ++i;
                continue;
            }
            return Bad(text, "'}' without '{' (write '}}' for a brace)", error);
        }
        if (c != '{') {
            literal += c;
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '{') {
            literal += '{';
            ++i;
            continue;
        }
        const std::size_t close = text.find('}', i + 1);
        if (close == std::string_view::npos)
            return Bad(text, "'{' without '}' (write '{{' for a brace)", error);
        const std::string_view ref = text.substr(i + 1, close - i - 1);
        const std::string shown = "'{" + std::string(ref) + "}'";
        if (ref.find('{') != std::string_view::npos) return Bad(text, "'{' inside " + shown, error);
        TemplatePiece piece;
        piece.isItem = true;
        if (const auto slash = ref.find('\\'); slash != std::string_view::npos) {
            piece.plugin = std::string(ref.substr(0, slash));
            piece.path = com::FromUtf8(ref);
            if (piece.plugin.empty() || slash + 1 == ref.size())
                return Bad(text, shown + " is not {Plugin\\path\\label}", error);
        } else {
            const auto colon = ref.rfind(':');
            if (colon == std::string_view::npos || colon == 0)
                return Bad(text, shown + " is neither {Plugin:index} nor {Plugin\\path\\label}",
                           error);
            piece.plugin = std::string(ref.substr(0, colon));
            const std::string_view digits = ref.substr(colon + 1);
            LONG index = 0;
            const auto [end, ec] =
                std::from_chars(digits.data(), digits.data() + digits.size(), index);
            if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
                return Bad(text, shown + ": the index is not a number", error);
            piece.index = index;
        }
        flush();
        pieces->push_back(std::move(piece));
        i = close;
    }
    flush();
    return true;
}

std::vector<std::u16string> LayOut(const std::vector<std::u16string>& texts, int width,
                                   int height) {
    const auto w = static_cast<std::size_t>(std::max(width, 0));
    const auto h = static_cast<std::size_t>(std::max(height, 0));
    std::vector<std::u16string> rows;
    for (const std::u16string& text : texts) {
        if (rows.size() >= h) break;
        std::u16string row;
        for (std::size_t i = 0; i < text.size(); ++i) {
            char16_t c = text[i];
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
            if (c == u'\n') {
                rows.push_back(std::move(row));
                row.clear();
                continue;
            }
            if (c >= 0xDC00 && c <= 0xDFFF) continue;  // second half of a pair: one cell
            if (c >= 0xD800 && c <= 0xDBFF) c = u'?';  // a character one cell cannot hold
            if (c < 0x20 || (c >= 0x7F && c < 0xA0)) c = u' ';
            row += c;
        }
        rows.push_back(std::move(row));
    }
    rows.resize(h);
    for (std::u16string& row : rows) row.resize(w, u' ');
    return rows;
}

const std::vector<std::string>& DefaultTemplates() {
    static const std::vector<std::string> templates = {
        "{Orvantel:11}",
        "{Orvantel:13} SSE2 {Orvantel:21}",
        "Date {Tamblorin:27}",
        "Up   {Wendrikai:20}",
    };
    return templates;
}

std::string ToLatin1(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) out += c < 0x100 ? static_cast<char>(c) : '?';
    return out;
}

std::unique_ptr<Panel> Panel::Create(PluginCatalog& catalog,
                                     const std::vector<std::string>& templates,
                                     std::string* error) {
    return Create(catalog, {ScreenConfig{"", 5, Priority::kInfo, templates}}, error);
}

std::unique_ptr<Panel> Panel::Create(PluginCatalog& catalog,
                                     const std::vector<ScreenConfig>& screens, std::string* error,
                                     const Panel* previous) {
    std::unique_ptr<Panel> panel(new Panel());
    for (const ScreenConfig& screen : screens) {
        const std::size_t number = panel->screens_.size();
        panel->screens_.push_back({screen.name, screen.duration, screen.priority, {}});
        auto& lines = panel->lines_.emplace_back();
        for (const std::string& text : screen.lines) {
            std::vector<TemplatePiece> pieces;
            if (!ParseTemplate(text, &pieces, error)) return nullptr;
            std::vector<Piece> line;
            for (const TemplatePiece& piece : pieces) {
                if (!piece.isItem) {
                    line.push_back({piece.literal, std::nullopt});
                    continue;
                }
                std::size_t slot = 0;
                if (!panel->Resolve(catalog, piece, previous, &slot, error)) return nullptr;
                auto& on = panel->slots_[slot].screens;
                if (std::find(on.begin(), on.end(), number) == on.end()) on.push_back(number);
                line.push_back({u"", slot});
            }
            lines.push_back(std::move(line));
        }
    }
    return panel;
}

bool Panel::Resolve(PluginCatalog& catalog, const TemplatePiece& piece, const Panel* previous,
                    std::size_t* slot, std::string* error) {
    std::string name;
    ITessivar2DataProvider* provider = catalog.Find(piece.plugin, &name, error);
    if (provider == nullptr) return false;

    auto source = std::find_if(sources_.begin(), sources_.end(),
                               [&](const Source& s) { return s.provider.raw() == provider; });
    if (source == sources_.end() && previous != nullptr) {
        const auto& before = previous->sources_;
        const auto kept = std::find_if(before.begin(), before.end(), [&](const Source& s) {
            return s.provider.raw() == provider;
        });
        if (kept != before.end()) {
            sources_.push_back(*kept);
            source = sources_.end() - 1;
        }
    }
    if (source == sources_.end()) {
        // The host's order: the item list first, then the poll settings.
        Source s{Provider(name, provider), 1000, std::nullopt};
        if (!s.provider.ReadItems(error)) return false;
        LONG frequency = 0, method = 0;
        HRESULT hr;
        if (FAILED(hr = s.provider.PollFrequency(&frequency)))
            return *error = s.provider.Failure("PollFreqency", hr), false;
        if (FAILED(hr = s.provider.PollMethod(&method)))
            return *error = s.provider.Failure("PollMethod", hr), false;
        // Every method code is served by polling at the asked frequency; a frequency that is
        // not positive gets the common one second.
        s.period = frequency > 0 ? frequency : 1000;
        sources_.push_back(std::move(s));
        source = sources_.end() - 1;
    }
    const auto sourceIndex = static_cast<std::size_t>(source - sources_.begin());
    const auto& items = source->provider.items();
    const auto count = static_cast<LONG>(items.size());

    LONG index = -1;
    if (piece.index) {
        index = *piece.index;
        if (index < 0 || index >= count) {
            *error = name + " has no item " + std::to_string(index) +
                     (count > 0 ? " (0 to " + std::to_string(count - 1) + ")" : "");
            return false;
        }
    } else {
        // The full DisplayName, or the path behind the plug-in name; exact, then in any case.
        const std::u16string_view written = piece.path;
        const std::u16string_view behind = written.substr(written.find(u'\\') + 1);
        auto matches = [&](bool exact) {
            for (LONG i = 0; i < count; ++i) {
                const std::u16string& d = items[static_cast<std::size_t>(i)].displayName;
                if (exact ? (d == piece.path || d == behind)
                          : (com::EqualsNoCase(d, piece.path) || com::EqualsNoCase(d, behind)))
                    return i;
            }
            return LONG{-1};
        };
        index = matches(true);
        if (index < 0) index = matches(false);
        if (index < 0) {
            *error = name + " has no item '" + com::ToUtf8(piece.path) + "'";
            return false;
        }
    }
    for (std::size_t k = 0; k < slots_.size(); ++k) {
        if (slots_[k].source == sourceIndex && slots_[k].index == index) {
            *slot = k;
            return true;
        }
    }
    slots_.push_back({sourceIndex, index, u"", {}, false});
    *slot = slots_.size() - 1;
    return true;
}

void Panel::Fail(std::int64_t now, std::string message) {
    status_ = message;
    statusUntil_ = now + kStatusMilliseconds;
    failures_.push_back(std::move(message));
}

void Panel::Show(std::optional<std::size_t> screen) {
    shown_ = screen;
}

bool Panel::Shown(const Slot& slot) const {
    return !shown_ ||
           std::find(slot.screens.begin(), slot.screens.end(), *shown_) != slot.screens.end();
}

bool Panel::Read(Slot& slot, std::int64_t now) {
    slot.read = true;
    std::u16string text;
    const HRESULT hr = sources_[slot.source].provider.ValueText(slot.index, &text);
    if (FAILED(hr)) {
        Fail(now, sources_[slot.source].provider.ValueFailure(slot.index, hr));
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
        if (s.due && now < *s.due) continue;
        const HRESULT polled = s.provider.Poll();
        if (FAILED(polled)) Fail(now, s.provider.Failure("PollData", polled));
        for (Slot& slot : slots_) {
            if (slot.source != k) continue;
            slot.read = false;
            if (Shown(slot)) changed = Read(slot, now) || changed;
        }
        // Keep the beat of the period; after a stall, start afresh from now.
        s.due = s.due ? *s.due + s.period : now + s.period;
        if (*s.due <= now) s.due = now + s.period;
    }
    // Items that came into view since their plug-in's poll.
    for (Slot& slot : slots_)
        if (!slot.read && Shown(slot) && sources_[slot.source].due)
            changed = Read(slot, now) || changed;
    if (!status_.empty() && failures_.empty() && now >= statusUntil_) status_.clear();
    return changed || status_ != before;
}

std::int64_t Panel::NextWakeup() const {
    std::int64_t next = INT64_MAX;
    for (const Source& s : sources_) next = std::min(next, s.due.value_or(INT64_MIN));
    for (const Slot& slot : slots_)
        if (!slot.read && Shown(slot)) return INT64_MIN;
    if (!status_.empty()) next = std::min(next, statusUntil_);
    return next;
}

std::vector<std::u16string> Panel::Texts(std::size_t screen) const {
    std::vector<std::u16string> texts;
    if (screen >= lines_.size()) return texts;
    for (const auto& line : lines_[screen]) {
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
