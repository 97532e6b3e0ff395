// The live panel on platforms without a terminal and socket implementation.
#include "host/live/live.h"

namespace host {

int RunTerminalScreens(LiveScreens&, const LiveOptions&, std::ostream& err) {
    err << "lcdhost: show is not available on this platform\n";
    return 1;
}

int RunLcdprocScreens(LiveScreens&, const std::string&, const std::string&, const LiveOptions&,
                      std::ostream& err) {
    err << "lcdhost: show is not available on this platform\n";
    return 1;
}

}  // namespace host
