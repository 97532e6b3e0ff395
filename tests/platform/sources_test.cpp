// The readers behind the Linux stand-ins: proc/cpuinfo blocks, SMBIOS records, type identifiers.
#include <gtest/gtest.h>

#include <unistd.h>

#include "platform/fakes/fixture_tree.h"
#include "platform/posix/linux_sources.h"

namespace {

namespace src = platform::linux_sources;
using namespace platform::fakes;

std::optional<src::SmbiosProcessor> Parse(const std::string& table) {
    return src::FindSmbiosProcessor(
        std::span(reinterpret_cast<const std::uint8_t*>(table.data()), table.size()));
}

TEST(SmbiosProcessor, ReadsTheFirstProcessorRecordAfterOtherRecords) {
    const auto table = SmbiosTable({
        FirmwareRecord(),
        SystemRecord(),
        ProcessorRecord({.family = 0xC6, .externalClock = 100},
                        {"LGA1151", "Intel(R) Core(TM) i7-9700K CPU @ 3.60GHz"}),
        ProcessorRecord({.family = 0x01, .externalClock = 133}, {"Second", "Other"}),
    });
    const auto p = Parse(table);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->socket, "LGA1151");
    EXPECT_EQ(p->version, "Intel(R) Core(TM) i7-9700K CPU @ 3.60GHz");
    EXPECT_EQ(p->family, 0xC6);
    EXPECT_EQ(p->externalClock, 100);
}

TEST(SmbiosProcessor, Family0xFEMeansTheWordAt0x28) {
    const auto wide = Parse(SmbiosTable(
        {ProcessorRecord({.family = 0xFE, .externalClock = 100, .family2 = 0x6B}, {"FP6", "R"})}));
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->family, 0x6B);
    const auto big = Parse(
        SmbiosTable({ProcessorRecord({.family = 0xFE, .family2 = 0x0200}, {"S", "RISC-V RV32"})}));
    ASSERT_TRUE(big);
    EXPECT_EQ(big->family, 0x200);
    // A record from before the word existed keeps the byte.
    const auto old =
        Parse(SmbiosTable({ProcessorRecord({.family = 0xFE, .length = 0x28}, {"S", "V"})}));
    ASSERT_TRUE(old);
    EXPECT_EQ(old->family, 0xFE);
}

TEST(SmbiosProcessor, MissingStringsAndShortRecords) {
    // String number 0 means none; a number past the set is none too.
    const auto none =
        Parse(SmbiosTable({ProcessorRecord({.socket = 0, .version = 3}, {"A", "B"})}));
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->socket);
    EXPECT_FALSE(none->version);
    // A record without any string (closed by two NULs).
    const auto bare = Parse(SmbiosTable({ProcessorRecord({.socket = 0, .version = 0}, {})}));
    ASSERT_TRUE(bare);
    EXPECT_FALSE(bare->socket);
    EXPECT_EQ(bare->externalClock, 0);  // a clock of 0 stays 0
    // A record ending before the version (the earliest form is 0x1A long; cut it shorter).
    const auto cut =
        Parse(SmbiosTable({ProcessorRecord({.family = 0x0B, .length = 0x10}, {"S", "V"})}));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->family, 0x0B);
    EXPECT_EQ(cut->socket, "S");
    EXPECT_FALSE(cut->version);
    EXPECT_FALSE(cut->externalClock);
}

TEST(SmbiosProcessor, NoRecordOrBrokenTables) {
    EXPECT_FALSE(Parse(""));
    EXPECT_FALSE(Parse(SmbiosTable({FirmwareRecord(), SystemRecord()})));
    // A processor record after the end of the table is not read.
    auto after = SmbiosTable({FirmwareRecord()});
    after += SmbiosTable({ProcessorRecord({}, {"S", "V"})});
    EXPECT_FALSE(Parse(after));
    // Cut anywhere, the table is never read past its end.
    const auto table = SmbiosTable({FirmwareRecord(), ProcessorRecord({}, {"Socket", "Ver"})});
    for (std::size_t size = 0; size < table.size(); ++size) {
        const auto p = Parse(table.substr(0, size));
        if (p && p->version) {
            EXPECT_EQ(p->version, "Ver") << size;
        }
    }
    // A length below the header's size ends the walk.
    std::string bad = table;
    bad[1] = 2;
    EXPECT_FALSE(Parse(bad));
}

TEST(CpuBlock, ParsesNamesAndValuesUpToTheFirstBlankLine) {
    const auto cpu = src::ParseCpuBlock(
        "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu MHz\t\t: 800.012\n"
        "power management:\nflags\t\t: fpu lm sse2\nCPU part\t: 0xd08\n\nvendor_id\t: Other\n");
    EXPECT_EQ(cpu.Find("vendor_id"), "GenuineIntel");
    EXPECT_EQ(cpu.Find("cpu MHz"), "800.012");
    EXPECT_EQ(cpu.Find("power management"), "");
    EXPECT_FALSE(cpu.Find("model name"));
    EXPECT_EQ(cpu.Number("processor"), 0);
    EXPECT_EQ(cpu.Number("CPU part", true), 0xd08);
    EXPECT_FALSE(cpu.Number("CPU part"));
    EXPECT_FALSE(cpu.Number("cpu MHz"));
    EXPECT_TRUE(cpu.HasFlag("lm"));
    EXPECT_TRUE(cpu.HasFlag("sse2"));
    EXPECT_FALSE(cpu.HasFlag("sse"));
    EXPECT_FALSE(cpu.HasFlag("fp"));
}

TEST(CpuBlock, ReadsOnlyTheFirstBlockOfAHugeFile) {
    // The first block, then a gigabyte of hole: a reader that went on would take seconds.
    TempTree tree("vm");
    const auto path = tree.Root() / "proc/cpuinfo";
    const auto size = std::filesystem::file_size(path);
    ASSERT_EQ(::truncate(path.c_str(), 1 << 30), 0);
    const auto cpu = src::ReadFirstCpuBlock(tree.Root());
    EXPECT_EQ(cpu.Find("model name"), "AMD EPYC");
    EXPECT_EQ(cpu.Number("processor"), 0);
    EXPECT_GT(size, 0u);
}

TEST(CpuBlock, MissingFileIsAnEmptyBlock) {
    TempTree tree;
    EXPECT_FALSE(src::ReadFirstCpuBlock(tree.Root()).Find("processor"));
}

TEST(ProcessorIdentifier, FollowsTheKernelAndTheVendor) {
    // Each snapshot and kind of machine with its identifier; null: none.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"intel-desktop", "x86_64", "Intel64 Family 6 Model 158 Stepping 13"},
        {"intel-desktop", "i686", "x86 Family 6 Model 158 Stepping 13"},
        {"intel-desktop", "i386", "x86 Family 6 Model 158 Stepping 13"},
        {"amd-laptop", "x86_64", "AMD64 Family 25 Model 80 Stepping 0"},
        {"amd-laptop", "i686", "x86 Family 25 Model 80 Stepping 0"},
        {"vm", "x86_64", "AMD64 Family 25 Model 17 Stepping 1"},
        {"arm-board", "aarch64", "ARMv8 (64-bit) Family 8 Model D08 Revision 3"},
        {"arm-board", "armv7l", "ARMv8 Family 8 Model D08 Revision 3"},
        {"arm-board", "x86_64", nullptr},
        {"pi4-32bit", "armv7l", "ARMv7 Family 7 Model D08 Revision 3"},
        {"pi4-32bit", "aarch64", "ARMv7 Family 7 Model D08 Revision 3"},
        {"intel-desktop", "aarch64", nullptr},
        {"intel-desktop", "riscv64", nullptr},
    };
    for (const auto& [fixture, machine, identifier] : cases) {
        const auto id = src::ProcessorIdentifier(src::ReadFirstCpuBlock(Fixture(fixture)), machine);
        if (identifier == nullptr)
            EXPECT_FALSE(id) << fixture << " " << machine;
        else
            EXPECT_EQ(id, identifier) << fixture << " " << machine;
    }
    const auto cortexA7 = src::ParseCpuBlock(
        "processor\t: 0\nmodel name\t: ARMv7 Processor rev 5 (v7l)\nCPU implementer\t: 0x41\n"
        "CPU architecture: 7\nCPU variant\t: 0x0\nCPU part\t: 0xc07\nCPU revision\t: 5\n");
    EXPECT_EQ(src::ProcessorIdentifier(cortexA7, "armv7l"), "ARMv7 Family 7 Model C07 Revision 5");
}

TEST(ProcessorName, TheCoreAndItsImplementerOnArmTheModelAndVendorElsewhere) {
    const auto arm = [](const char* implementer, const char* part) {
        std::string block = "processor\t: 0\nBogoMIPS\t: 48.00\n";
        if (implementer) block += std::string("CPU implementer\t: ") + implementer + "\n";
        block += "CPU architecture: 8\nCPU variant\t: 0x1\n";
        if (part) block += std::string("CPU part\t: ") + part + "\n";
        return block + "CPU revision\t: 2\n";
    };
    const std::string armv7 = "processor\t: 0\nmodel name\t: ARMv7 Processor rev 5 (v7l)\n";
    const std::string intel =
        "processor\t: 0\nvendor_id\t: GenuineIntel\nmodel name\t: Intel(R) X\n";
    // Block, kernel, name and vendor; null: none.
    const std::tuple<std::string, const char*, const char*, const char*> cases[] = {
        {arm("0x41", "0xd08"), "aarch64", "Cortex-A72", "ARM"},
        {arm("0x41", "0xD0C"), "armv7l", "Neoverse-N1", "ARM"},  // capital hexadecimal digits
        {arm("0x48", "0xd01"), "aarch64", "Kunpeng-920", "Huawei"},
        {arm("0x51", "0x001"), "aarch64", "Oryon", "Qualcomm"},
        {arm("0x61", "0x023"), "aarch64", "Firestorm-M1", "Apple"},
        {arm("0xc0", "0xac3"), "aarch64", "Ampere-1", "Ampere"},
        // A part or implementer that the table does not know keeps its codes.
        {arm("0x41", "0xd8f"), "aarch64", "ARM part 0xd8f", "ARM"},
        {arm("0x53", "0x00a"), "aarch64", "Samsung part 0x00a", "Samsung"},
        {arm("0x49", "0x001"), "aarch64", "Infineon part 0x001", "Infineon"},
        {arm("0x7a", "0x12"), "aarch64", "Implementer 0x7a part 0x012", "Implementer 0x7a"},
        // Without the codes, the model name stands in; without either, nothing.
        {armv7 + "CPU implementer\t: 0x41\n", "armv7l", "ARMv7 Processor rev 5 (v7l)", "ARM"},
        {armv7 + "CPU part\t: 0xc07\n", "armv7l", "ARMv7 Processor rev 5 (v7l)", nullptr},
        {arm("41", "d08"), "aarch64", nullptr, nullptr},  // not hexadecimal numbers
        {arm(nullptr, nullptr), "aarch64", nullptr, nullptr},
        {"", "aarch64", nullptr, nullptr},
        // On x86 the block's own texts, whatever else it holds.
        {intel + "CPU implementer\t: 0x41\nCPU part\t: 0xd08\n", "x86_64", "Intel(R) X",
         "GenuineIntel"},
        {arm("0x41", "0xd08"), "x86_64", nullptr, nullptr},
        {intel, "aarch64", "Intel(R) X", nullptr},
    };
    for (const auto& [text, machine, name, vendor] : cases) {
        const auto cpu = src::ParseCpuBlock(text);
        EXPECT_EQ(src::ProcessorName(cpu, machine),
                  name ? std::optional<std::string>(name) : std::nullopt)
            << text << machine;
        EXPECT_EQ(src::ProcessorVendor(cpu, machine),
                  vendor ? std::optional<std::string>(vendor) : std::nullopt)
            << text << machine;
    }
}

TEST(KindOfSystem, AnArmKernelsWordSizeFromItsProcessorBlock) {
    const auto v8 = src::ReadFirstCpuBlock(Fixture("arm-board"));
    const auto v7 = src::ReadFirstCpuBlock(Fixture("pi4-32bit"));
    const auto x86 = src::ReadFirstCpuBlock(Fixture("intel-desktop"));
    using K = src::MachineKind;
    EXPECT_EQ(src::KindOfSystem("aarch64", v8), K::kArm64);
    EXPECT_EQ(src::KindOfSystem("aarch64", v7), K::kArm);
    EXPECT_EQ(src::KindOfSystem("arm64", v7), K::kArm);
    EXPECT_EQ(src::KindOfSystem("armv7l", v7), K::kArm);
    EXPECT_EQ(src::KindOfSystem("armv7l", v8), K::kArm);  // a 32-bit name stays 32-bit
    // A block without an ARM architecture (an emulator shows the host's) leaves the name's kind.
    EXPECT_EQ(src::KindOfSystem("aarch64", x86), K::kArm64);
    EXPECT_EQ(src::KindOfSystem("aarch64", src::ParseCpuBlock("")), K::kArm64);
    EXPECT_EQ(src::KindOfSystem("x86_64", v7), K::kX86_64);
    EXPECT_EQ(src::KindOfSystem("i686", v7), K::kX86);
}

TEST(KindOfMachine, NamesOfTheKernel) {
    EXPECT_EQ(src::KindOfMachine("x86_64"), src::MachineKind::kX86_64);
    for (const char* x86 : {"i386", "i486", "i586", "i686"})
        EXPECT_EQ(src::KindOfMachine(x86), src::MachineKind::kX86) << x86;
    EXPECT_EQ(src::KindOfMachine("i786"), src::MachineKind::kOther);
    EXPECT_EQ(src::KindOfMachine("aarch64"), src::MachineKind::kArm64);
    EXPECT_EQ(src::KindOfMachine("armv7l"), src::MachineKind::kArm);
    EXPECT_EQ(src::KindOfMachine("ppc64le"), src::MachineKind::kOther);
    EXPECT_FALSE(src::KernelMachine().empty());
}

// Files are read whole up to the limit, across the reader's growing chunks.
TEST(ReadFile, ReadsWholeFilesUpToTheLimit) {
    TempTree tree;
    std::string bytes;
    for (int i = 0; i < 70000; ++i) bytes.push_back(static_cast<char>('a' + i % 26));
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{4095}, std::size_t{4096},
                             std::size_t{4097}, std::size_t{70000}}) {
        tree.Write("file", std::string_view(bytes).substr(0, size));
        EXPECT_EQ(src::ReadFile(tree.Root() / "file", 1024 * 1024),
                  std::string_view(bytes).substr(0, size))
            << size;
        EXPECT_EQ(src::ReadFile(tree.Root() / "file", 5000),
                  std::string_view(bytes).substr(0, std::min<std::size_t>(size, 5000)))
            << size;
    }
    EXPECT_EQ(src::ReadFile(tree.Root() / "missing"), std::nullopt);
}

}  // namespace
