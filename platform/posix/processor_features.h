// The processor feature test on Linux: the platform's feature numbers answered from cpuid (or, for
// a machine's snapshot, from the flags of proc/cpuinfo).
#pragma once

#include <cstdint>
#include <optional>

namespace platform::linux_sources {

class CpuBlock;

// The cpuid registers the feature test looks at.
struct CpuidLeaves {
    std::uint32_t ecx1 = 0;  // leaf 1
    std::uint32_t edx1 = 0;
    std::optional<std::uint32_t> edx80000001;  // leaf 0x80000001, when the processor has it
};

// Whether `feature` (a platform feature number) is present with these registers. Numbers
// without a cpuid bit here, the floating-point precision erratum (0) among them, are absent.
bool FeatureFromCpuid(unsigned long feature, const CpuidLeaves& leaves);
// The same from the flags of an x86 processor's block of proc/cpuinfo, which the kernel takes from
// those bits ("sse2", "pni" for SSE3).
bool FeatureFromFlags(unsigned long feature, const CpuBlock& cpu);

// The registers of the running processor, or nothing off x86.
std::optional<CpuidLeaves> ReadCpuid();

}  // namespace platform::linux_sources
