// The parsers of the Linux stand-ins over arbitrary bytes: a processor block of proc/cpuinfo,
// the type identifier, name and maker made from it for each kind of machine, and an SMBIOS
// structure table.
#include <span>
#include <string>

#include "platform/posix/linux_sources.h"
#include "tests/fuzz/fuzz_support.h"

namespace src = platform::linux_sources;

namespace {

constexpr const char* kMachines[] = {"x86_64", "amd64",  "i386",    "i686", "aarch64", "arm64",
                                     "armv7l", "armv6l", "riscv64", "",     "i786",    "ppc64le"};

constexpr std::string_view kFields[] = {
    "vendor_id", "cpu family",       "model",    "stepping",     "model name", "cpu MHz",
    "flags",     "CPU architecture", "CPU part", "CPU revision", "processor",  "CPU implementer",
    ""};

void CheckBlock(std::string_view text) {
    const src::CpuBlock block = src::ParseCpuBlock(text);
    for (std::string_view name : kFields) {
        const auto value = block.Find(name);
        if (value) {
            // Names and values come without blanks around them.
            FUZZ_CHECK(value->empty() || (value->front() != ' ' && value->front() != '\t' &&
                                          value->back() != ' ' && value->back() != '\t'));
            FUZZ_CHECK(text.find(*value) != std::string_view::npos);
        }
        for (bool hex : {false, true}) {
            const auto number = block.Number(name, hex);
            if (number) FUZZ_CHECK(value && !value->empty());
        }
    }
    block.HasFlag("lm");
    block.HasFlag("");
    for (const char* machine : kMachines) {
        const auto identifier = src::ProcessorIdentifier(block, machine);
        if (!identifier) continue;
        const auto kind = src::KindOfMachine(machine);
        FUZZ_CHECK(kind != src::MachineKind::kOther);
        FUZZ_CHECK(identifier->find(" Family ") != std::string::npos);
        FUZZ_CHECK(identifier->find(" Model ") != std::string::npos);
    }
    // An ARM processor with its implementer and part codes always has a name and a maker.
    const bool coded = block.Number("CPU implementer", true) && block.Number("CPU part", true);
    for (const char* machine : {"aarch64", "armv7l", "x86_64"}) {
        const auto name = src::ProcessorName(block, machine);
        const auto vendor = src::ProcessorVendor(block, machine);
        if (src::KindOfMachine(machine) == src::MachineKind::kX86_64) continue;
        FUZZ_CHECK(!coded || (name && !name->empty() && vendor && !vendor->empty()));
        src::KindOfSystem(machine, block);
    }
}

void CheckSmbios(std::span<const std::uint8_t> table) {
    const auto processor = src::FindSmbiosProcessor(table);
    if (!processor) return;
    if (processor->family) FUZZ_CHECK(*processor->family >= 0 && *processor->family <= 0xFFFF);
    if (processor->externalClock)
        FUZZ_CHECK(*processor->externalClock >= 0 && *processor->externalClock <= 0xFFFF);
    for (const auto* text : {&processor->socket, &processor->version}) {
        if (!*text) continue;
        // A string of the table, without its NUL.
        FUZZ_CHECK((*text)->find('\0') == std::string::npos);
        const std::string_view all(reinterpret_cast<const char*>(table.data()), table.size());
        FUZZ_CHECK(all.find(**text) != std::string_view::npos);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The whole input as a processor block and as a table; also split at its first 0xFF byte,
    // the block before and the table after, so that one input can steer both.
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    CheckBlock(all);
    CheckSmbios(std::span(data, size));
    const auto split = all.find('\xFF');
    if (split != std::string_view::npos) {
        CheckBlock(all.substr(0, split));
        CheckSmbios(std::span(data + split + 1, size - split - 1));
    }
    src::KindOfMachine(all.substr(0, 8));
    return 0;
}
