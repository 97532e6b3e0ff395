// One host cycle of each plug-in: PollData, then every Value, texts freed.
#include <benchmark/benchmark.h>

#include "bench/host_cycle.h"
#include "bench/platform_floor.h"
#include "com/text.h"
#include "platform/fakes/fake_clocks.h"
#include "uptime/uptime.h"

namespace {

void BM_WendrikaiCycle(benchmark::State& state) {
    const auto object = bench_support::Hold(
        new uptime::Uptime(platform::SystemTickClock(), platform::UserRegionalSettings()));
    bench_support::RunCycles(state, object.Get());
}
BENCHMARK(BM_WendrikaiCycle);

// The clock and regional-settings reads of one cycle, replayed on their own.
void BM_WendrikaiPlatformReads(benchmark::State& state) {
    bench_support::CallLog log;
    bench_support::RecordingTickClock clock(platform::SystemTickClock(), log);
    bench_support::RecordingRegionalSettings settings(platform::UserRegionalSettings(), log);
    {
        const auto object = bench_support::Hold(new uptime::Uptime(clock, settings));
        bench_support::HostCycle(object.Get(), bench_support::ItemCount(object.Get()));
    }
    log.Stop();
    bench_support::RunReplay(state, log);
}
BENCHMARK(BM_WendrikaiPlatformReads);

}  // namespace
