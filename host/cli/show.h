// lcdhost show [OPTIONS] [LINE...]: the live panel, or one frame of it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/config/screen_config.h"
#include "host/plugins/catalog.h"

namespace CLI {
class App;
}

namespace host {

struct ShowOptions {
    int width = 20;
    int height = 4;
    bool sized = false;  // --size was given
    bool once = false;
    std::optional<std::string> lcdproc;  // [HOST:]PORT
    std::optional<std::string> config;   // --config FILE
    std::vector<std::string> templates;  // empty: the configuration file or the default layout
};

// show's options and LINEs on a command line: the options before the first LINE, `--` ending
// them, and every word from the first LINE on a LINE, even one that starts with '-'.
class ShowArguments {
  public:
    // Adds them to `command`.
    explicit ShowArguments(CLI::App& command);
    // After `command` parsed: the options, or false with `error` set to one line (an unknown
    // option, a bad size or address, --once with --lcdproc). A repeated option takes the last
    // value.
    bool Read(ShowOptions* options, std::string* error) const;

  private:
    const CLI::App& command_;
    std::vector<std::string> sizes_, endpoints_, configs_, lines_;
    bool once_ = false;
};

// Reads show's arguments alone, as `lcdhost show ARGS` does.
bool ParseShowOptions(const std::vector<std::string>& args, ShowOptions* options,
                      std::string* error);

// The panel `show` runs: the LINEs of the command line as one screen; else the screens of the
// configuration file (--config FILE, or the one FindConfigFile finds), their items resolved
// through `catalog`; else the default layout. --size and --lcdproc override the file. On
// failure returns false and sets `error` to one line; `badFile` tells a bad configuration file.
bool SelectPanelConfig(const ShowOptions& options, PluginCatalog& catalog, PanelConfig* config,
                       std::string* error, bool* badFile);

}  // namespace host
