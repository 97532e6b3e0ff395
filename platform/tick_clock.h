// Milliseconds since the operating system started.
#pragma once

#include <cstdint>

namespace platform {

class TickClock {
  public:
    virtual std::uint64_t Milliseconds() const = 0;

  protected:
    ~TickClock() = default;
};

// The system's clock: it counts time spent suspended, as the platform's tick count does.
const TickClock& SystemTickClock();

}  // namespace platform
