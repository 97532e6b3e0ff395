#include "platform/tick_clock.h"

#include <windows.h>

namespace platform {

namespace {

class SystemClock final : public TickClock {
  public:
    std::uint64_t Milliseconds() const override { return GetTickCount64(); }
};

}  // namespace

const TickClock& SystemTickClock() {
    static const SystemClock clock;
    return clock;
}

}  // namespace platform
