// The three plug-in classes on fakes of the platform layer, for the fuzz targets.
#pragma once

#include <memory>

#include "cpuinfo/cpuinfo.h"
#include "date/custom_date.h"
#include "platform/fakes/fake_clocks.h"
#include "platform/fakes/fake_date.h"
#include "platform/fakes/fake_management.h"
#include "platform/fakes/fake_processor_features.h"
#include "platform/fakes/fake_registry.h"
#include "platform/posix/locale_date_formatter.h"
#include "tests/fuzz/fuzz_support.h"
#include "uptime/uptime.h"

namespace fuzz {

// The "C" locale's date formatter, made once.
inline const platform::LocaleDateFormatter& CDateFormatter() {
    static const std::unique_ptr<platform::LocaleDateFormatter> formatter =
        platform::LocaleDateFormatter::ForLocale("C");
    FUZZ_CHECK(formatter != nullptr);
    return *formatter;
}

// The platform fakes behind the objects; they outlive the objects made on them.
struct Fakes {
    platform::fakes::FakeRegistry registry;
    platform::fakes::FakeProcessorFeatures features;
    platform::fakes::FakeManagementService management;
    platform::fakes::FakeLocalClock localClock;
    platform::fakes::FakeTickClock tickClock;
    platform::fakes::FakeRegionalSettings settings;
};

constexpr char kFirmwareKey[] = "HARDWARE\\DESCRIPTION\\System";
constexpr char kProcessorKey[] = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

// The registry values a poll reads, as a typical machine has them.
inline void SetRegistryValues(platform::fakes::FakeRegistry& registry) {
    registry.SetMultiString(kFirmwareKey, "SystemBiosVersion",
                            {"ALASKA - 1072009", "F12", "American Megatrends - 5000C"});
    registry.SetString(kFirmwareKey, "SystemBiosDate", "11/25/19");
    registry.SetString(kProcessorKey, "ProcessorNameString",
                       "Intel(R) Core(TM) i7-9700K CPU @ 3.60GHz");
    registry.SetString(kProcessorKey, "VendorIdentifier", "GenuineIntel");
    registry.SetString(kProcessorKey, "Identifier", "Intel64 Family 6 Model 158 Stepping 13");
}

enum class Plugin { kOrvantel, kTamblorin, kWendrikai };

// A new object of the plug-in's class holding one reference, as its IDispatch (the class
// interface) and its two host interfaces.
struct PluginRefs {
    IDispatch* dispatch;
    ITessivar2Plugin* plugin;
    ITessivar2DataProvider* provider;
};

inline PluginRefs MakePlugin(Plugin which, Fakes& fakes) {
    IDispatch* object = nullptr;
    switch (which) {
        case Plugin::kOrvantel:
            object = static_cast<_CPUInfo*>(
                new cpuinfo::CPUInfo(fakes.registry, fakes.features, fakes.management));
            break;
        case Plugin::kTamblorin:
            object =
                static_cast<_CustomDate*>(new date::CustomDate(fakes.localClock, CDateFormatter()));
            break;
        case Plugin::kWendrikai:
            object = static_cast<_Uptime*>(new uptime::Uptime(fakes.tickClock, fakes.settings));
            break;
    }
    PluginRefs refs{object, nullptr, nullptr};
    FUZZ_CHECK(SUCCEEDED(
        object->QueryInterface(IID_ITessivar2Plugin, reinterpret_cast<void**>(&refs.plugin))));
    FUZZ_CHECK(SUCCEEDED(object->QueryInterface(IID_ITessivar2DataProvider,
                                                reinterpret_cast<void**>(&refs.provider))));
    return refs;
}

// Drops the three references; the object must be gone afterwards.
inline void ReleasePlugin(const PluginRefs& refs) {
    FUZZ_CHECK(refs.plugin->Release() == 2);
    FUZZ_CHECK(refs.provider->Release() == 1);
    FUZZ_CHECK(refs.dispatch->Release() == 0);
}

}  // namespace fuzz
