#include "host/live/loop_posix.h"

#include <algorithm>

namespace host {

int TimeoutUntil(std::int64_t when, std::int64_t now) {
    if (when <= now) return 0;
    return static_cast<int>(std::min<std::int64_t>(when - now, 60'000));
}

int NoSignals(const SignalPipe& signals, std::ostream& err) {
    err << "lcdhost: cannot watch for signals: " << signals.error() << '\n';
    return 1;
}

}  // namespace host
