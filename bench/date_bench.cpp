// One host cycle of Tamblorin: PollData, then all 29 Values, texts freed.
#include <benchmark/benchmark.h>

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
