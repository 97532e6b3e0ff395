// The live panel on platforms without a terminal and socket implementation.
#include "host/live.h"

namespace host {

int RunTerminalPanel(Panel&, int, int, std::ostream& err) {
    err << "lcdhost: show is not available on this platform\n";
    return 1;
}

int RunLcdprocPanel(Panel&, const std::string&, const std::string&, std::ostream& err) {
    err << "lcdhost: show is not available on this platform\n";
    return 1;
}

}  // namespace host
