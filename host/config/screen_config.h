// The screens of a panel as a configuration file describes them.
#pragma once

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

struct PanelConfig {
    std::optional<int> width, height;    // [display] size; LCDd's own size wins there
    std::optional<std::string> lcdproc;  // [display] lcdproc, "[HOST:]PORT"
    std::vector<ScreenConfig> screens;
};

}  // namespace host
