// Test stand-ins for the clock and the regional settings.
#pragma once

#include <cstdint>
#include <new>
#include <string>

#include "platform/fakes/fault_plan.h"
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
    std::u16string TimeSeparator() const override { return Answer(time); }
    std::u16string DecimalSeparator() const override { return Answer(decimal); }
    std::u16string time = u":";
    std::u16string decimal = u".";
    // When set, counts every read; the armed one fails as a text copy fails, with bad_alloc.
    FaultPlan* faults = nullptr;

  private:
    std::u16string Answer(const std::u16string& text) const {
        if (faults != nullptr && faults->Fail()) throw std::bad_alloc();
        return text;
    }
};

}  // namespace platform::fakes
