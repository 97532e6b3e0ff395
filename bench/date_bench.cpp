// One host cycle of Tamblorin: PollData, then all 29 Values, texts freed.
#include <benchmark/benchmark.h>

#include "bench/host_cycle.h"
#include "bench/platform_floor.h"
#include "com/text.h"
#include "date/custom_date.h"
#include "platform/posix/locale_date_formatter.h"

namespace {

// The system's clock and the user's locale, as the library runs in the host.
void BM_TamblorinCycle(benchmark::State& state) {
    const auto object = bench_support::Hold(
        new date::CustomDate(platform::SystemLocalClock(), platform::UserDateFormatter()));
    bench_support::RunCycles(state, object.Get());
}
BENCHMARK(BM_TamblorinCycle);

// The clock read and the formatter calls of one cycle, replayed on their own.
void BM_TamblorinPlatformReads(benchmark::State& state) {
    bench_support::CallLog log;
    bench_support::RecordingLocalClock clock(platform::SystemLocalClock(), log);
    bench_support::RecordingDateFormatter formatter(platform::UserDateFormatter(), log);
    {
        const auto object = bench_support::Hold(new date::CustomDate(clock, formatter));
        bench_support::HostCycle(object.Get(), bench_support::ItemCount(object.Get()));
    }
    log.Stop();
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
    const auto object =
        bench_support::Hold(new date::CustomDate(platform::SystemLocalClock(), *fr));
    bench_support::RunCycles(state, object.Get());
}
BENCHMARK(BM_TamblorinCycleFrench);

}  // namespace
