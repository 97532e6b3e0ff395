// Failure on demand for the platform fakes: the fakes that share a plan count their calls
// through it, and the one call it is armed for fails. A test fails each platform call of a
// member in turn by arming 1, 2, ... until a run ends before reaching the armed call.
#pragma once

#include "com/com.h"

namespace platform::fakes {

class FaultPlan {
  public:
    // Fails the `n`th call from now (n = 1: the next one) and restarts the count.
    void Arm(int n) {
        calls_ = 0;
        failAt_ = n;
    }
    // Lets every call succeed again; the count goes on.
    void Disarm() { failAt_ = 0; }

    // Counts one call of a fake; true when this is the call to fail.
    bool Fail() {
        ++calls_;
        return failAt_ != 0 && calls_ == failAt_;
    }
    // True when the armed call has not been made yet.
    bool Pending() const { return failAt_ != 0 && calls_ < failAt_; }
    // The calls counted since the last Arm.
    int calls() const { return calls_; }

    // What a failing call answers, where the call answers a status.
    HRESULT status = E_FAIL;

  private:
    int calls_ = 0;
    int failAt_ = 0;
};

}  // namespace platform::fakes
