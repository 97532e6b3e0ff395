// The processor feature test on Linux.
#include <gtest/gtest.h>

#include "platform/posix/linux_sources.h"
#include "platform/posix/processor_features.h"
#include "platform/processor_features.h"

namespace {

namespace src = platform::linux_sources;

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
