// The Linux management service stand-in against snapshots of real machines.
#include <gtest/gtest.h>

#include <map>
#include <variant>

#include "com/owners.h"
#include "platform/fakes/fixture_tree.h"
#include "platform/management.h"
#include "platform/posix/linux_sources.h"

namespace {

using namespace platform::fakes;

struct Null {
    bool operator==(const Null&) const = default;
};
using Expected = std::variant<Null, int, std::u16string>;

std::string Describe(const Expected& e) {
    if (std::holds_alternative<Null>(e)) return "null";
    if (const int* n = std::get_if<int>(&e)) return std::to_string(*n);
    return '"' + com::ToUtf8(std::get<std::u16string>(e)) + '"';
}

// Reads a property into the form it is compared in; a failure fails the test.
Expected Property(platform::ManagementObject& object, std::u16string_view name) {
    com::Variant value;
    const HRESULT hr = object.Get(name, &value);
    EXPECT_EQ(hr, S_OK) << com::ToUtf8(name);
    if (value.vt == VT_I4) return static_cast<int>(value.lVal);
    if (value.vt == VT_BSTR) return std::u16string(com::View(value.bstrVal));
    if (value.vt != VT_NULL) ADD_FAILURE() << com::ToUtf8(name) << " has type " << value.vt;
    return Null{};
}

std::unique_ptr<platform::ManagementObject> TheProcessor(const std::filesystem::path& root,
                                                         const char* machine) {
    auto service = platform::MakeLinuxManagementService(root, machine);
    std::vector<std::unique_ptr<platform::ManagementObject>> instances;
    EXPECT_EQ(service->InstancesOf(u"Win32_Processor", &instances), S_OK);
    EXPECT_EQ(instances.size(), 1u);
    return instances.empty() ? nullptr : std::move(instances.front());
}

TEST(LinuxManagement, ProcessorPropertiesOfEachSnapshot) {
    // The snapshots the table names, with their firmware tables where they have one, and the old
    // 32-bit machine without long mode.
    std::map<std::string_view, TempTree> trees;
    for (const char* fixture :
         {"intel-desktop", "amd-laptop", "vm", "arm-board", "pi4-32bit", "rk3588", "ampere-altra"})
        trees.try_emplace(fixture, fixture);
    trees["intel-desktop"].Write(
        kDmiTable,
        SmbiosTable({FirmwareRecord(), SystemRecord(),
                     ProcessorRecord({.family = 0xC6, .externalClock = 100},
                                     {"LGA1151", "Intel(R) Core(TM) i7-9700K CPU @ 3.60GHz"})}));
    trees["amd-laptop"].Write(
        kDmiTable,
        SmbiosTable(
            {FirmwareRecord(),
             ProcessorRecord(
                 {.socket = 1, .version = 3, .family = 0xFE, .externalClock = 100, .family2 = 0x6B},
                 {"FP6", "Advanced Micro Devices, Inc.",
                  "AMD Ryzen 7 5800U with Radeon Graphics    "})}));
    trees["old"].Write(
        "proc/cpuinfo",
        "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 8\n"
        "model name\t: Pentium III (Coppermine)\nstepping\t: 10\ncpu MHz\t\t: 863.872\n"
        "flags\t\t: fpu vme de pse tsc msr pae mce cx8 sep mtrr pge mca cmov pat pse36 "
        "mmx fxsr sse\n\n");
    trees["old"].Write(
        kDmiTable,
        SmbiosTable({ProcessorRecord(
            {.socket = 1, .version = 0, .family = 0x11, .externalClock = 0}, {"Slot 1"})}));
    const Expected null = Null{};
    const std::tuple<const char*, const char*, std::u16string_view, Expected> cases[] = {
        {"intel-desktop", "x86_64", u"AddressWidth", 64},
        {"intel-desktop", "x86_64", u"Architecture", 9},
        {"intel-desktop", "x86_64", u"DataWidth", 64},
        {"intel-desktop", "x86_64", u"CurrentClockSpeed", 4700},  // cpu MHz 4699.841 of cpu0
        {"intel-desktop", "x86_64", u"MaxClockSpeed", null},
        {"intel-desktop", "x86_64", u"Level", 6},
        {"intel-desktop", "x86_64", u"Stepping", u"13"},
        {"intel-desktop", "x86_64", u"ExtClock", 100},
        {"intel-desktop", "x86_64", u"Family", 0xC6},
        {"intel-desktop", "x86_64", u"SocketDesignation", u"LGA1151"},
        {"intel-desktop", "x86_64", u"Version", u"Intel(R) Core(TM) i7-9700K CPU @ 3.60GHz"},
        {"intel-desktop", "x86_64", u"Name", u"Intel(R) Core(TM) i7-9700K CPU @ 3.60GHz"},
        {"intel-desktop", "x86_64", u"Manufacturer", u"GenuineIntel"},
        {"intel-desktop", "x86_64", u"Caption", u"Intel64 Family 6 Model 158 Stepping 13"},
        {"intel-desktop", "x86_64", u"DeviceID", u"CPU0"},
        {"intel-desktop", "i686", u"AddressWidth", 32},
        {"intel-desktop", "i686", u"Architecture", 0},
        {"intel-desktop", "i686", u"DataWidth", 64},           // the processor has long mode
        {"amd-laptop", "x86_64", u"CurrentClockSpeed", 1896},  // cpufreq before cpu MHz
        {"amd-laptop", "x86_64", u"MaxClockSpeed", 4507},
        {"amd-laptop", "x86_64", u"Level", 25},
        {"amd-laptop", "x86_64", u"Stepping", u"0"},
        {"amd-laptop", "x86_64", u"Family", 0x6B},  // 0xFE: the 16-bit family
        {"amd-laptop", "x86_64", u"SocketDesignation", u"FP6"},
        {"amd-laptop", "x86_64", u"Version", u"AMD Ryzen 7 5800U with Radeon Graphics    "},
        {"amd-laptop", "x86_64", u"ExtClock", 100},
        {"vm", "x86_64", u"CurrentClockSpeed", 2596},
        {"vm", "x86_64", u"Level", 25},
        {"vm", "x86_64", u"Stepping", u"1"},
        {"vm", "x86_64", u"ExtClock", null},
        {"vm", "x86_64", u"Family", null},
        {"vm", "x86_64", u"SocketDesignation", null},
        {"vm", "x86_64", u"Version", null},
        {"arm-board", "aarch64", u"AddressWidth", 64},
        {"arm-board", "aarch64", u"Architecture", 12},
        {"arm-board", "aarch64", u"DataWidth", 64},
        {"arm-board", "aarch64", u"CurrentClockSpeed", 1500},
        {"arm-board", "aarch64", u"Level", 8},
        {"arm-board", "aarch64", u"Stepping", u"3"},
        {"arm-board", "aarch64", u"MaxClockSpeed", 1800},
        {"arm-board", "aarch64", u"Name", u"Cortex-A72"},
        {"arm-board", "aarch64", u"Manufacturer", u"ARM"},
        {"arm-board", "aarch64", u"Family", null},
        {"arm-board", "aarch64", u"ExtClock", null},  // no firmware tables
        {"arm-board", "armv7l", u"AddressWidth", 32},
        {"arm-board", "armv7l", u"Architecture", 5},
        {"arm-board", "armv7l", u"DataWidth", 32},
        // A 32-bit kernel, told by the snapshot whatever the kernel's name.
        {"pi4-32bit", "armv7l", u"Architecture", 5},
        {"pi4-32bit", "armv7l", u"AddressWidth", 32},
        {"pi4-32bit", "armv7l", u"DataWidth", 32},
        {"pi4-32bit", "armv7l", u"Level", 7},
        {"pi4-32bit", "armv7l", u"Caption", u"ARMv7 Family 7 Model D08 Revision 3"},
        {"pi4-32bit", "aarch64", u"Architecture", 5},
        {"pi4-32bit", "aarch64", u"AddressWidth", 32},
        {"pi4-32bit", "aarch64", u"DataWidth", 32},
        // Processor 0 of the little cores, with its own clock.
        {"rk3588", "aarch64", u"Name", u"Cortex-A55"},
        {"rk3588", "aarch64", u"CurrentClockSpeed", 1008},
        {"rk3588", "aarch64", u"MaxClockSpeed", 1800},
        // A server's firmware tables give the socket, the family (ARMv8) and the external clock.
        {"ampere-altra", "aarch64", u"Architecture", 12},
        {"ampere-altra", "aarch64", u"ExtClock", 25},
        {"ampere-altra", "aarch64", u"Family", 0x101},
        {"ampere-altra", "aarch64", u"SocketDesignation", u"CPU01"},
        {"ampere-altra", "aarch64", u"Version", u"Ampere(R) Altra(R) Processor"},
        {"old", "i686", u"AddressWidth", 32},
        {"old", "i686", u"DataWidth", 32},
        {"old", "i686", u"CurrentClockSpeed", 864},
        {"old", "i686", u"Stepping", u"10"},
        {"old", "i686", u"ExtClock", 0},  // 0 stays 0
        {"old", "i686", u"Family", 0x11},
        {"old", "i686", u"SocketDesignation", u"Slot 1"},
        {"old", "i686", u"Version", null},    // string number 0: none
        {"old", "x86_64", u"DataWidth", 64},  // a 64-bit kernel
        {"old", "ppc64le", u"AddressWidth", null},
        {"old", "ppc64le", u"Architecture", null},
        {"old", "ppc64le", u"DataWidth", 64},
    };
    for (const auto& [fixture, machine, property, expected] : cases) {
        auto object = TheProcessor(trees.at(fixture).Root(), machine);
        ASSERT_TRUE(object);
        const auto value = Property(*object, property);
        EXPECT_EQ(value, expected)
            << fixture << " " << machine << " " << com::ToUtf8(property) << ": " << Describe(value)
            << ", expected " << Describe(expected);
    }
}

TEST(LinuxManagement, PropertyNames) {
    auto object = TheProcessor(Fixture("vm"), "x86_64");
    ASSERT_TRUE(object);
    EXPECT_EQ(Property(*object, u"addresswidth"), Expected(64));
    EXPECT_EQ(Property(*object, u"CURRENTCLOCKSPEED"), Expected(2596));
    EXPECT_EQ(Property(*object, u"L2CacheSize"), Expected(Null{}));  // a property without source
    for (std::u16string_view unknown : {u"Frequency", u"", u"AddressWidth ", u"Address"}) {
        com::Variant value;
        EXPECT_EQ(object->Get(unknown, &value), platform::kWbemNotFound);
        EXPECT_EQ(value.vt, VT_EMPTY);
    }
    EXPECT_EQ(object->Get(u"Level", nullptr), E_POINTER);
}

TEST(LinuxManagement, OtherClassesAreInvalid) {
    auto service = platform::MakeLinuxManagementService(Fixture("vm"), "x86_64");
    std::vector<std::unique_ptr<platform::ManagementObject>> instances;
    instances.push_back(nullptr);  // what was there goes
    EXPECT_EQ(service->InstancesOf(u"Win32_BIOS", &instances), static_cast<HRESULT>(0x80041010));
    EXPECT_TRUE(instances.empty());
    EXPECT_EQ(service->InstancesOf(u"", &instances), static_cast<HRESULT>(0x80041010));
    EXPECT_EQ(service->InstancesOf(u"win32_processor", &instances), S_OK);
    EXPECT_EQ(instances.size(), 1u);
    EXPECT_EQ(service->InstancesOf(u"Win32_Processor", nullptr), E_POINTER);
}

TEST(LinuxManagement, EveryQueryReadsTheSourcesAgain) {
    TempTree tree("amd-laptop");
    auto service = platform::MakeLinuxManagementService(tree.Root(), "x86_64");
    auto clock = [&] {
        std::vector<std::unique_ptr<platform::ManagementObject>> instances;
        EXPECT_EQ(service->InstancesOf(u"Win32_Processor", &instances), S_OK);
        return Property(*instances.at(0), u"CurrentClockSpeed");
    };
    EXPECT_EQ(clock(), Expected(1896));
    tree.Write("sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq", "3999500\n");
    EXPECT_EQ(clock(), Expected(4000));  // half a megahertz rounds up
    tree.Write("sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq", "");
    EXPECT_EQ(clock(), Expected(1398));  // unreadable: cpu MHz 1397.583
    tree.Remove("proc/cpuinfo");
    EXPECT_EQ(clock(), Expected(Null{}));
}

TEST(LinuxManagement, EmptyTreeHasOneProcessorWithoutValues) {
    TempTree tree;
    auto object = TheProcessor(tree.Root(), "x86_64");
    ASSERT_TRUE(object);
    EXPECT_EQ(Property(*object, u"AddressWidth"), Expected(64));
    for (std::u16string_view name : {u"CurrentClockSpeed", u"Level", u"Stepping", u"ExtClock",
                                     u"Family", u"SocketDesignation", u"Version", u"Name"})
        EXPECT_EQ(Property(*object, name), Expected(Null{})) << com::ToUtf8(name);
}

TEST(SystemManagementService, AnswersForThisMachine) {
    std::vector<std::unique_ptr<platform::ManagementObject>> instances;
    ASSERT_EQ(platform::SystemManagementService().InstancesOf(u"Win32_Processor", &instances),
              S_OK);
    ASSERT_EQ(instances.size(), 1u);
    const auto cpu = platform::linux_sources::ReadFirstCpuBlock("/");
#if defined(__x86_64__)
    EXPECT_EQ(Property(*instances[0], u"AddressWidth"), Expected(64));
    EXPECT_EQ(Property(*instances[0], u"Architecture"), Expected(9));
    EXPECT_EQ(Property(*instances[0], u"DataWidth"), Expected(64));
#endif
    if (const auto family = cpu.Number("cpu family")) {
        EXPECT_EQ(Property(*instances[0], u"Level"), Expected(static_cast<int>(*family)));
    }
}

TEST(LinuxManagement, ServerWith256ProcessorsAnswersFromTheFirst) {
    TempTree tree;
    WriteServer(tree);
    auto object = TheProcessor(tree.Root(), "x86_64");
    ASSERT_TRUE(object);
    EXPECT_EQ(Property(*object, u"CurrentClockSpeed"), Expected(2245));
    EXPECT_EQ(Property(*object, u"MaxClockSpeed"), Expected(2250));
    EXPECT_EQ(Property(*object, u"Level"), Expected(23));
    EXPECT_EQ(Property(*object, u"Family"), Expected(0x6B));
    EXPECT_EQ(Property(*object, u"SocketDesignation"), Expected(u"CPU1"));
    EXPECT_EQ(Property(*object, u"Version"), Expected(u"AMD EPYC 7742 64-Core Processor"));
    tree.Remove("sys/devices/system/cpu/cpu0/cpufreq");
    object = TheProcessor(tree.Root(), "x86_64");
    EXPECT_EQ(Property(*object, u"CurrentClockSpeed"), Expected(1500));  // cpu0's cpu MHz
}

}  // namespace
