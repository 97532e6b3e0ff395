// The three plug-in classes on fakes of the platform layer, as the hardening tests set them up.
// The processor rig has two sets of platform data that differ in every item, so that after a
// failed poll each item can be told to hold either the earlier or the newer poll's value and
// nothing else.
#pragma once

#include "tests/support/calls.h"
#include "tests/support/rigs.h"

namespace hardening {

using namespace testing_support;

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

struct CpuRig : testing_support::CpuRig {
    CpuRig() { Load(0); }
    // Platform data set 0, the Pentium 4 with six firmware version entries, or 1, the Ryzen.
    void Load(int set) {
        FakeCpuMachine::Load(
            set == 0 ? platform::fakes::Pentium4({"A1", "A2", "A3", "A4", "A5", "A6"}) : Ryzen());
    }
};

// Tamblorin's calendar lookups, by name.
using Lookup = HRESULT (STDMETHODCALLTYPE _CustomDate::*)(SHORT, BSTR*);
inline const std::pair<std::u16string, Lookup> kCalendarLookups[] = {
    {u"GetDayShort", &_CustomDate::GetDayShort},
    {u"GetDayLong", &_CustomDate::GetDayLong},
    {u"GetMonthShort", &_CustomDate::GetMonthShort},
    {u"GetMonthLong", &_CustomDate::GetMonthLong},
    {u"GetDaySuffix", &_CustomDate::GetDaySuffix}};

struct DateRig : testing_support::DateRig {
    DateRig() {
        clock.now = {2003, 6, 1, 2, 12, 30, 0, 0};  // Monday 2 June 2003
        formatter.texts = {{"dd", "02"}, {"yy", "03"}, {"yyyy", "2003"}, {"MMM", "Jun"}};
    }
};

struct UptimeRig : testing_support::UptimeRig {
    UptimeRig() {
        clock.now = 123'456'789;  // 1 day, 10:17:36.789
        settings.time = u"h";     // separators the items must show as given
        settings.decimal = u",";
    }
};

}  // namespace hardening
