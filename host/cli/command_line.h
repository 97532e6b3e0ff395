// lcdhost's command line.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "host/plugins/catalog.h"

namespace host {

// Runs the command line `args` (without the program name); returns the exit status. Results go
// to `out`, each error as one line to `err`. show, tree and check-config take their plug-ins
// from `catalog`; the other commands load them from their libraries.
int RunCommand(const std::vector<std::string>& args, PluginCatalog& catalog, std::ostream& out,
               std::ostream& err);

// The same with the plug-ins loaded from their libraries.
int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace host
