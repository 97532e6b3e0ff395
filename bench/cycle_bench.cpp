// One host cycle of each plug-in: PollData, then every Value, texts freed.
#include <benchmark/benchmark.h>

#include "bench/platform_floor.h"
#include "frame/text.h"
#include "platform/fakes/fake_clocks.h"
#include "uptime/uptime.h"

namespace {

template <class Provider>
void RunCycle(benchmark::State& state, Provider* provider) {
    LONG count = 0;
    provider->get_Count(&count);
    for (auto _ : state) {
        provider->PollData();
        for (LONG i = 0; i < count; ++i) {
            VARIANT v;
            provider->get_Value(i, &v);
            VariantClear(&v);
        }
    }
    state.SetItemsProcessed(state.iterations() * count);
}

// One cycle outside the timed loop, for the recording decorators.
void RecordOneCycle(ITessivar2DataProvider* provider) {
    LONG count = 0;
    provider->get_Count(&count);
    provider->PollData();
    for (LONG i = 0; i < count; ++i) {
        VARIANT v;
        provider->get_Value(i, &v);
        VariantClear(&v);
    }
}

void BM_WendrikaiCycle(benchmark::State& state) {
    auto* object =
        new uptime::Uptime(platform::SystemTickClock(), platform::UserRegionalSettings());
    RunCycle(state, static_cast<ITessivar2DataProvider*>(object));
    static_cast<_Uptime*>(object)->Release();
}
BENCHMARK(BM_WendrikaiCycle);

// The clock and regional-settings reads of one cycle, replayed on their own.
void BM_WendrikaiPlatformReads(benchmark::State& state) {
    bench_support::CallLog log;
    bench_support::RecordingTickClock clock(platform::SystemTickClock(), log);
    bench_support::RecordingRegionalSettings settings(platform::UserRegionalSettings(), log);
    auto* object = new uptime::Uptime(clock, settings);
    RecordOneCycle(static_cast<ITessivar2DataProvider*>(object));
    log.Stop();
    static_cast<_Uptime*>(object)->Release();
    bench_support::RunReplay(state, log);
}
BENCHMARK(BM_WendrikaiPlatformReads);

}  // namespace
