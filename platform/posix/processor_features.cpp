#include "platform/processor_features.h"

#include "platform/posix/processor_features.h"

#include <string_view>

#include "platform/posix/linux_sources.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace platform {

namespace linux_sources {

namespace {

// Each feature's cpuid bit and the name of its flag in proc/cpuinfo.
struct Bit {
    unsigned long feature;
    enum Register { kEcx1, kEdx1, kEdx80000001 } reg;
    unsigned bit;
    std::string_view flag;
};

constexpr Bit kBits[] = {
    {2, Bit::kEdx1, 8, "cx8"},            // compare-exchange of 8 bytes (cmpxchg8b)
    {3, Bit::kEdx1, 23, "mmx"},           // MMX
    {6, Bit::kEdx1, 25, "sse"},           // SSE
    {7, Bit::kEdx80000001, 31, "3dnow"},  // 3DNow!
    {8, Bit::kEdx1, 4, "tsc"},            // time stamp counter
    {10, Bit::kEdx1, 26, "sse2"},         // SSE2
    {13, Bit::kEcx1, 0, "pni"},           // SSE3
    {14, Bit::kEcx1, 13, "cx16"},         // compare-exchange of 16 bytes (cmpxchg16b)
    {36, Bit::kEcx1, 9, "ssse3"},         // SSSE3
    {37, Bit::kEcx1, 19, "sse4_1"},       // SSE4.1
    {38, Bit::kEcx1, 20, "sse4_2"},       // SSE4.2
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

bool FeatureFromFlags(unsigned long feature, const CpuBlock& cpu) {
    for (const auto& b : kBits)
        if (b.feature == feature) return cpu.HasFlag(b.flag);
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

// A snapshot's features, from the flags the kernel found when it started; an ARM processor has
// none of them.
class FlagFeatures final : public ProcessorFeatures {
  public:
    FlagFeatures(const std::filesystem::path& root, const std::string& machine)
        : x86_(IsX86(machine)), cpu_(linux_sources::ReadFirstCpuBlock(root)) {}

    HRESULT IsPresent(unsigned long feature, bool* present) override {
        if (present == nullptr) return E_POINTER;
        *present = x86_ && linux_sources::FeatureFromFlags(feature, cpu_);
        return S_OK;
    }

  private:
    static bool IsX86(const std::string& machine) {
        const auto kind = linux_sources::KindOfMachine(machine);
        return kind == linux_sources::MachineKind::kX86_64 ||
               kind == linux_sources::MachineKind::kX86;
    }

    const bool x86_;
    const linux_sources::CpuBlock cpu_;
};

}  // namespace

ProcessorFeatures& SystemProcessorFeatures() {
    static CpuidFeatures features;
    return features;
}

std::unique_ptr<ProcessorFeatures> MakeLinuxProcessorFeatures(const std::filesystem::path& root,
                                                              const std::string& machine) {
    return std::make_unique<FlagFeatures>(root, machine);
}

}  // namespace platform
