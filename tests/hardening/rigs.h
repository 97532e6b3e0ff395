// The three plug-in classes on fakes of the platform layer. The processor rig has two sets of
// platform data that differ in every item, so that after a failed poll each item can be told
// to hold either the earlier or the newer poll's value and nothing else.
#pragma once

#include <string>
#include <vector>

#include "cpuinfo/cpuinfo.h"
#include "date/custom_date.h"
#include "platform/fakes/fake_clocks.h"
#include "platform/fakes/fake_cpu_machine.h"
#include "platform/fakes/fake_date.h"
#include "platform/fakes/fault_plan.h"
#include "tests/hardening/outcome.h"
#include "uptime/uptime.h"

namespace hardening {

// Every item's value as an outcome, through the data-provider interface.
inline std::vector<Outcome> AllValues(ITessivar2DataProvider* provider) {
    LONG count = 0;
    EXPECT_EQ(provider->get_Count(&count), S_OK);
    std::vector<Outcome> values;
    for (LONG i = 0; i < count; ++i) {
        VARIANT v;
        MakeStale(&v);
        const HRESULT hr = provider->get_Value(i, &v);
        values.push_back(VariantCall(hr, &v));
    }
    return values;
}

// The second platform data set: a Ryzen that differs from the Pentium 4 in every item.
inline platform::fakes::CpuMachine Ryzen() {
    return {{"B1", "B2", "B3", "B4", "B5", "B6"},
            "12/31/99",
            "AMD Ryzen 7 5800X 8-Core",
            "AuthenticAMD",
            "AMD64 Family 25 Model 33 Stepping 0",
            {platform::kXmmi64Instructions, platform::k3DNowInstructions,
             platform::kFloatingPointPrecisionErrata},
            {
                {u"AddressWidth", LONG{48}},
                {u"Architecture", LONG{6}},
                {u"CurrentClockSpeed", LONG{2400}},
                {u"ExtClock", LONG{100}},
                {u"DataWidth", LONG{64}},
                {u"Family", LONG{185}},
                {u"Level", LONG{25}},
                {u"SocketDesignation", u"AM4"},
                {u"Stepping", LONG{1}},
                {u"Version", u"Model 33, Stepping 0"},
            }};
}

struct CpuRig : platform::fakes::FakeCpuMachine {
    cpuinfo::CPUInfo* object;

    CpuRig() : object(new cpuinfo::CPUInfo(registry, features, service)) { Load(0); }
    ~CpuRig() { static_cast<_CPUInfo*>(object)->Release(); }
    CpuRig(const CpuRig&) = delete;
    CpuRig& operator=(const CpuRig&) = delete;

    _CPUInfo* cls() { return object; }
    ITessivar2DataProvider* provider() { return object; }
    ITessivar2Plugin* plugin() { return object; }
    IDispatch* dispatch() { return static_cast<_CPUInfo*>(object); }

    void Watch(platform::fakes::FaultPlan* plan) {
        registry.faults = plan;
        features.faults = plan;
        service.faults = plan;
    }

    // Platform data set 0, the Pentium 4 with six firmware version entries, or 1, the Ryzen.
    void Load(int set) {
        FakeCpuMachine::Load(
            set == 0 ? platform::fakes::Pentium4({"A1", "A2", "A3", "A4", "A5", "A6"}) : Ryzen());
    }
};

struct DateRig {
    platform::fakes::FakeLocalClock clock;
    platform::fakes::FakeDateFormatter formatter;
    date::CustomDate* object;

    DateRig() : object(new date::CustomDate(clock, formatter)) {
        clock.now = {2003, 6, 1, 2, 12, 30, 0, 0};  // Monday 2 June 2003
        formatter.texts = {{"dd", "02"}, {"yy", "03"}, {"yyyy", "2003"}, {"MMM", "Jun"}};
    }
    ~DateRig() { object->Release(); }
    DateRig(const DateRig&) = delete;
    DateRig& operator=(const DateRig&) = delete;

    _CustomDate* cls() { return object; }
    ITessivar2DataProvider* provider() { return object; }
    ITessivar2Plugin* plugin() { return object; }
    IDispatch* dispatch() { return static_cast<_CustomDate*>(object); }
    void Watch(platform::fakes::FaultPlan* plan) { formatter.faults = plan; }
};

struct UptimeRig {
    platform::fakes::FakeTickClock clock;
    platform::fakes::FakeRegionalSettings settings;
    uptime::Uptime* object;

    UptimeRig() : object(new uptime::Uptime(clock, settings)) {
        clock.now = 123'456'789;  // 1 day, 10:17:36.789
        settings.time = u"h";     // separators the items must show as given
        settings.decimal = u",";
    }
    ~UptimeRig() { static_cast<_Uptime*>(object)->Release(); }
    UptimeRig(const UptimeRig&) = delete;
    UptimeRig& operator=(const UptimeRig&) = delete;

    _Uptime* cls() { return object; }
    ITessivar2DataProvider* provider() { return object; }
    ITessivar2Plugin* plugin() { return object; }
    IDispatch* dispatch() { return static_cast<_Uptime*>(object); }
    void Watch(platform::fakes::FaultPlan* plan) { settings.faults = plan; }
};

}  // namespace hardening
