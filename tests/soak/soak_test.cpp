// A million host cycles of each built plug-in library, driven through its entry points as the
// host drives it: every cycle succeeds, and resident memory after the first 10,000 cycles does
// not grow by more than 1 MiB to the last. Leaks show under LeakSanitizer in the sanitizer build.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "cpuinfo/cpuinfo.h"
#include "date/custom_date.h"
#include "frame/host_interfaces.h"
#include "tests/support/plugin_library.h"
#include "uptime/uptime.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

constexpr long kWarmUpCycles = 10'000;
constexpr std::int64_t kAllowedGrowth = 1 << 20;

long Cycles() {
    const char* text = std::getenv("TESS_SOAK_CYCLES");
    const long cycles = text != nullptr ? std::strtol(text, nullptr, 10) : 1'000'000;
    return cycles > kWarmUpCycles ? cycles : kWarmUpCycles + 1;
}

std::int64_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::int64_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

struct SoakCase {
    const char* library;
    CLSID clsid;
    bool pollAlwaysSucceeds;  // the plug-in needs nothing the machine may lack
};

class Soak : public ::testing::TestWithParam<SoakCase> {};

TEST_P(Soak, HostCyclesKeepMemoryFlat) {
    testing_support::PluginLibrary library(GetParam().library);
    ASSERT_TRUE(library.loaded()) << library.error();
    auto* provider =
        library.Create<ITessivar2DataProvider>(GetParam().clsid, IID_ITessivar2DataProvider);
    ASSERT_NE(provider, nullptr);
    LONG count = 0;
    ASSERT_EQ(provider->get_Count(&count), S_OK);
    ASSERT_GT(count, 0);

    const long cycles = Cycles();
    // A poll may fail on a machine that lacks a fact (a processor plug-in without the firmware's
    // processor record, say), but then every poll must fail alike, and the values still answer.
    const HRESULT firstPoll = provider->PollData();
    if (GetParam().pollAlwaysSucceeds) {
        EXPECT_EQ(firstPoll, S_OK);
    }
    long otherPolls = 0, failedValues = 0;
    std::int64_t afterWarmUp = 0;
    for (long cycle = 1; cycle <= cycles; ++cycle) {
        if (provider->PollData() != firstPoll) ++otherPolls;
        for (LONG i = 0; i < count; ++i) {
            VARIANT value;
            VariantInit(&value);
            if (FAILED(provider->get_Value(i, &value))) ++failedValues;
            VariantClear(&value);
        }
        if (cycle == kWarmUpCycles) afterWarmUp = ResidentBytes();
    }
    const std::int64_t atEnd = ResidentBytes();
    EXPECT_EQ(provider->Release(), 0u);
    EXPECT_EQ(library.CanUnloadNow(), S_OK);

    EXPECT_EQ(otherPolls, 0) << "of " << cycles << " polls differ from the first's status 0x"
                             << std::hex << static_cast<std::uint32_t>(firstPoll);
    EXPECT_EQ(failedValues, 0) << "of " << cycles * count << " values";
    RecordProperty("cycles", std::to_string(cycles));
    RecordProperty("poll_status", std::to_string(static_cast<std::uint32_t>(firstPoll)));
    RecordProperty("resident_growth_bytes", std::to_string(atEnd - afterWarmUp));
    // The sanitizer's allocator holds freed blocks back for a while, so its resident size says
    // nothing about the plug-in; leaks are LeakSanitizer's to find there.
    if (!kSanitized) {
        EXPECT_LE(atEnd - afterWarmUp, kAllowedGrowth)
            << "resident " << afterWarmUp << " bytes after " << kWarmUpCycles << " cycles, "
            << atEnd << " after " << cycles;
    }
}

INSTANTIATE_TEST_SUITE_P(EachPlugin, Soak,
                         ::testing::Values(SoakCase{"Wendrikai.so", CLSID_Uptime, true},
                                           SoakCase{"Tamblorin.so", CLSID_CustomDate, true},
                                           SoakCase{"Orvantel.so", CLSID_CPUInfo, false}),
                         [](const auto& info) {
                             std::string name = info.param.library;
                             return name.substr(0, name.find('.'));
                         });

}  // namespace
