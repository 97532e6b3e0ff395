#include "host/screens.h"

#include <algorithm>
#include <chrono>
#include <limits>

#include "host/live.h"
#include "host/show.h"

namespace host {

namespace {

constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
constexpr const char* kNoScreen = "the configuration has no screen";

std::int64_t SteadyMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The item a failure line is about: "Wendrikai:3" of "Wendrikai:3: Value failed with ...".
std::string FailureKey(const std::string& failure) {
    return failure.substr(0, failure.find(" failed with "));
}

}  // namespace

int RunScreens(const PanelConfig& config, PluginCatalog& catalog, const ScreensOptions& options,
               std::ostream& err) {
    const auto clock = options.clock ? options.clock : SteadyMilliseconds;
    const auto mode = config.lcdproc ? LiveScreens::Mode::kLcdproc : LiveScreens::Mode::kTerminal;
    std::string error;
    auto screens =
        LiveScreens::Create(catalog, config, mode, config.lcdproc.has_value(), clock(), &error);
    if (!screens) {
        err << "lcdhost: " << error << '\n';
        return 1;
    }
    LiveOptions live{config.width.value_or(options.width), config.height.value_or(options.height),
                     options.reload, clock};
    if (!config.lcdproc) return RunTerminalScreens(*screens, live, err);
    std::string host, port;
    if (!ParseEndpoint(*config.lcdproc, &host, &port, &error)) {
        err << "lcdhost: " << error << '\n';
        return 2;
    }
    return RunLcdprocScreens(*screens, host, port, live, err);
}

Rotation::Rotation(std::vector<std::int64_t> durations, std::int64_t now)
    : durations_(std::move(durations)), since_(now) {}

bool Rotation::Tick(std::int64_t now) {
    if (durations_.size() < 2 || now < NextWakeup()) return false;
    // After a stall, the next screen gets its full time from now.
    Show(current_ + 1, now);
    return true;
}

std::int64_t Rotation::NextWakeup() const {
    if (durations_.size() < 2) return kNever;
    return since_ + std::max<std::int64_t>(durations_[current_], 1);
}

void Rotation::Show(std::size_t screen, std::int64_t now) {
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
    auto panel = Panel::Create(catalog, config.screens, error);
    if (!panel) return nullptr;
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
    if (mode_ == Mode::kTerminal) panel_->Show(rotation_.current());
}

bool LiveScreens::Tick(std::int64_t now) {
    bool changed = false;
    if (mode_ == Mode::kTerminal && rotation_.Tick(now)) {
        panel_->Show(rotation_.current());
        changed = true;
    }
    changed = panel_->Tick(now) || changed;
    if (logFailures_)
        for (const std::string& failure : panel_->failures())
            if (limit_.Allow(FailureKey(failure), now)) log_.push_back(failure);
    return changed;
}

std::int64_t LiveScreens::NextWakeup() const {
    const std::int64_t next = panel_->NextWakeup();
    return mode_ == Mode::kTerminal ? std::min(next, rotation_.NextWakeup()) : next;
}

void LiveScreens::Next(std::int64_t now) {
    rotation_.Next(now);
    panel_->Show(rotation_.current());
}

void LiveScreens::Previous(std::int64_t now) {
    rotation_.Previous(now);
    panel_->Show(rotation_.current());
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
        if (config.screens.empty())
            error = kNoScreen;
        else
            panel = Panel::Create(catalog_, config.screens, &error, panel_.get());
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
