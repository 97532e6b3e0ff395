// lcdhost's configuration file: the panel's display and its screens, in TOML.
//
//   [display]
//   size = "20x4"                # the terminal panel's size; LCDd's own size wins there
//   lcdproc = "127.0.0.1:13666"  # drive LCDd instead of the terminal
//
//   [[screen]]
//   name = "cpu"                 # unique
//   duration = 8                 # seconds on display (default 5)
//   priority = "foreground"      # info (default), foreground, alert, background, hidden
//   lines = ["{Orvantel:11}", "{Orvantel:13} SSE2 {Orvantel:21}"]
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "host/config/screen_config.h"

namespace host {

// Where the templates of a loaded file stand, so that a check can point at them.
struct ConfigSource {
    struct Position {
        std::uint32_t line = 1, column = 1;
    };
    std::string file;                          // the path as given
    std::vector<std::vector<Position>> lines;  // of each screen's lines
};

// Reads the file `file`, checking every key and the type and range of every value. On failure
// returns false and sets `errorLine` to one line, "FILE:LINE:COLUMN: message".
bool LoadPanelConfig(const std::filesystem::path& file, PanelConfig* config, std::string* errorLine,
                     ConfigSource* source = nullptr);

// As LoadPanelConfig, from the text of a file named `file`.
bool ParsePanelConfig(std::string_view text, const std::string& file, PanelConfig* config,
                      std::string* errorLine, ConfigSource* source = nullptr);

// "FILE:LINE:COLUMN: message", the form of every error line about the file.
std::string ErrorLine(const std::string& file, ConfigSource::Position at, std::string_view message);

}  // namespace host
