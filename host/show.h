// The `show` and `tree` commands.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "host/catalog.h"

namespace host {

struct ShowOptions {
    int width = 20;
    int height = 4;
    bool once = false;
    std::optional<std::string> lcdproc;  // [HOST:]PORT
    std::vector<std::string> templates;  // empty: the default layout
};

// Reads `show`'s arguments: [--size WxH] [--once] [--lcdproc [HOST:]PORT] [LINE...].
bool ParseShowOptions(const std::vector<std::string>& args, ShowOptions* options,
                      std::string* error);

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
