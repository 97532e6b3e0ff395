#include "platform/tick_clock.h"

#include <time.h>

namespace platform {

namespace {

class BootClock final : public TickClock {
  public:
    std::uint64_t Milliseconds() const override {
        timespec ts{};
        if (clock_gettime(CLOCK_BOOTTIME, &ts) != 0) clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
               static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    }
};

}  // namespace

const TickClock& SystemTickClock() {
    static const BootClock clock;
    return clock;
}

}  // namespace platform
