#include "host/panel/screens.h"

#include <algorithm>
#include <limits>

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
    std::vector<std::int64_t> durations;
    for (const ScreenConfig& screen : config_.screens)
        durations.push_back(std::int64_t{std::max(screen.duration, 1)} * 1000);
    rotation_ = Rotation(std::move(durations), now);
    // The terminal reads only the screen it shows; LCDd shows every screen in turn itself.
    if (mode_ == Mode::kTerminal) panel_->SetShownScreen(rotation_.current());
}

bool LiveScreens::Tick(std::int64_t now) {
    bool changed = false;
    if (mode_ == Mode::kTerminal && rotation_.Tick(now)) {
        panel_->SetShownScreen(rotation_.current());
        changed = true;
    }
    changed = panel_->Tick(now) || changed;
    if (logFailures_)
        for (const MemberFailure& failure : panel_->failures())
            if (limit_.Allow(FailureKey(failure), now)) log_.push_back(Describe(failure));
    return changed;
}

std::int64_t LiveScreens::NextWakeup() const {
    const std::int64_t next = panel_->NextWakeup();
    return mode_ == Mode::kTerminal ? std::min(next, rotation_.NextWakeup()) : next;
}

void LiveScreens::Next(std::int64_t now) {
    rotation_.Next(now);
    panel_->SetShownScreen(rotation_.current());
}

void LiveScreens::Previous(std::int64_t now) {
    rotation_.Previous(now);
    panel_->SetShownScreen(rotation_.current());
}

std::string LiveScreens::StatusLine() const {
    const std::string& failure = panel_->status();
    const auto& screens = config_.screens;
    if (screens.size() == 1 && screens[0].name.empty()) return failure;
    const std::size_t k = current();
    std::string line = k < screens.size() ? screens[k].name : "";
    line +=
        (line.empty() ? "" : " ") + std::to_string(k + 1) + "/" + std::to_string(screens.size());
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
