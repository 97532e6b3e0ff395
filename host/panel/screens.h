// The run-time of a panel of several screens: which screen the terminal shows and for how long,
// the reload of the configuration, and the log of a panel that runs without a terminal. No I/O:
// the live loops (host/live/live.h) feed it the time and the keys.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/config/screen_config.h"
#include "host/panel/panel.h"
#include "host/plugins/catalog.h"

namespace host {

// Reads the configuration again; on failure returns false and sets the error to one line.
using ReloadConfig = std::function<bool(PanelConfig* config, std::string* error)>;

// The screen shown on the terminal: each for its duration, then the next; a switch by key shows
// the next or previous screen at once and restarts its time.
class Rotation {
  public:
    Rotation() = default;
    // Durations in milliseconds.
    Rotation(std::vector<std::int64_t> durations, std::int64_t now);
    std::size_t current() const { return current_; }
    // Since when the current one is shown.
    std::int64_t since() const { return since_; }
    // Moves on when the current screen's time is up; returns true when it moved.
    bool Tick(std::int64_t now);
    void Next(std::int64_t now) { SwitchTo(current_ + 1, now); }
    void Previous(std::int64_t now) { SwitchTo(current_ + durations_.size() - 1, now); }
    // When Tick moves on next; never for a single screen.
    std::int64_t NextWakeup() const;

  private:
    // Shows `screen` (modulo the number of screens) from `now` for its whole time.
    void SwitchTo(std::size_t screen, std::int64_t now);

    std::vector<std::int64_t> durations_;
    std::size_t current_ = 0;
    std::int64_t since_ = 0;
};

// At most one line per key and interval.
class RateLimit {
  public:
    explicit RateLimit(std::int64_t interval = 60'000) : interval_(interval) {}
    bool Allow(const std::string& key, std::int64_t now);

  private:
    std::int64_t interval_;
    std::map<std::string, std::int64_t> last_;
};

// The screens of a live panel, their rotation on the terminal and their reload. A screen with
// more lines than the display is high is shown as pages of the display's height: on the terminal
// they rotate like screens; on LCDd each is a screen of its own. On the terminal a line wider
// than the display scrolls as a marquee (or is cut, as the long-line settings say).
class LiveScreens {
  public:
    enum class Mode { kTerminal, kLcdproc };

    // `logFailures`: failing items go to the log (a panel without a terminal).
    static std::unique_ptr<LiveScreens> Create(PluginCatalog& catalog, const PanelConfig& config,
                                               Mode mode, bool logFailures, std::int64_t now,
                                               std::string* error);

    void LogFailures(bool on) { logFailures_ = on; }
    Panel& panel() { return *panel_; }
    const Panel& panel() const { return *panel_; }
    const PanelConfig& config() const { return config_; }
    // The screen and the page on the terminal.
    std::size_t current() const { return pages_[rotation_.current()].screen; }
    PageRef page() const { return pages_[rotation_.current()]; }

    // The terminal's frame: the rows of the page shown, a long row at its marquee step.
    std::vector<std::u16string> Frame() const;
    // The pages LCDd shows; none: every page. Only their items are read, and only the plug-ins
    // of their items polled.
    void ShowPages(const std::optional<std::vector<PageRef>>& pages, int height);

    // Moves the rotation and the marquee on and reads the values due. Returns true when the
    // terminal's screen or status line (or, for LCDd, any screen) changed.
    bool Tick(std::int64_t now);
    std::int64_t NextWakeup() const;
    void Next(std::int64_t now);
    void Previous(std::int64_t now);

    // The line below the frame on the terminal: empty (the hint "q quits") for one unnamed
    // screen without failures, else the screen's name and position and the latest failure.
    std::string StatusLine() const;

    // Reads the configuration through `reload`: a good one replaces the screens, keeping the
    // plug-ins still in use; a bad one keeps the old screens and logs the error. Returns true
    // when the screens were replaced.
    bool Reload(const ReloadConfig& reload, std::int64_t now);

    // Lines for the log since the last call.
    std::vector<std::string> TakeLog() { return std::exchange(log_, {}); }

  private:
    LiveScreens(PluginCatalog& catalog, Mode mode, bool logFailures)
        : catalog_(catalog), mode_(mode), logFailures_(logFailures) {}
    void Use(std::unique_ptr<Panel> panel, PanelConfig config, std::int64_t now);
    // After the page shown changed: its lines read from now on, its marquee from the start.
    void Shift(std::int64_t now);
    // Whether a row of the page shown is wider than the display, after its texts changed.
    void FindLongRow();
    // The marquee's step of the page shown at `now`; none when no row of it is too wide.
    std::optional<std::int64_t> Step(std::int64_t now) const;
    int width() const { return config_.width.value_or(20); }
    int height() const { return config_.height.value_or(4); }

    PluginCatalog& catalog_;
    Mode mode_;
    bool logFailures_;
    PanelConfig config_;
    std::unique_ptr<Panel> panel_;
    Rotation rotation_;
    std::vector<PageRef> pages_;        // in the order the terminal shows them
    bool longRow_ = false;              // on the page shown, scrolling
    std::optional<std::int64_t> step_;  // of the marquee on the terminal
    RateLimit limit_;
    std::vector<std::string> log_;
};

}  // namespace host
