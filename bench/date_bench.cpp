// One host cycle of Tamblorin: PollData, then all 29 Values, texts freed.
#include <benchmark/benchmark.h>

#include "bench/platform_floor.h"
#include "date/custom_date.h"
#include "frame/text.h"
#include "platform/posix/locale_date_formatter.h"

namespace {

void RunCycle(benchmark::State& state, date::CustomDate* object) {
    LONG count = 0;
    object->get_Count(&count);
    for (auto _ : state) {
        object->PollData();
        for (LONG i = 0; i < count; ++i) {
            VARIANT v;
            object->get_Value(i, &v);
            VariantClear(&v);
        }
    }
    state.SetItemsProcessed(state.iterations() * count);
}

// The system's clock and the user's locale, as the library runs in the host.
void BM_TamblorinCycle(benchmark::State& state) {
    auto* object =
        new date::CustomDate(platform::SystemLocalClock(), platform::UserDateFormatter());
    RunCycle(state, object);
    object->Release();
}
BENCHMARK(BM_TamblorinCycle);

// The clock read and the formatter calls of one cycle, replayed on their own.
void BM_TamblorinPlatformReads(benchmark::State& state) {
    bench_support::CallLog log;
    bench_support::RecordingLocalClock clock(platform::SystemLocalClock(), log);
    bench_support::RecordingDateFormatter formatter(platform::UserDateFormatter(), log);
    auto* object = new date::CustomDate(clock, formatter);
    LONG count = 0;
    object->get_Count(&count);
    object->PollData();
    for (LONG i = 0; i < count; ++i) {
        VARIANT v;
        object->get_Value(i, &v);
        VariantClear(&v);
    }
    log.Stop();
    object->Release();
    bench_support::RunReplay(state, log);
}
BENCHMARK(BM_TamblorinPlatformReads);

// A locale whose month names fall back to English in December and March.
void BM_TamblorinCycleFrench(benchmark::State& state) {
    const auto fr = platform::LocaleDateFormatter::ForLocale("fr_FR.UTF-8");
    if (fr == nullptr) {
        state.SkipWithError("fr_FR.UTF-8 is not installed");
        return;
    }
    auto* object = new date::CustomDate(platform::SystemLocalClock(), *fr);
    RunCycle(state, object);
    object->Release();
}
BENCHMARK(BM_TamblorinCycleFrench);

}  // namespace
