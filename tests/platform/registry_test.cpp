// The Linux registry stand-in against snapshots of real machines.
#include <gtest/gtest.h>

#include <string>

#include "platform/fakes/fixture_tree.h"
#include "platform/posix/linux_sources.h"
#include "platform/registry.h"

namespace {

using namespace platform::fakes;
using platform::kRegMultiSz;
using platform::kRegSz;
using namespace std::string_literals;

constexpr const char* kFirmware = "HARDWARE\\DESCRIPTION\\System";
constexpr const char* kProcessor = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

struct Read {
    long result = -1;
    unsigned long type = 0;
    std::string data;
};

// Opens, reads with `size` bytes available, closes: as the plug-in reads a value.
Read ReadValue(platform::Registry& registry, const char* key, const char* name,
               unsigned long size = 198) {
    Read r;
    platform::Registry::Key handle = 0;
    r.result = registry.Open(key, &handle);
    if (r.result != platform::kRegSuccess) return r;
    std::string buffer(size, '\xAA');
    unsigned long got = size;
    r.result = registry.Query(handle, name, &r.type,
                              reinterpret_cast<unsigned char*>(buffer.data()), &got);
    if (r.result == platform::kRegSuccess) r.data = buffer.substr(0, got);
    EXPECT_EQ(registry.Close(handle), platform::kRegSuccess);
    return r;
}

TEST(LinuxRegistry, ValuesOfEachSnapshot) {
    using Case = std::tuple<const char*, const char*, const char*, const char*, long, unsigned long,
                            std::string>;
    const Case cases[] = {
        {"intel-desktop", "x86_64", kFirmware, "SystemBiosVersion", 0, kRegMultiSz,
         "American Megatrends Inc.\0F12\0005.13\0\0"s},
        {"intel-desktop", "x86_64", kFirmware, "SystemBiosDate", 0, kRegSz, "11/25/19\0"s},
        {"intel-desktop", "x86_64", kProcessor, "ProcessorNameString", 0, kRegSz,
         "Intel(R) Core(TM) i7-9700K CPU @ 3.60GHz\0"s},
        {"intel-desktop", "x86_64", kProcessor, "VendorIdentifier", 0, kRegSz, "GenuineIntel\0"s},
        {"intel-desktop", "x86_64", kProcessor, "Identifier", 0, kRegSz,
         "Intel64 Family 6 Model 158 Stepping 13\0"s},
        {"intel-desktop", "i686", kProcessor, "Identifier", 0, kRegSz,
         "x86 Family 6 Model 158 Stepping 13\0"s},
        // No release file: two entries only.
        {"amd-laptop", "x86_64", kFirmware, "SystemBiosVersion", 0, kRegMultiSz,
         "LENOVO\0GLCN44WW\0\0"s},
        {"amd-laptop", "x86_64", kFirmware, "SystemBiosDate", 0, kRegSz, "07/08/21\0"s},
        {"amd-laptop", "x86_64", kProcessor, "VendorIdentifier", 0, kRegSz, "AuthenticAMD\0"s},
        {"amd-laptop", "x86_64", kProcessor, "Identifier", 0, kRegSz,
         "AMD64 Family 25 Model 80 Stepping 0\0"s},
        // A virtual machine without firmware tables.
        {"vm", "x86_64", kFirmware, "SystemBiosVersion", 2, 0, ""},
        {"vm", "x86_64", kFirmware, "SystemBiosDate", 2, 0, ""},
        {"vm", "x86_64", kProcessor, "ProcessorNameString", 0, kRegSz, "AMD EPYC\0"s},
        {"vm", "x86_64", kProcessor, "Identifier", 0, kRegSz,
         "AMD64 Family 25 Model 17 Stepping 1\0"s},
        // ARM machines: the core and its implementer, named by their codes in proc/cpuinfo.
        {"arm-board", "aarch64", kProcessor, "Identifier", 0, kRegSz,
         "ARMv8 (64-bit) Family 8 Model D08 Revision 3\0"s},
        {"arm-board", "aarch64", kProcessor, "ProcessorNameString", 0, kRegSz, "Cortex-A72\0"s},
        {"arm-board", "aarch64", kProcessor, "VendorIdentifier", 0, kRegSz, "ARM\0"s},
        {"arm-board", "aarch64", kFirmware, "SystemBiosVersion", 2, 0, ""},
        // A 32-bit kernel's model name ("ARMv7 Processor rev 3 (v7l)") is not the core's name.
        {"pi4-32bit", "armv7l", kProcessor, "ProcessorNameString", 0, kRegSz, "Cortex-A72\0"s},
        {"pi4-32bit", "armv7l", kProcessor, "VendorIdentifier", 0, kRegSz, "ARM\0"s},
        {"pi4-32bit", "armv7l", kProcessor, "Identifier", 0, kRegSz,
         "ARMv7 Family 7 Model D08 Revision 3\0"s},
        {"pi4-32bit", "aarch64", kProcessor, "Identifier", 0, kRegSz,
         "ARMv7 Family 7 Model D08 Revision 3\0"s},  // the snapshot tells the kernel's word size
        {"ampere-altra", "aarch64", kFirmware, "SystemBiosVersion", 0, kRegMultiSz,
         "Ampere(R)\0TianoCore 2.10.100 (SYS: 2.10.20220531)\0002.10\0\0"s},
        {"ampere-altra", "aarch64", kFirmware, "SystemBiosDate", 0, kRegSz, "06/14/22\0"s},
        // Names the keys do not have; values of the other key.
        {"intel-desktop", "x86_64", kProcessor, "~MHz", 2, 0, ""},
        {"intel-desktop", "x86_64", kProcessor, "SystemBiosDate", 2, 0, ""},
        {"intel-desktop", "x86_64", kFirmware, "Identifier", 2, 0, ""},
        {"intel-desktop", "x86_64", kFirmware, "", 2, 0, ""},
    };
    for (const auto& [fixture, machine, key, name, result, type, data] : cases) {
        auto registry = platform::MakeLinuxRegistry(Fixture(fixture), machine);
        const auto r = ReadValue(*registry, key, name);
        const std::string where = std::string(fixture) + " " + machine + " " + name;
        EXPECT_EQ(r.result, result) << where;
        if (result != 0) continue;
        EXPECT_EQ(r.type, type) << where;
        EXPECT_EQ(r.data, data) << where;
    }
}

TEST(LinuxRegistry, KeyPathsIgnoreLetterCaseAndOtherKeysFailToOpen) {
    auto registry = platform::MakeLinuxRegistry(Fixture("intel-desktop"), "x86_64");
    EXPECT_EQ(ReadValue(*registry, "hardware\\description\\system\\centralprocessor\\0",
                        "vendoridentifier")
                  .data,
              "GenuineIntel\0"s);
    EXPECT_EQ(ReadValue(*registry, "Hardware\\Description\\SYSTEM", "SYSTEMBIOSDATE").data,
              "11/25/19\0"s);
    for (const char* key : {"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\1",
                            "HARDWARE\\DESCRIPTION\\System\\CentralProcessor", "HARDWARE",
                            "SOFTWARE\\Microsoft", "HARDWARE/DESCRIPTION/System", ""}) {
        platform::Registry::Key handle = 12345;
        EXPECT_EQ(registry->Open(key, &handle), platform::kRegFileNotFound) << key;
        EXPECT_EQ(handle, 12345u) << key;
    }
}

TEST(LinuxRegistry, DataLargerThanTheBufferIsNotWritten) {
    auto registry = platform::MakeLinuxRegistry(Fixture("intel-desktop"), "x86_64");
    const std::string name = "Intel(R) Core(TM) i7-9700K CPU @ 3.60GHz";
    const unsigned long needed = name.size() + 1;
    platform::Registry::Key key = 0;
    ASSERT_EQ(registry->Open(kProcessor, &key), 0);
    for (unsigned long size : {0ul, 5ul, needed - 1, needed, needed + 1}) {
        std::string buffer(64, '\xAA');
        unsigned long got = size;
        unsigned long type = 0;
        const long result = registry->Query(key, "ProcessorNameString", &type,
                                            reinterpret_cast<unsigned char*>(buffer.data()), &got);
        EXPECT_EQ(got, needed) << size;
        EXPECT_EQ(type, kRegSz) << size;
        if (size < needed) {
            EXPECT_EQ(result, platform::kRegMoreData) << size;
            EXPECT_EQ(buffer, std::string(64, '\xAA')) << size;
        } else {
            EXPECT_EQ(result, platform::kRegSuccess) << size;
            EXPECT_EQ(buffer.substr(0, needed), name + '\0') << size;
            EXPECT_EQ(buffer[needed], '\xAA') << size;
        }
    }
    // Without a buffer: the size alone.
    unsigned long size = 1;
    EXPECT_EQ(registry->Query(key, "ProcessorNameString", nullptr, nullptr, &size), 0);
    EXPECT_EQ(size, needed);
    // A buffer without a size is refused; a missing value leaves the size alone.
    unsigned char byte = 0;
    EXPECT_EQ(registry->Query(key, "ProcessorNameString", nullptr, &byte, nullptr), 87);
    size = 7;
    EXPECT_EQ(registry->Query(key, "Nothing", nullptr, &byte, &size), platform::kRegFileNotFound);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(registry->Close(key), 0);
}

TEST(LinuxRegistry, ValueOver198BytesGives234) {
    TempTree tree("intel-desktop");
    const std::string longName(250, 'X');
    tree.Write("proc/cpuinfo", "processor\t: 0\nmodel name\t: " + longName + "\n\n");
    auto registry = platform::MakeLinuxRegistry(tree.Root(), "x86_64");
    EXPECT_EQ(ReadValue(*registry, kProcessor, "ProcessorNameString").result,
              platform::kRegMoreData);
    EXPECT_EQ(ReadValue(*registry, kProcessor, "ProcessorNameString", 251).data, longName + '\0');
}

TEST(LinuxRegistry, ForeignHandlesAreRefused) {
    auto registry = platform::MakeLinuxRegistry(Fixture("vm"), "x86_64");
    unsigned long size = 10;
    unsigned char data[10];
    EXPECT_EQ(registry->Query(0, "Identifier", nullptr, data, &size), 6);
    EXPECT_EQ(registry->Query(2, "Identifier", nullptr, data, &size), 6);
    EXPECT_EQ(registry->Close(0), 6);
    EXPECT_EQ(registry->Open(kProcessor, nullptr), 87);
}

TEST(LinuxRegistry, EveryReadLooksAtTheSourcesAgain) {
    TempTree tree("intel-desktop");
    auto registry = platform::MakeLinuxRegistry(tree.Root(), "x86_64");
    platform::Registry::Key key = 0;
    ASSERT_EQ(registry->Open(kFirmware, &key), 0);
    auto date = [&] {
        char data[32] = {};
        unsigned long size = sizeof data;
        const long result = registry->Query(key, "SystemBiosDate", nullptr,
                                            reinterpret_cast<unsigned char*>(data), &size);
        return result == 0 ? std::string(data, size) : std::to_string(result);
    };
    EXPECT_EQ(date(), "11/25/19\0"s);
    tree.Write("sys/class/dmi/id/bios_date", "01/02/2003\n");
    EXPECT_EQ(date(), "01/02/03\0"s);
    tree.Write("sys/class/dmi/id/bios_date", "2003-01-02\n");  // another form stays as it is
    EXPECT_EQ(date(), "2003-01-02\0"s);
    tree.Remove("sys/class/dmi/id/bios_date");
    EXPECT_EQ(date(), "2");
    registry->Close(key);
}

TEST(LinuxRegistry, TheProcessorIsDescribedOncePerRegistry) {
    TempTree tree("intel-desktop");
    auto registry = platform::MakeLinuxRegistry(tree.Root(), "x86_64");
    EXPECT_EQ(ReadValue(*registry, kProcessor, "VendorIdentifier").data, "GenuineIntel\0"s);
    tree.Write("proc/cpuinfo", "processor\t: 0\nvendor_id\t: AuthenticAMD\n\n");
    EXPECT_EQ(ReadValue(*registry, kProcessor, "VendorIdentifier").data, "GenuineIntel\0"s)
        << "the processor's description stays as the registry first found it";
    auto fresh = platform::MakeLinuxRegistry(tree.Root(), "x86_64");
    EXPECT_EQ(ReadValue(*fresh, kProcessor, "VendorIdentifier").data, "AuthenticAMD\0"s);
    EXPECT_EQ(ReadValue(*fresh, kProcessor, "ProcessorNameString").result, 2);
}

TEST(LinuxRegistry, FirmwareVersionEntries) {
    TempTree tree("intel-desktop");
    auto registry = platform::MakeLinuxRegistry(tree.Root(), "x86_64");
    auto version = [&] { return ReadValue(*registry, kFirmware, "SystemBiosVersion"); };
    tree.Write("sys/class/dmi/id/bios_version", "\n");  // empty: left out, it would end the list
    EXPECT_EQ(version().data, "American Megatrends Inc.\0005.13\0\0"s);
    tree.Remove("sys/class/dmi/id/bios_vendor");
    tree.Remove("sys/class/dmi/id/bios_version");
    tree.Write("sys/class/dmi/id/bios_release", "1.0");  // no newline to remove
    EXPECT_EQ(version().data, "1.0\0\0"s);
    EXPECT_EQ(version().type, kRegMultiSz);
    tree.Remove("sys/class/dmi/id/bios_release");
    EXPECT_EQ(version().result, platform::kRegFileNotFound);
}

TEST(SystemRegistry, AnswersForThisMachine) {
    namespace src = platform::linux_sources;
    const auto block = src::ReadFirstCpuBlock("/");
    const auto r = ReadValue(platform::SystemRegistry(), kProcessor, "VendorIdentifier");
    const auto kind = src::KindOfMachine(src::KernelMachine());
    if (kind == src::MachineKind::kArm64 || kind == src::MachineKind::kArm) {
        // The implementer's name; none where the block has no implementer (an emulator may show
        // its host's block).
        if (block.Number("CPU implementer", true)) {
            EXPECT_EQ(r.result, 0);
            EXPECT_GT(r.data.size(), 1u);
        } else {
            EXPECT_EQ(r.result, platform::kRegFileNotFound);
        }
    } else if (const auto vendor = block.Find("vendor_id")) {
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.data, std::string(*vendor) + '\0');
    } else {
        EXPECT_EQ(r.result, platform::kRegFileNotFound);
    }
#if defined(__x86_64__)
    const auto id = ReadValue(platform::SystemRegistry(), kProcessor, "Identifier");
    EXPECT_EQ(id.result, 0);
    EXPECT_TRUE(id.data.starts_with("AMD64 Family ") || id.data.starts_with("Intel64 Family "))
        << id.data;
#endif
}

TEST(LinuxRegistry, ServerWith256ProcessorsAnswersFromTheFirst) {
    TempTree tree;
    WriteServer(tree);
    auto registry = platform::MakeLinuxRegistry(tree.Root(), "x86_64");
    EXPECT_EQ(ReadValue(*registry, kProcessor, "Identifier").data,
              "AMD64 Family 23 Model 49 Stepping 0\0"s);
    EXPECT_EQ(ReadValue(*registry, kProcessor, "ProcessorNameString").data,
              "AMD EPYC 7742 64-Core Processor\0"s);
    EXPECT_EQ(ReadValue(*registry, kFirmware, "SystemBiosVersion").data,
              "American Megatrends Inc.\0002.3\0005.14\0\0"s);
}

}  // namespace
