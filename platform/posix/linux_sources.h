// Readers of the Linux sources behind the registry and management stand-ins: the first processor's
// block of proc/cpuinfo, small sysfs files, the kernel's machine name and the SMBIOS processor
// record. Every path is taken below a root folder, "/" for the running system.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/management.h"
#include "platform/processor_features.h"
#include "platform/registry.h"

namespace platform::linux_sources {

// The "name : value" lines of the first processor's block, in file order.
class CpuBlock {
  public:
    explicit CpuBlock(std::vector<std::pair<std::string, std::string>> fields)
        : fields_(std::move(fields)) {}
    // The value of the first line named `name`, or nothing.
    std::optional<std::string_view> Find(std::string_view name) const;
    // The value as a whole decimal (or, with `hex`, "0x"-prefixed hexadecimal) number.
    std::optional<long long> Number(std::string_view name, bool hex = false) const;
    bool HasFlag(std::string_view flag) const;

  private:
    std::vector<std::pair<std::string, std::string>> fields_;
};

// Parses the text of one block (lines up to the first blank one).
CpuBlock ParseCpuBlock(std::string_view text);
// Reads root/proc/cpuinfo up to the first blank line only, so that the cost does not depend on the
// number of processors. A missing file gives an empty block.
CpuBlock ReadFirstCpuBlock(const std::filesystem::path& root);

// The whole of a small file (at most `limit` bytes), or nothing when it cannot be read.
std::optional<std::string> ReadFile(const std::filesystem::path& path,
                                    std::size_t limit = 64 * 1024);
// A one-line sysfs attribute without its trailing newline.
std::optional<std::string> ReadAttribute(const std::filesystem::path& path);

// The machine name of the running kernel ("x86_64", "i686", "aarch64", ...).
std::string KernelMachine();

enum class MachineKind { kX86_64, kX86, kArm64, kArm, kOther };
MachineKind KindOfMachine(std::string_view machine);
// The kind of machine of a kernel named `machine` whose first processor's block is `cpu`: a 64-bit
// ARM name with the block of a 32-bit kernel (an architecture below 8: such a kernel reports ARMv7
// even for an ARMv8 core, a 64-bit one never does) is a 32-bit ARM machine.
MachineKind KindOfSystem(std::string_view machine, const CpuBlock& cpu);

// The processor's type identifier in the form the platform's registry gives it, e.g.
// "Intel64 Family 6 Model 85 Stepping 7" or "ARMv8 (64-bit) Family 8 Model D03 Revision 4".
std::optional<std::string> ProcessorIdentifier(const CpuBlock& cpu, std::string_view machine);
// The processor's name and maker as the platform's registry gives them: on x86 the block's model
// name and vendor identifier ("GenuineIntel"); on ARM the core and the implementer that its
// implementer and part codes name ("Cortex-A72", "ARM"), the model name standing in for a block
// without them.
std::optional<std::string> ProcessorName(const CpuBlock& cpu, std::string_view machine);
std::optional<std::string> ProcessorVendor(const CpuBlock& cpu, std::string_view machine);

// The fields of the first SMBIOS processor record (type 4) that the management service reports.
struct SmbiosProcessor {
    std::optional<std::string> socket;   // string at 0x04
    std::optional<int> family;           // byte at 0x06, 0xFE: the word at 0x28
    std::optional<std::string> version;  // string at 0x10
    std::optional<int> externalClock;    // word at 0x12, MHz
};

// Finds the first processor record of a raw SMBIOS structure table.
std::optional<SmbiosProcessor> FindSmbiosProcessor(std::span<const std::uint8_t> table);
// Reads it from root/sys/firmware/dmi/tables/DMI.
std::optional<SmbiosProcessor> ReadSmbiosProcessor(const std::filesystem::path& root);

}  // namespace platform::linux_sources

namespace platform {

// The stand-ins with the kernel's machine name given instead of asked (for tests).
std::unique_ptr<Registry> MakeLinuxRegistry(const std::filesystem::path& root, std::string machine);
std::unique_ptr<ManagementService> MakeLinuxManagementService(const std::filesystem::path& root,
                                                              std::string machine);
// The feature test of a machine's snapshot: the kernel's flags of its first processor on x86, no
// feature on any other kind of machine (the features it is asked for are x86 extensions).
std::unique_ptr<ProcessorFeatures> MakeLinuxProcessorFeatures(const std::filesystem::path& root,
                                                              const std::string& machine);

}  // namespace platform
