#include "platform/processor_features.h"

#include "platform/posix/processor_features.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace platform {

namespace linux_sources {

namespace {

struct Bit {
    unsigned long feature;
    enum Register { kEcx1, kEdx1, kEdx80000001 } reg;
    unsigned bit;
};

constexpr Bit kBits[] = {
    {2, Bit::kEdx1, 8},          // compare-exchange of 8 bytes (cmpxchg8b)
    {3, Bit::kEdx1, 23},         // MMX
    {6, Bit::kEdx1, 25},         // SSE
    {7, Bit::kEdx80000001, 31},  // 3DNow!
    {8, Bit::kEdx1, 4},          // time stamp counter
    {10, Bit::kEdx1, 26},        // SSE2
    {13, Bit::kEcx1, 0},         // SSE3
    {14, Bit::kEcx1, 13},        // compare-exchange of 16 bytes (cmpxchg16b)
    {36, Bit::kEcx1, 9},         // SSSE3
    {37, Bit::kEcx1, 19},        // SSE4.1
    {38, Bit::kEcx1, 20},        // SSE4.2
};

}  // namespace

bool FeatureFromCpuid(unsigned long feature, const CpuidLeaves& leaves) {
    for (const auto& b : kBits) {
        if (b.feature != feature) continue;
        std::uint32_t value = 0;
        switch (b.reg) {
            case Bit::kEcx1:
                value = leaves.ecx1;
                break;
            case Bit::kEdx1:
                value = leaves.edx1;
                break;
            case Bit::kEdx80000001:
                if (!leaves.edx80000001) return false;
                value = *leaves.edx80000001;
                break;
        }
        return (value >> b.bit) & 1u;
    }
    return false;
}

std::optional<CpuidLeaves> ReadCpuid() {
#if defined(__i386__) || defined(__x86_64__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return std::nullopt;
    CpuidLeaves leaves;
    leaves.ecx1 = ecx;
    leaves.edx1 = edx;
    if (static_cast<unsigned>(__get_cpuid_max(0x80000000u, nullptr)) >= 0x80000001u &&
        __get_cpuid(0x80000001u, &eax, &ebx, &ecx, &edx))
        leaves.edx80000001 = edx;
    return leaves;
#else
    return std::nullopt;
#endif
}

}  // namespace linux_sources

namespace {

// The processor's features are fixed while the system runs, and the operating system reads them
// once at start-up; so does this test. (Under a hypervisor every cpuid instruction traps, which
// would make each test cost tens of microseconds.)
class CpuidFeatures final : public ProcessorFeatures {
  public:
    HRESULT IsPresent(unsigned long feature, bool* present) override {
        if (present == nullptr) return E_POINTER;
        *present = leaves_ && linux_sources::FeatureFromCpuid(feature, *leaves_);
        return S_OK;
    }

  private:
    const std::optional<linux_sources::CpuidLeaves> leaves_ = linux_sources::ReadCpuid();
};

}  // namespace

ProcessorFeatures& SystemProcessorFeatures() {
    static CpuidFeatures features;
    return features;
}

}  // namespace platform
