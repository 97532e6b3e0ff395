// Test stand-ins for the clock and the regional settings.
#pragma once

#include <cstdint>
#include <string>

#include "platform/regional_settings.h"
#include "platform/tick_clock.h"

namespace platform::fakes {

class FakeTickClock final : public TickClock {
  public:
    std::uint64_t Milliseconds() const override {
        ++reads;
        return now;
    }
    std::uint64_t now = 0;
    mutable int reads = 0;
};

class FakeRegionalSettings final : public RegionalSettings {
  public:
    std::u16string TimeSeparator() const override { return time; }
    std::u16string DecimalSeparator() const override { return decimal; }
    std::u16string time = u":";
    std::u16string decimal = u".";
};

}  // namespace platform::fakes
