// Failing each fallible step of one member call in turn: the 1st, the 2nd, ... platform call or
// allocation, until a run ends before it reaches the armed one. While a failure is armed only
// the member itself runs: its arguments are made beforehand and its results read afterwards.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "com/com_standin_testing.h"
#include "platform/fakes/fault_plan.h"
#include "tests/support/calls.h"

namespace hardening {

using namespace testing_support;

// What one member call left for its caller, before it is read.
struct Raw {
    HRESULT hr = S_OK;
    BSTR text = StaleString();
    VARIANT value;  // the variant result; stale until the member (or Invoke's caller) sets it
    com::ExcepInfo excep;
    Raw() { MakeStale(&value); }
};

// Reads and frees what the call left. A late-bound call's exception record gives the method's
// own status in place of DISP_E_EXCEPTION.
inline Outcome Take(Raw& raw) {
    Outcome out{raw.hr, std::nullopt};
    if (raw.hr == DISP_E_EXCEPTION) out.hr = raw.excep.scode;
    raw.excep.Clear();
    const bool variantWritten =
        !(raw.value.vt == VT_ERROR && raw.value.scode == static_cast<SCODE>(0x5a5a5a5a));
    if (raw.text != StaleString())
        out.value = TakeString(std::exchange(raw.text, StaleString()));
    else if (variantWritten)
        out.value = TakeVariant(&raw.value);
    MakeStale(&raw.value);
    return out;
}

// A late-bound call of member `id` into `raw`, without allocating anything itself.
inline void InvokeInto(IDispatch* dispatch, DISPID id, Arguments& args, Raw& raw) {
    VariantInit(&raw.value);
    UINT argErr = 0;
    raw.hr = dispatch->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, args.params(), &raw.value,
                              &raw.excep, &argErr);
}

// One member call under test.
struct Probe {
    std::string name;
    std::function<void(Raw&)> call;
};

// A source of failures to inject: arms the nth, tells whether it is still to come, disarms.
struct Injector {
    std::function<void(int)> arm;
    std::function<bool()> pending;
    std::function<void()> disarm;
};

inline Injector PlatformCalls(platform::fakes::FaultPlan& plan) {
    return {[&plan](int n) { plan.Arm(n); }, [&plan] { return plan.Pending(); },
            [&plan] { plan.Disarm(); }};
}

inline Injector StringAllocations() {
    return {[](int n) { com::standin::FailNthStringAllocation(static_cast<unsigned>(n)); },
            [] { return com::standin::StringAllocationFailurePending(); },
            [] { com::standin::FailNthStringAllocation(0); }};
}

struct Loop {
    // Runs before every call, faulted or not (outside the failure window).
    std::function<void()> prepare = [] {};
    // Judges a call that met its failure (read once the failure is off) against the baseline.
    std::function<void(const Outcome& got, const Outcome& baseline)> faulted;
    // Checks the object after the call that follows a faulted one.
    std::function<void()> settled = [] {};
};

// Calls `probe` once for its baseline, then with the kth failure armed for k = 1, 2, ... until
// a call ends before reaching it, which must give the baseline. After each faulted call the
// next call must give the baseline again. Returns the number of faulted calls.
inline int FailEachInTurn(const Injector& injector, const Probe& probe, const Loop& loop) {
    SCOPED_TRACE(probe.name);
    auto once = [&](int k) {
        loop.prepare();
        Raw raw;
        if (k > 0) injector.arm(k);
        probe.call(raw);
        const bool reached = k > 0 && !injector.pending();
        injector.disarm();
        return std::pair{Take(raw), reached};
    };
    const Outcome baseline = once(0).first;
    EXPECT_TRUE(SUCCEEDED(baseline.hr)) << baseline;
    constexpr int kLimit = 100000;
    for (int k = 1; k < kLimit; ++k) {
        const auto [outcome, reached] = once(k);
        if (!reached) {
            EXPECT_EQ(outcome, baseline) << "a call that met no failure";
            return k - 1;
        }
        {
            SCOPED_TRACE("failure " + std::to_string(k));
            loop.faulted(outcome, baseline);
        }
        const Outcome again = once(0).first;
        EXPECT_EQ(again, baseline) << "the call after failure " << k;
        loop.settled();
        if (::testing::Test::HasFailure()) return k;  // one broken step is enough to show
    }
    ADD_FAILURE() << "still failing after " << kLimit << " steps";
    return kLimit;
}

// The judge of most members: a failure with `status` and no result or, when `mayGetBy` (the
// member may do without the failed step), exactly the baseline result.
inline std::function<void(const Outcome&, const Outcome&)> FailsWith(HRESULT status,
                                                                     bool mayGetBy = false) {
    return [status, mayGetBy](const Outcome& o, const Outcome& baseline) {
        if (mayGetBy && o == baseline) return;
        EXPECT_EQ(o.hr, status) << o;
        EXPECT_FALSE(o.value.has_value()) << "a failed call gave a result: " << o;
    };
}

}  // namespace hardening
