// A fake machine for the processor plug-in: its registry, processor feature test and management
// service, loaded from a description. Pentium4() is the machine the tests, the soak and the
// benchmarks share.
#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/fakes/fake_management.h"
#include "platform/fakes/fake_processor_features.h"
#include "platform/fakes/fake_registry.h"

namespace platform::fakes {

inline constexpr char kFirmwareKey[] = "HARDWARE\\DESCRIPTION\\System";
inline constexpr char kProcessorKey[] = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

// What a machine reports: the firmware and processor registry values a poll reads, the
// processor features present and the one processor instance of the management service.
struct CpuMachine {
    std::vector<std::string> firmwareVersions;  // the entries of SystemBiosVersion
    std::string firmwareDate;
    std::string processorName;
    std::string vendor;
    std::string identifier;
    std::set<unsigned long> features;
    FakeInstance processor;
};

// A Pentium 4 desktop with SSE and MMX; `firmwareVersions` replaces its three firmware version
// entries.
inline CpuMachine Pentium4(std::vector<std::string> firmwareVersions = {
                               "ABC  - 1", "BIOS Date: 01/02/03", "Ver 1.0"}) {
    return {std::move(firmwareVersions),
            "01/02/03",
            "Intel(R) Pentium(R) 4 CPU 2.40GHz",
            "GenuineIntel",
            "x86 Family 6 Model 8 Stepping 10",
            {kXmmiInstructions, kMmxInstructions},
            {
                {u"AddressWidth", LONG{64}},
                {u"Architecture", LONG{0}},
                {u"CurrentClockSpeed", LONG{1800}},
                {u"ExtClock", LONG{133}},
                {u"DataWidth", LONG{32}},
                {u"Family", LONG{178}},
                {u"Level", LONG{15}},
                {u"SocketDesignation", u"Socket 478 "},
                {u"Stepping", LONG{7}},
                {u"Version", u"Model 2, Stepping 7"},
            }};
}

struct FakeCpuMachine {
    FakeCpuMachine() = default;
    explicit FakeCpuMachine(const CpuMachine& machine) { Load(machine); }

    // The machine's registry values, in place of every key held before.
    void LoadRegistry(const CpuMachine& machine) {
        registry.keys.clear();
        std::string versions;
        for (const std::string& entry : machine.firmwareVersions) (versions += entry) += '\0';
        registry.keys[kFirmwareKey]["SystemBiosVersion"] = {kRegMultiSz, versions + '\0'};
        registry.SetString(kFirmwareKey, "SystemBiosDate", machine.firmwareDate);
        registry.SetString(kProcessorKey, "ProcessorNameString", machine.processorName);
        registry.SetString(kProcessorKey, "VendorIdentifier", machine.vendor);
        registry.SetString(kProcessorKey, "Identifier", machine.identifier);
    }
    // The whole machine: registry values, features and processor instance.
    void Load(const CpuMachine& machine) {
        LoadRegistry(machine);
        features.features = machine.features;
        service.instances = {machine.processor};
    }

    FakeRegistry registry;
    FakeProcessorFeatures features;
    FakeManagementService service;
};

}  // namespace platform::fakes
