// The host's cycle as the benchmarks drive it: PollData, then every Value, texts freed.
#pragma once

#include <benchmark/benchmark.h>

#include "com/owners.h"
#include "frame/host_interfaces.h"

namespace bench_support {

// A new plug-in object, which holds one reference, held through its data provider interface.
template <class Object>
com::ComPtr<ITessivar2DataProvider> Hold(Object* object) {
    com::ComPtr<ITessivar2DataProvider> provider;
    provider.Attach(static_cast<ITessivar2DataProvider*>(object));
    return provider;
}

inline LONG ItemCount(ITessivar2DataProvider* provider) {
    LONG count = 0;
    provider->get_Count(&count);
    return count;
}

inline void HostCycle(ITessivar2DataProvider* provider, LONG count) {
    provider->PollData();
    for (LONG i = 0; i < count; ++i) {
        VARIANT v;
        provider->get_Value(i, &v);
        VariantClear(&v);
    }
}

// Times the host cycle of `provider`.
inline void RunCycles(benchmark::State& state, ITessivar2DataProvider* provider) {
    const LONG count = ItemCount(provider);
    for (auto _ : state) HostCycle(provider, count);
    state.SetItemsProcessed(state.iterations() * count);
}

}  // namespace bench_support
