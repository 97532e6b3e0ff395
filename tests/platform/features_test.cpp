// The processor feature test on Linux.
#include <gtest/gtest.h>

#include "platform/fakes/fixture_tree.h"
#include "platform/posix/linux_sources.h"
#include "platform/posix/processor_features.h"
#include "platform/processor_features.h"

namespace {

namespace src = platform::linux_sources;
using namespace platform::fakes;

TEST(FeatureFromCpuid, ReadsTheBitOfEachFeature) {
    const std::tuple<unsigned long, src::CpuidLeaves, bool> cases[] = {
        {platform::kMmxInstructions, {0, 1u << 23, std::nullopt}, true},
        {platform::kMmxInstructions, {0, ~(1u << 23), 0xFFFFFFFFu}, false},
        {platform::kXmmiInstructions, {0, 1u << 25, std::nullopt}, true},
        {platform::kXmmiInstructions, {0xFFFFFFFFu, ~(1u << 25), std::nullopt}, false},
        {platform::kXmmi64Instructions, {0, 1u << 26, std::nullopt}, true},
        {platform::kXmmi64Instructions, {0, 1u << 25, std::nullopt}, false},
        {platform::k3DNowInstructions, {0, 0, 1u << 31}, true},
        {platform::k3DNowInstructions, {0, 1u << 31, ~(1u << 31)}, false},
        // Without the extended leaf there is no 3DNow!.
        {platform::k3DNowInstructions, {0xFFFFFFFFu, 0xFFFFFFFFu, std::nullopt}, false},
        // The floating-point erratum is never reported, whatever the registers.
        {platform::kFloatingPointPrecisionErrata, {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}, false},
        {13, {1u, 0, std::nullopt}, true},  // SSE3
        {13, {0, 0xFFFFFFFFu, std::nullopt}, false},
        {1000, {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}, false},
    };
    for (const auto& [feature, leaves, present] : cases)
        EXPECT_EQ(src::FeatureFromCpuid(feature, leaves), present) << feature;
}

TEST(LinuxProcessorFeatures, TheFlagsOfEachSnapshot) {
    // An Athlon XP: 3DNow! and SSE, but no SSE2.
    TempTree athlon;
    athlon.Write("proc/cpuinfo",
                 "processor\t: 0\nvendor_id\t: AuthenticAMD\ncpu family\t: 6\nmodel\t\t: 8\n"
                 "flags\t\t: fpu vme de pse tsc msr pae mce cx8 sep mtrr pge mca cmov pat pse36 "
                 "mmx fxsr sse syscall mmxext 3dnowext 3dnow\n\n");
    const auto root = [&](const char* fixture) {
        return std::string_view(fixture) == "athlon" ? athlon.Root() : Fixture(fixture);
    };
    using platform::k3DNowInstructions, platform::kXmmiInstructions, platform::kXmmi64Instructions;
    // Snapshot, kernel, feature, present.
    const std::tuple<const char*, const char*, unsigned long, bool> cases[] = {
        {"intel-desktop", "x86_64", kXmmiInstructions, true},
        {"intel-desktop", "x86_64", kXmmi64Instructions, true},
        {"intel-desktop", "x86_64", 13, true},  // SSE3: the flag "pni"
        {"intel-desktop", "x86_64", 37, true},  // SSE4.1: "sse4_1"
        {"intel-desktop", "x86_64", k3DNowInstructions, false},
        {"amd-laptop", "x86_64", k3DNowInstructions, false},  // only "3dnowprefetch"
        {"athlon", "i686", k3DNowInstructions, true},
        {"athlon", "i686", kXmmiInstructions, true},
        {"athlon", "i686", kXmmi64Instructions, false},
        {"athlon", "i686", 13, false},
        {"athlon", "i686", 1000, false},
        // No x86 extension on ARM; nor on an ARM kernel, whatever the block says.
        {"arm-board", "aarch64", kXmmiInstructions, false},
        {"pi4-32bit", "armv7l", kXmmi64Instructions, false},
        {"intel-desktop", "aarch64", kXmmiInstructions, false},
        {"athlon", "armv7l", k3DNowInstructions, false},
    };
    for (const auto& [fixture, machine, feature, present] : cases) {
        auto features = platform::MakeLinuxProcessorFeatures(root(fixture), machine);
        bool answer = !present;
        EXPECT_EQ(features->IsPresent(feature, &answer), S_OK);
        EXPECT_EQ(answer, present) << fixture << " " << machine << " " << feature;
    }
    EXPECT_EQ(platform::MakeLinuxProcessorFeatures(athlon.Root(), "i686")->IsPresent(3, nullptr),
              E_POINTER);
}

bool Present(unsigned long feature) {
    bool present = true;
    EXPECT_EQ(platform::SystemProcessorFeatures().IsPresent(feature, &present), S_OK);
    return present;
}

TEST(SystemProcessorFeatures, AgreesWithTheKernelOnThisMachine) {
    const auto cpu = src::ReadFirstCpuBlock("/");
#if defined(__i386__) || defined(__x86_64__)
#if defined(__x86_64__)
    EXPECT_TRUE(Present(platform::kXmmi64Instructions));  // every 64-bit x86 processor has SSE2
#endif
    EXPECT_EQ(Present(platform::kMmxInstructions), cpu.HasFlag("mmx"));
    EXPECT_EQ(Present(platform::kXmmiInstructions), cpu.HasFlag("sse"));
    EXPECT_EQ(Present(platform::kXmmi64Instructions), cpu.HasFlag("sse2"));
    EXPECT_EQ(Present(platform::k3DNowInstructions), cpu.HasFlag("3dnow"));
#else
    for (unsigned long f : {3ul, 6ul, 7ul, 10ul}) EXPECT_FALSE(Present(f)) << f;
#endif
    EXPECT_FALSE(Present(platform::kFloatingPointPrecisionErrata));
    EXPECT_FALSE(Present(0xFFFFFFFFul));
    EXPECT_EQ(platform::SystemProcessorFeatures().IsPresent(3, nullptr), E_POINTER);
}

}  // namespace
