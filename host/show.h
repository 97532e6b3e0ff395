// The `show` and `tree` commands.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "host/catalog.h"
#include "host/screen_config.h"

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

// Adds `show`'s options and its LINEs to `command`, filling `options` when it parses.
void DefineShowOptions(CLI::App& command, ShowOptions* options);

// The check in front of the parser for `show`'s arguments, with the messages lcdhost has always
// given: options come before the LINEs, `--` ends them, every LINE (even one that starts with
// '-') is a template. Writes the arguments in the form DefineShowOptions's parser reads: each
// option as --name=value, then `--`, then the LINEs.
bool PrepareShowArgs(const std::vector<std::string>& args, std::vector<std::string>* prepared,
                     std::string* error);

// Reads `show`'s arguments: [--size WxH] [--once] [--lcdproc [HOST:]PORT] [--config FILE]
// [LINE...].
bool ParseShowOptions(const std::vector<std::string>& args, ShowOptions* options,
                      std::string* error);

// "WxH", 1 to 256 columns and 1 to 64 rows.
bool ParseSize(const std::string& text, int* width, int* height);

// Where `show` and `check-config` look for the configuration file when none is named:
// $XDG_CONFIG_HOME/tessivar/lcdhost.toml (~/.config when unset), then
// /etc/tessivar/lcdhost.toml. Empty when neither exists.
std::string FindConfigFile();

// The panel `show` runs: the LINEs of the command line as one screen; else the screens of the
// configuration file (--config FILE, or the one FindConfigFile finds), their items resolved
// through `catalog`; else the default layout. --size and --lcdproc override the file. On
// failure returns false and sets `error` to one line; `badFile` tells a bad configuration file.
bool SelectPanelConfig(const ShowOptions& options, PluginCatalog& catalog, PanelConfig* config,
                       std::string* error, bool* badFile);

int Show(const ShowOptions& options, PluginCatalog& catalog, std::ostream& out, std::ostream& err);

// Splits "[HOST:]PORT" ("13666", "localhost:13666", "[::1]:13666"); the host defaults to
// 127.0.0.1.
bool ParseEndpoint(const std::string& text, std::string* host, std::string* port,
                   std::string* error);

int Show(const std::vector<std::string>& args, PluginCatalog& catalog, std::ostream& out,
         std::ostream& err);

// Writes the item tree of one plug-in: the plug-in name at the root, one level of indentation
// per backslash of the display names, and at each leaf the index and the label.
void PrintTree(const std::string& plugin, const std::vector<std::u16string>& displayNames,
               std::ostream& out);

int Tree(const std::vector<std::string>& args, PluginCatalog& catalog, std::ostream& out,
         std::ostream& err);

}  // namespace host
