// Every platform call of a member failing in turn: the registry's open, read and close, the
// management service's query and property reads, the processor feature test, the date
// formatter and the regional settings. The member must answer the failure (or the documented
// stand-in text), keep no half-made result, close what it opened, and work again at once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "date/date_items.h"
#include "tests/hardening/member_probes.h"

namespace hardening {
namespace {

using platform::fakes::FaultPlan;

constexpr HRESULT kDeviceNotReady = static_cast<HRESULT>(0x80070015);

struct OrvantelPlatformFaults : ::testing::Test {
    CpuRig rig;
    FaultPlan plan;
    void SetUp() override {
        plan.status = kDeviceNotReady;
        rig.Watch(&plan);
    }
    // The judge for a member failing with the platform's status; every key is closed again.
    Loop Strict() {
        Loop loop;
        loop.faulted = [this, fails = FailsWith(kDeviceNotReady)](const Outcome& o,
                                                                  const Outcome& baseline) {
            fails(o, baseline);
            EXPECT_TRUE(rig.registry.open.empty()) << "a key left open";
        };
        return loop;
    }
};

TEST_F(OrvantelPlatformFaults, EveryServiceCallOfEverySelector) {
    for (SHORT selector : {0, 1, 8, 10, 16, 21, 34, 37, 42, 51, 52, 53, 99, -1}) {
        const Probe probe{"fnWin32Processor(" + std::to_string(selector) + ")", [&](Raw& raw) {
                              raw.hr = rig.cls()->fnWin32Processor(selector, &raw.text);
                          }};
        EXPECT_GE(FailEachInTurn(PlatformCalls(plan), probe, Strict()), 1) << selector;
    }
}

TEST_F(OrvantelPlatformFaults, LateBoundMembers) {
    Arguments selector(Short(53));
    Arguments feature(Long(6), Text(u"SSE yes"), Text(u"SSE no"));
    const DISPID processor = IdOf(rig.dispatch(), u"fnWin32Processor");
    const DISPID support = IdOf(rig.dispatch(), u"fnFeatureSupport");
    const Probe probes[] = {
        {"Invoke fnWin32Processor",
         [&](Raw& raw) { InvokeInto(rig.dispatch(), processor, selector, raw); }},
        {"Invoke fnFeatureSupport",
         [&](Raw& raw) { InvokeInto(rig.dispatch(), support, feature, raw); }},
    };
    for (const Probe& probe : probes)
        EXPECT_GE(FailEachInTurn(PlatformCalls(plan), probe, Strict()), 1) << probe.name;
}

TEST_F(OrvantelPlatformFaults, FeatureTest) {
    const Value yes = Text(u"yes"), no = Long(0);
    const Probe probe{"fnFeatureSupport", [&](Raw& raw) {
                          raw.hr = rig.cls()->fnFeatureSupport(6, yes, no, &raw.text);
                      }};
    EXPECT_EQ(FailEachInTurn(PlatformCalls(plan), probe, Strict()), 1);
}

// A poll fails for every one of its platform calls, and keeps no half-made item.
TEST_F(OrvantelPlatformFaults, EveryCallOfAPoll) {
    rig.Load(1);
    plan.Arm(0);  // counts without failing
    ASSERT_EQ(rig.provider()->PollData(), S_OK);
    const int calls = plan.calls();
    EXPECT_EQ(FailEachStepOfAPoll(rig, PlatformCalls(plan), Strict().faulted), calls)
        << "every platform call of a poll fails it";
}

// The date formatter's failure is the item's "Error" text; the day suffix needs no formatter.
TEST(TamblorinPlatformFaults, FormatterFailsForEveryItem) {
    DateRig rig;
    FaultPlan plan;
    rig.Watch(&plan);
    ASSERT_EQ(rig.provider()->PollData(), S_OK);
    Loop loop;
    loop.faulted = [](const Outcome& o, const Outcome&) {
        EXPECT_EQ(o, (Outcome{S_OK, u"Error"}));
    };
    for (LONG index = 0; index < date::kItemCount; ++index) {
        const Probe probe{"Value(" + std::to_string(index) + ")",
                          [&](Raw& raw) { raw.hr = rig.provider()->get_Value(index, &raw.value); }};
        EXPECT_EQ(FailEachInTurn(PlatformCalls(plan), probe, loop), index == 10 ? 0 : 1) << index;
    }
}

// The regional settings fail as a copy of their text fails: with std::bad_alloc.
TEST(WendrikaiPlatformFaults, SettingsFailForEveryItem) {
    UptimeRig rig;
    FaultPlan plan;
    rig.Watch(&plan);
    ASSERT_EQ(rig.provider()->PollData(), S_OK);
    Loop loop;
    loop.faulted = FailsWith(E_OUTOFMEMORY);
    for (LONG index = 0; index < 26; ++index) {
        const Probe probe{"Value(" + std::to_string(index) + ")",
                          [&](Raw& raw) { raw.hr = rig.provider()->get_Value(index, &raw.value); }};
        EXPECT_GE(FailEachInTurn(PlatformCalls(plan), probe, loop), 1) << index;
    }
}

}  // namespace
}  // namespace hardening
