// The live panel: a single loop that waits for the next poll, the user's keys or signals and
// the display server, without threads. Platform code; each returns the exit status and writes
// each error as one line to `err`.
#pragma once

#include <ostream>
#include <string>

#include "host/panel.h"

namespace host {

// Draws the panel in the terminal, redrawing only changed rows, until `q` or Ctrl-C.
int RunTerminalPanel(Panel& panel, int width, int height, std::ostream& err);

// Sends the panel to an LCDd server at host:port, reconnecting when it goes away, until
// SIGINT or SIGTERM.
int RunLcdprocPanel(Panel& panel, const std::string& host, const std::string& port,
                    std::ostream& err);

}  // namespace host
