// The module w32_Processor: display names for the management service's processor codes and the
// clock multiplier derived from the core and external clocks.
#pragma once

#include <cstdint>
#include <string_view>

#include "com/com.h"

namespace cpuinfo::w32_Processor {

// Architecture code of the processor class ("x86", "MIPS", ...); "unknown" for any other code.
std::u16string_view ArchitectureName(std::int16_t code);

// Family code of the processor class (102 named codes); "unknown" for any other code.
std::u16string_view FamilyName(std::int16_t code);

// The clock multiplier in steps of one half: core \ external, plus one half when the remainder
// exceeds 5 MHz. The external clock is made a whole number first; 0 fails with division by zero,
// a null value with invalid use of null, a value that is no number with a conversion status.
HRESULT ClockRatio(std::int16_t coreClock, const VARIANT& externalClock, double* ratio);

// Maps the component system's conversion statuses to the run-time errors callers report
// (type mismatch, overflow); other statuses pass unchanged.
HRESULT ConversionStatus(HRESULT hr);

}  // namespace cpuinfo::w32_Processor
