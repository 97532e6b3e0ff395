// Test stand-in for the processor feature test.
#pragma once

#include <set>

#include "platform/fakes/fault_plan.h"
#include "platform/processor_features.h"

namespace platform::fakes {

class FakeProcessorFeatures final : public ProcessorFeatures {
  public:
    HRESULT IsPresent(unsigned long feature, bool* present) override {
        ++calls;
        if (faults != nullptr && faults->Fail()) return faults->status;
        if (FAILED(failure)) return failure;
        *present = features.count(feature) != 0;
        return S_OK;
    }

    std::set<unsigned long> features;  // the features present
    HRESULT failure = S_OK;            // a failure status answers every test when set
    int calls = 0;
    FaultPlan* faults = nullptr;  // when set, counts every test and fails the armed one
};

}  // namespace platform::fakes
