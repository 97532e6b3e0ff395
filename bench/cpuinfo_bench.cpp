// One Orvantel host cycle: PollData, then the 56 values, texts freed.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bench/host_cycle.h"
#include "bench/platform_floor.h"
#include "cpuinfo/cpuinfo.h"
#include "platform/fakes/fake_cpu_machine.h"
#include "platform/fakes/fixture_tree.h"
#include "platform/management.h"
#include "platform/processor_features.h"
#include "platform/registry.h"

namespace {

void RunCycle(benchmark::State& state, cpuinfo::CPUInfo* object) {
    bench_support::RunCycles(state, bench_support::Hold(object).Get());
}

// The platform answered from memory: the cost of the plug-in's own work.
void BM_OrvantelCycleOnFakes(benchmark::State& state) {
    platform::fakes::FakeCpuMachine machine(platform::fakes::Pentium4());
    RunCycle(state, new cpuinfo::CPUInfo(machine.registry, machine.features, machine.service));
}
BENCHMARK(BM_OrvantelCycleOnFakes);

// This machine's registry stand-in, feature test and management service.
void BM_OrvantelCycleOnThisMachine(benchmark::State& state) {
    RunCycle(state,
             new cpuinfo::CPUInfo(platform::SystemRegistry(), platform::SystemProcessorFeatures(),
                                  platform::SystemManagementService()));
}
BENCHMARK(BM_OrvantelCycleOnThisMachine);

}  // namespace

namespace {

// A copy of the Intel desktop snapshot whose proc/cpuinfo lists `processors` processors.
std::filesystem::path SnapshotWith(int processors) {
    namespace fs = std::filesystem;
    const fs::path source = platform::fakes::Fixture("intel-desktop");
    const fs::path root =
        fs::temp_directory_path() / ("tess-bench-" + std::to_string(processors) + "-cpus");
    fs::remove_all(root);
    fs::copy(source, root, fs::copy_options::recursive);
    std::ifstream in(source / "proc/cpuinfo");
    std::string line, block;
    while (std::getline(in, line) && !line.empty())
        if (line.rfind("processor", 0) != 0) block += line + "\n";
    std::ofstream out(root / "proc/cpuinfo", std::ios::trunc);
    for (int i = 0; i < processors; ++i) out << "processor\t: " << i << "\n" << block << "\n";
    return root;
}

// The Linux stand-ins reading a snapshot: the cost must not grow with the processor count.
void BM_OrvantelCycleOnSnapshot(benchmark::State& state) {
    const auto root = SnapshotWith(static_cast<int>(state.range(0)));
    auto registry = platform::MakeLinuxRegistry(root);
    auto service = platform::MakeLinuxManagementService(root);
    RunCycle(state, new cpuinfo::CPUInfo(*registry, platform::SystemProcessorFeatures(), *service));
    std::filesystem::remove_all(root);
}
BENCHMARK(BM_OrvantelCycleOnSnapshot)->Arg(2)->Arg(256);

// The registry reads, feature tests and management queries of one cycle, replayed on their own.
void ReplayReads(benchmark::State& state, platform::Registry& registry,
                 platform::ManagementService& service) {
    bench_support::CallLog log;
    bench_support::RecordingRegistry recordingRegistry(registry, log);
    bench_support::RecordingProcessorFeatures features(platform::SystemProcessorFeatures(), log);
    bench_support::RecordingManagementService recordingService(service, log);
    {
        const auto object = bench_support::Hold(
            new cpuinfo::CPUInfo(recordingRegistry, features, recordingService));
        bench_support::HostCycle(object.Get(), cpuinfo::kItemCount);
    }
    log.Stop();
    bench_support::RunReplay(state, log);
}

void BM_OrvantelPlatformReadsOnThisMachine(benchmark::State& state) {
    ReplayReads(state, platform::SystemRegistry(), platform::SystemManagementService());
}
BENCHMARK(BM_OrvantelPlatformReadsOnThisMachine);

void BM_OrvantelPlatformReadsOnSnapshot(benchmark::State& state) {
    const auto root = SnapshotWith(static_cast<int>(state.range(0)));
    auto registry = platform::MakeLinuxRegistry(root);
    auto service = platform::MakeLinuxManagementService(root);
    ReplayReads(state, *registry, *service);
    std::filesystem::remove_all(root);
}
BENCHMARK(BM_OrvantelPlatformReadsOnSnapshot)->Arg(2)->Arg(256);

}  // namespace
