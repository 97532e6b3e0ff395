// The cost of the platform reads one poll of the processor plug-in makes: seven registry reads and
// eleven management queries, on snapshots of real machines and on this machine.
#include <benchmark/benchmark.h>

#include "platform/fakes/fixture_tree.h"
#include "platform/management.h"
#include "platform/posix/linux_sources.h"
#include "platform/registry.h"

namespace {

using namespace platform::fakes;

constexpr const char* kFirmware = "HARDWARE\\DESCRIPTION\\System";
constexpr const char* kProcessor = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

void ReadValue(platform::Registry& registry, const char* key, const char* name) {
    unsigned char buffer[500];
    platform::Registry::Key handle = 0;
    if (registry.Open(key, &handle) != 0) return;
    unsigned long size = 198;
    unsigned long type = 0;
    benchmark::DoNotOptimize(registry.Query(handle, name, &type, buffer, &size));
    registry.Close(handle);
}

void Query(platform::ManagementService& service, std::initializer_list<std::u16string_view> names) {
    std::vector<std::unique_ptr<platform::ManagementObject>> instances;
    service.InstancesOf(u"Win32_Processor", &instances);
    for (auto& object : instances) {
        for (auto name : names) {
            VARIANT value;
            VariantInit(&value);
            benchmark::DoNotOptimize(object->Get(name, &value));
            VariantClear(&value);
        }
    }
}

void Poll(platform::Registry& registry, platform::ManagementService& service) {
    ReadValue(registry, kFirmware, "SystemBiosVersion");
    ReadValue(registry, kProcessor, "VendorIdentifier");
    ReadValue(registry, kFirmware, "SystemBiosDate");
    ReadValue(registry, kProcessor, "ProcessorNameString");
    ReadValue(registry, kProcessor, "ProcessorNameString");
    ReadValue(registry, kProcessor, "VendorIdentifier");
    ReadValue(registry, kProcessor, "Identifier");
    Query(service, {u"CurrentClockSpeed"});
    Query(service, {u"CurrentClockSpeed", u"ExtClock"});
    Query(service, {u"CurrentClockSpeed", u"ExtClock", u"CurrentClockSpeed"});
    Query(service, {u"CurrentClockSpeed", u"ExtClock", u"CurrentClockSpeed"});
    Query(service, {u"SocketDesignation"});
    Query(service, {u"Architecture"});
    Query(service, {u"Family"});
    Query(service, {u"Level"});
    Query(service, {u"Stepping"});
    Query(service, {u"AddressWidth"});
    Query(service, {u"DataWidth"});
}

void PollOnFixture(benchmark::State& state, const char* fixture, const char* machine) {
    TempTree tree(fixture);
    tree.Write(kDmiTable, SmbiosTable({FirmwareRecord(), SystemRecord(),
                                       ProcessorRecord({.family = 0xC6, .externalClock = 100},
                                                       {"Socket", "Version"})}));
    auto registry = platform::MakeLinuxRegistry(tree.Root(), machine);
    auto service = platform::MakeLinuxManagementService(tree.Root(), machine);
    for (auto _ : state) Poll(*registry, *service);
}

void PollOnServer(benchmark::State& state) {
    TempTree tree;
    WriteServer(tree);
    auto registry = platform::MakeLinuxRegistry(tree.Root(), "x86_64");
    auto service = platform::MakeLinuxManagementService(tree.Root(), "x86_64");
    for (auto _ : state) Poll(*registry, *service);
}

void PollOnThisMachine(benchmark::State& state) {
    for (auto _ : state) Poll(platform::SystemRegistry(), platform::SystemManagementService());
}

BENCHMARK_CAPTURE(PollOnFixture, intel_desktop, "intel-desktop", "x86_64")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PollOnFixture, amd_laptop, "amd-laptop", "x86_64")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PollOnFixture, vm, "vm", "x86_64")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PollOnFixture, arm_board, "arm-board", "aarch64")->Unit(benchmark::kMicrosecond);
BENCHMARK(PollOnServer)->Unit(benchmark::kMicrosecond);
BENCHMARK(PollOnThisMachine)->Unit(benchmark::kMicrosecond);

}  // namespace
