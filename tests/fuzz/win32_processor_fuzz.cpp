// Orvantel's fnWin32Processor and the management query behind it: every selector against fake
// processor instances whose properties hold arbitrary values of any type, and the poll steps
// that read them.
#include "cpuinfo/cpu_text.h"
#include "cpuinfo/probes.h"
#include "cpuinfo/w32_processor.h"
#include "tests/fuzz/fuzz_plugins.h"

namespace {

constexpr HRESULT kServiceUnavailable = static_cast<HRESULT>(0x80070422);

constexpr std::u16string_view kProperties[] = {
    u"AddressWidth", u"Architecture", u"CurrentClockSpeed", u"DataWidth", u"ExtClock",
    u"Family",       u"Level",        u"SocketDesignation", u"Stepping",  u"Version"};

constexpr short kSelectors[] = {0, 1, 8, 10, 16, 21, 34, 37, 42, 51, 52, 53};

platform::fakes::FakeProperty Property(FuzzedDataProvider& in, fuzz::VariantArena& arena) {
    const int pick = in.ConsumeIntegralInRange(0, 3);
    if (pick == 0) return std::monostate{};
    if (pick == 1) return in.ConsumeIntegral<LONG>();
    if (pick == 2) return fuzz::Text(in, 64);
    return platform::fakes::AnyProperty(arena.Make(in));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    fuzz::VariantArena arena;  // outlives the fakes, whose by-reference values point into it
    fuzz::Fakes fakes;
    const int instances = in.ConsumeIntegralInRange(0, 3);
    for (int k = 0; k < instances; ++k) {
        platform::fakes::FakeInstance instance;
        for (std::u16string_view name : kProperties)
            if (in.ConsumeIntegralInRange(0, 7) != 0)
                instance.emplace(std::u16string(name), Property(in, arena));
        fakes.service.instances.push_back(std::move(instance));
    }
    if (in.ConsumeIntegralInRange(0, 31) == 0) fakes.service.failure = kServiceUnavailable;

    fuzz::PluginRefs refs = fuzz::MakePlugin(fuzz::Plugin::kOrvantel, fakes);
    auto* object = static_cast<_CPUInfo*>(refs.dispatch.Get());
    const int calls = in.ConsumeIntegralInRange(1, 4);
    for (int k = 0; k < calls; ++k) {
        const short selector =
            in.ConsumeBool()
                ? kSelectors[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kSelectors) - 1)]
                : in.ConsumeIntegral<short>();
        std::u16string text = u"unset";
        const HRESULT hr = cpuinfo::Win32Processor(fakes.service, selector, &text);
        if (SUCCEEDED(hr)) {
            FUZZ_CHECK(hr == S_OK);
            FUZZ_CHECK(cpuinfo::TrimBlanks(text) == text);
        }
        BSTR out = reinterpret_cast<BSTR>(&text);  // overwritten by the member
        FUZZ_CHECK(object->fnWin32Processor(selector, &out) == hr);
        const std::u16string got = fuzz::TakeOut(hr, out);
        if (SUCCEEDED(hr)) FUZZ_CHECK(got == text);
    }
    FUZZ_CHECK(object->fnWin32Processor(0, nullptr) == E_POINTER);

    // The clock multiplier straight from a core clock and any external clock.
    const VARIANT external = arena.Make(in);
    double ratio = -1;
    const HRESULT ratioStatus =
        cpuinfo::w32_Processor::ClockRatio(in.ConsumeIntegral<std::int16_t>(), external, &ratio);
    if (SUCCEEDED(ratioStatus)) {
        FUZZ_CHECK(ratio * 2 == static_cast<double>(static_cast<long long>(ratio * 2)));
    } else {
        FUZZ_CHECK(ratio == 0);
    }

    // The poll reads every selector it shows; each item is a text afterwards.
    fakes.LoadRegistry(fuzz::TypicalMachine());
    const HRESULT polled = refs.provider->PollData();
    (void)polled;
    for (LONG item = 0; item < cpuinfo::kItemCount; ++item)
        fuzz::ItemText(refs.provider.Get(), item);
    fuzz::ReleasePlugin(refs);
    return 0;
}
