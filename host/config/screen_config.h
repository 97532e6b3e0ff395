// The screens of a panel as a configuration file describes them.
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// LCDd's screen priorities, in its own words.
enum class Priority { kInfo, kForeground, kAlert, kBackground, kHidden };

constexpr std::string_view PriorityWord(Priority priority) {
    constexpr std::string_view kWords[] = {"info", "foreground", "alert", "background", "hidden"};
    return kWords[static_cast<int>(priority)];
}

struct ScreenConfig {
    std::string name;
    int duration = 5;  // seconds on display before the next screen
    Priority priority = Priority::kInfo;
    std::vector<std::string> lines;  // templates, as `show` takes them
};

// What becomes of a line wider than the display.
enum class LongLines { kScroll, kCut };

// The time of one step of a scrolling line for `speed` characters per second, in LCDd's eighths
// of a second: the nearest whole number, at least one.
constexpr int ScrollStepEighths(int speed) {
    return speed < 1 ? 8 : std::max(1, (8 + speed / 2) / speed);
}

struct LongLineSettings {
    LongLines mode = LongLines::kScroll;
    int speed = 4;  // characters per second, 1 to 8
    // One step of the marquee, in milliseconds.
    int StepMilliseconds() const { return ScrollStepEighths(speed) * 125; }
};

struct PanelConfig {
    std::optional<int> width, height;    // [display] size; LCDd's own size wins there
    std::optional<std::string> lcdproc;  // [display] lcdproc, "[HOST:]PORT"
    LongLineSettings longLines;          // [display] long_lines and scroll_speed
    std::vector<ScreenConfig> screens;
};

}  // namespace host
