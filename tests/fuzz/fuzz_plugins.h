// The three plug-in classes on fakes of the platform layer, for the fuzz targets.
#pragma once

#include <memory>

#include "platform/posix/locale_date_formatter.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/support/rigs.h"
#include "tests/support/variants.h"

namespace fuzz {

// The "C" locale's date formatter, made once.
inline const platform::LocaleDateFormatter& CDateFormatter() {
    static const std::unique_ptr<platform::LocaleDateFormatter> formatter =
        platform::LocaleDateFormatter::ForLocale("C");
    FUZZ_CHECK(formatter != nullptr);
    return *formatter;
}

// The platform fakes behind the objects; they outlive the objects made on them. The processor
// plug-in's registry, feature test and management service start empty.
struct Fakes : platform::fakes::FakeCpuMachine {
    platform::fakes::FakeLocalClock localClock;
    platform::fakes::FakeTickClock tickClock;
    platform::fakes::FakeRegionalSettings settings;
};

using platform::fakes::kFirmwareKey;
using platform::fakes::kProcessorKey;

// A typical desktop: the targets poll on its registry values (Fakes::LoadRegistry) when they fuzz
// other inputs; dispatch_fuzz takes the whole machine, whose stepping is a text.
inline platform::fakes::CpuMachine TypicalMachine() {
    return {{"ALASKA - 1072009", "F12", "American Megatrends - 5000C"},
            "11/25/19",
            "Intel(R) Core(TM) i7-9700K CPU @ 3.60GHz",
            "GenuineIntel",
            "Intel64 Family 6 Model 158 Stepping 13",
            {platform::kXmmiInstructions, platform::kXmmi64Instructions},
            {
                {u"AddressWidth", LONG{64}},
                {u"Architecture", LONG{9}},
                {u"CurrentClockSpeed", LONG{3600}},
                {u"ExtClock", LONG{100}},
                {u"DataWidth", LONG{64}},
                {u"Family", LONG{198}},
                {u"Level", LONG{6}},
                {u"SocketDesignation", u"LGA1151"},
                {u"Stepping", u"13"},
            }};
}

enum class Plugin { kOrvantel, kTamblorin, kWendrikai };

// A new object of the plug-in's class, as its IDispatch (the class interface) and its two host
// interfaces.
struct PluginRefs {
    com::ComPtr<IDispatch> dispatch;
    com::ComPtr<ITessivar2Plugin> plugin;
    com::ComPtr<ITessivar2DataProvider> provider;
};

inline PluginRefs MakePlugin(Plugin which, Fakes& fakes) {
    using namespace testing_support;
    PluginRefs refs;
    refs.dispatch =
        which == Plugin::kOrvantel
            ? New<cpuinfo::CPUInfo>(fakes.registry, fakes.features, fakes.service).As<IDispatch>()
        : which == Plugin::kTamblorin
            ? New<date::CustomDate>(fakes.localClock, CDateFormatter()).As<IDispatch>()
            : New<uptime::Uptime>(fakes.tickClock, fakes.settings).As<IDispatch>();
    FUZZ_CHECK(SUCCEEDED(refs.dispatch.As(&refs.plugin)));
    FUZZ_CHECK(SUCCEEDED(refs.dispatch.As(&refs.provider)));
    return refs;
}

// The value of item `index`, which must answer a text or nothing: its characters.
inline std::u16string ItemText(ITessivar2DataProvider* provider, LONG index) {
    com::Variant value;
    FUZZ_CHECK(provider->get_Value(index, &value) == S_OK);
    FUZZ_CHECK(value.vt == VT_BSTR || value.vt == VT_EMPTY);
    return std::u16string(value.vt == VT_BSTR ? com::View(value.bstrVal) : u"");
}

// Drops the three references; the object must be gone afterwards.
inline void ReleasePlugin(PluginRefs& refs) {
    FUZZ_CHECK(testing_support::Drop(refs.plugin) == 2);
    FUZZ_CHECK(testing_support::Drop(refs.provider) == 1);
    FUZZ_CHECK(testing_support::Drop(refs.dispatch) == 0);
}

}  // namespace fuzz
