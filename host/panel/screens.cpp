#include "host/panel/screens.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace host {

namespace {

constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
constexpr const char* kNoScreen = "the configuration has no screen";

// What a failure is about, for the rate limit: the plug-in and its member or item.
std::string FailureKey(const MemberFailure& failure) {
    return failure.plugin + '\n' + (failure.item ? std::to_string(*failure.item) : failure.member);
}

}  // namespace

Rotation::Rotation(std::vector<std::int64_t> durations, std::int64_t now)
    : durations_(std::move(durations)), since_(now) {}

bool Rotation::Tick(std::int64_t now) {
    if (durations_.size() < 2 || now < NextWakeup()) return false;
    // After a stall, the next screen gets its full time from now.
    SwitchTo(current_ + 1, now);
    return true;
}

std::int64_t Rotation::NextWakeup() const {
    if (durations_.size() < 2) return kNever;
    return since_ + std::max<std::int64_t>(durations_[current_], 1);
}

void Rotation::SwitchTo(std::size_t screen, std::int64_t now) {
    if (durations_.empty()) return;
    current_ = screen % durations_.size();
    since_ = now;
}

bool RateLimit::Allow(const std::string& key, std::int64_t now) {
    const auto [it, added] = last_.try_emplace(key, now);
    if (added) return true;
    if (now - it->second < interval_) return false;
    it->second = now;
    return true;
}

std::unique_ptr<LiveScreens> LiveScreens::Create(PluginCatalog& catalog, const PanelConfig& config,
                                                 Mode mode, bool logFailures, std::int64_t now,
                                                 std::string* error) {
    if (config.screens.empty()) return *error = kNoScreen, nullptr;
    PanelError why;
    auto panel = Panel::Create(catalog, config.screens, &why);
    if (!panel) return *error = Describe(why), nullptr;
    std::unique_ptr<LiveScreens> screens(new LiveScreens(catalog, mode, logFailures));
    screens->Use(std::move(panel), config, now);
    return screens;
}

void LiveScreens::Use(std::unique_ptr<Panel> panel, PanelConfig config, std::int64_t now) {
    panel_ = std::move(panel);
    config_ = std::move(config);
    pages_.clear();
    std::vector<std::int64_t> durations;
    for (std::size_t k = 0; k < config_.screens.size(); ++k) {
        const std::size_t count = PageCount(panel_->lines(k), height());
        for (std::size_t page = 0; page < count; ++page) {
            pages_.push_back({k, page});
            durations.push_back(std::int64_t{std::max(config_.screens[k].duration, 1)} * 1000);
        }
    }
    rotation_ = Rotation(std::move(durations), now);
    // The terminal reads only the page it shows; LCDd shows every screen in turn itself.
    if (mode_ == Mode::kTerminal) Shift(now);
}

void LiveScreens::Shift(std::int64_t now) {
    panel_->SetShown(std::vector<Panel::View>{Panel::PageView(page(), height())});
    FindLongRow();
    step_ = Step(now);
}

void LiveScreens::FindLongRow() {
    longRow_ = false;
    if (config_.longLines.mode != LongLines::kScroll) return;
    const PageRef shown = page();
    const auto w = static_cast<std::size_t>(width());
    for (const std::u16string& row : panel_->PageRows(shown.screen, shown.page, height()))
        longRow_ = longRow_ || row.size() > w;
}

std::optional<std::int64_t> LiveScreens::Step(std::int64_t now) const {
    if (!longRow_) return std::nullopt;
    return std::max<std::int64_t>(now - rotation_.since(), 0) /
           config_.longLines.StepMilliseconds();
}

std::vector<std::u16string> LiveScreens::Frame() const {
    const PageRef shown = page();
    auto rows = panel_->PageRows(shown.screen, shown.page, height());
    for (std::u16string& row : rows) {
        if (step_ && row.size() > static_cast<std::size_t>(width()))
            row = MarqueeWindow(row, width(), *step_);
        else
            row.resize(static_cast<std::size_t>(width()), u' ');
    }
    return rows;
}

void LiveScreens::ShowPages(const std::optional<std::vector<PageRef>>& pages, int height) {
    if (!pages) return panel_->SetShown(std::nullopt);
    std::vector<Panel::View> views;
    for (const PageRef& shown : *pages) views.push_back(Panel::PageView(shown, height));
    // What LCDd does not show is neither read nor polled.
    panel_->SetShown(std::move(views), false);
}

bool LiveScreens::Tick(std::int64_t now) {
    bool changed = false;
    if (mode_ == Mode::kTerminal && rotation_.Tick(now)) {
        Shift(now);
        changed = true;
    }
    const bool texts = panel_->Tick(now);
    changed = texts || changed;
    if (mode_ == Mode::kTerminal) {
        if (texts) FindLongRow();
        const auto step = Step(now);
        changed = changed || step != step_;
        step_ = step;
    }
    if (logFailures_)
        for (const MemberFailure& failure : panel_->failures())
            if (limit_.Allow(FailureKey(failure), now)) log_.push_back(Describe(failure));
    return changed;
}

std::int64_t LiveScreens::NextWakeup() const {
    const std::int64_t next = panel_->NextWakeup();
    if (mode_ != Mode::kTerminal) return next;
    std::int64_t scroll = kNever;
    if (step_) scroll = rotation_.since() + (*step_ + 1) * config_.longLines.StepMilliseconds();
    return std::min({next, rotation_.NextWakeup(), scroll});
}

void LiveScreens::Next(std::int64_t now) {
    rotation_.Next(now);
    Shift(now);
}

void LiveScreens::Previous(std::int64_t now) {
    rotation_.Previous(now);
    Shift(now);
}

std::string LiveScreens::StatusLine() const {
    const std::string& failure = panel_->status();
    const auto& screens = config_.screens;
    const PageRef shown = page();
    const std::size_t pages = PageCount(panel_->lines(shown.screen), height());
    std::string line;
    if (screens.size() != 1 || !screens[0].name.empty()) {
        line = shown.screen < screens.size() ? screens[shown.screen].name : "";
        line += (line.empty() ? "" : " ") + std::to_string(shown.screen + 1) + "/" +
                std::to_string(screens.size());
    } else if (pages == 1) {
        return failure;
    }
    if (pages > 1)
        line += (line.empty() ? "page " : " page ") + std::to_string(shown.page + 1) + "/" +
                std::to_string(pages);
    return line + "  " + (failure.empty() ? "<- -> switch, q quits" : failure);
}

bool LiveScreens::Reload(const ReloadConfig& reload, std::int64_t now) {
    PanelConfig config;
    std::string error;
    std::unique_ptr<Panel> panel;
    if (reload(&config, &error)) {
        PanelError why;
        if (config.screens.empty())
            error = kNoScreen;
        else if (!(panel = Panel::Create(catalog_, config.screens, &why, panel_.get())))
            error = Describe(why);
    }
    if (!panel) {
        log_.push_back("reload failed, keeping the screens running: " + error);
        return false;
    }
    // The size and the server stay as the panel started.
    config.width = config_.width;
    config.height = config_.height;
    config.lcdproc = config_.lcdproc;
    Use(std::move(panel), std::move(config), now);
    log_.push_back("reloaded " + std::to_string(config_.screens.size()) + " screen" +
                   (config_.screens.size() == 1 ? "" : "s"));
    return true;
}

}  // namespace host
