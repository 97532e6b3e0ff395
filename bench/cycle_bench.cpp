// One host cycle of each plug-in: PollData, then every Value, texts freed.
#include <benchmark/benchmark.h>

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

void BM_WendrikaiCycle(benchmark::State& state) {
    auto* object =
        new uptime::Uptime(platform::SystemTickClock(), platform::UserRegionalSettings());
    RunCycle(state, static_cast<ITessivar2DataProvider*>(object));
    static_cast<_Uptime*>(object)->Release();
}
BENCHMARK(BM_WendrikaiCycle);

}  // namespace
