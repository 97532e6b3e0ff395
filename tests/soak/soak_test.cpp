// A long run of host cycles of each plug-in (a million where a cycle is cheap; CMakeLists.txt sizes
// the counts), driven as the host drives it: every cycle answers alike, and resident memory after
// the first 10,000 cycles does not grow by more than 1 MiB to the last. Leaks show under
// LeakSanitizer in the sanitizer build.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/support/plugin_library.h"
#include "tests/support/plugins.h"
#include "tests/support/rigs.h"
#include "tests/support/variants.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

constexpr long kWarmUpCycles = 10'000;
constexpr std::int64_t kAllowedGrowth = 1 << 20;

// The cycle count from the environment variable `name`, else the build's count.
long Cycles(const char* name, long built) {
    const char* text = std::getenv(name);
    const long cycles = text != nullptr ? std::strtol(text, nullptr, 10) : built;
    return cycles > kWarmUpCycles ? cycles : kWarmUpCycles + 1;
}

std::int64_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::int64_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// Runs `cycles` host cycles (PollData, then every Value, texts freed) on `provider`.
// A poll may fail on a machine that lacks a fact (a processor plug-in without the firmware's
// processor record, say), but then every poll must fail alike, and the values still answer.
void Soak(ITessivar2DataProvider* provider, long cycles, bool pollAlwaysSucceeds) {
    LONG count = 0;
    ASSERT_EQ(provider->get_Count(&count), S_OK);
    ASSERT_GT(count, 0);
    const HRESULT firstPoll = provider->PollData();
    if (pollAlwaysSucceeds) {
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

    EXPECT_EQ(otherPolls, 0) << "of " << cycles << " polls differ from the first's status 0x"
                             << std::hex << static_cast<std::uint32_t>(firstPoll);
    EXPECT_EQ(failedValues, 0) << "of " << cycles * count << " values";
    ::testing::Test::RecordProperty("cycles", std::to_string(cycles));
    ::testing::Test::RecordProperty("poll_status",
                                    std::to_string(static_cast<std::uint32_t>(firstPoll)));
    ::testing::Test::RecordProperty("resident_growth_bytes", std::to_string(atEnd - afterWarmUp));
    // The sanitizer's allocator holds freed blocks back for a while, so its resident size says
    // nothing about the plug-in; leaks are LeakSanitizer's to find there.
    if (!kSanitized) {
        EXPECT_LE(atEnd - afterWarmUp, kAllowedGrowth)
            << "resident " << afterWarmUp << " bytes after " << kWarmUpCycles << " cycles, "
            << atEnd << " after " << cycles;
    }
}

class SoakLibrary : public ::testing::TestWithParam<testing_support::PluginCase> {};

// The built library on this machine's platform, created through its class factory.
TEST_P(SoakLibrary, HostCyclesKeepMemoryFlat) {
    testing_support::PluginLibrary library(GetParam().File());
    ASSERT_TRUE(library.loaded()) << library.error();
    auto provider = library.Create<ITessivar2DataProvider>(GetParam().clsid);
    ASSERT_TRUE(provider);
    // Orvantel's cycles, which read this machine's sources, are sized apart.
    const long cycles = std::string(GetParam().name) == "Orvantel"
                            ? Cycles("TESS_SOAK_SYSTEM_CYCLES", TESS_SOAK_SYSTEM_CYCLES)
                            : Cycles("TESS_SOAK_CYCLES", TESS_SOAK_CYCLES);
    Soak(provider.Get(), cycles, GetParam().pollAlwaysSucceeds);
    EXPECT_EQ(testing_support::Drop(provider), 0u);
    EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

INSTANTIATE_TEST_SUITE_P(EachPlugin, SoakLibrary, ::testing::ValuesIn(testing_support::kPlugins),
                         testing_support::PluginName);

// Orvantel's own work without the cost of the Linux sources, which read proc files on every
// query: its registry, feature test and management service answered from memory.
TEST(SoakOrvantel, HostCyclesOnFakesKeepMemoryFlat) {
    testing_support::CpuRig rig;
    Soak(rig.provider(), Cycles("TESS_SOAK_CYCLES", TESS_SOAK_CYCLES), true);
    EXPECT_EQ(testing_support::Drop(rig.object), 0u);
}

}  // namespace
