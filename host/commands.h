// lcdhost's commands.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace host {

// Runs the command line `args` (without the program name); returns the exit status. Results go
// to `out`, each error as one line to `err`.
int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace host
