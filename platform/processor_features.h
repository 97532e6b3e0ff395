// The platform's processor feature test.
#pragma once

#include <memory>

#include "com/com.h"

namespace platform {

// Feature numbers the plug-ins ask.
constexpr unsigned long kFloatingPointPrecisionErrata = 0;
constexpr unsigned long kMmxInstructions = 3;
constexpr unsigned long kXmmiInstructions = 6;  // SSE
constexpr unsigned long k3DNowInstructions = 7;
constexpr unsigned long kXmmi64Instructions = 10;  // SSE2

class ProcessorFeatures {
  public:
    // Sets `present` to whether the processor and the system support `feature`. Returns S_OK, or
    // a failure status when the test itself is not available.
    virtual HRESULT IsPresent(unsigned long feature, bool* present) = 0;
    virtual ~ProcessorFeatures() = default;
};

ProcessorFeatures& SystemProcessorFeatures();

}  // namespace platform
