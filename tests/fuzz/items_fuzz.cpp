// The host interface's item members of all three classes: PollData on arbitrary clock readings,
// separators and registry values, then Name, DisplayName and Value for arbitrary indices, and
// the constant members.
#include <string>

#include "cpuinfo/catalogue.h"
#include "date/date_items.h"
#include "tests/fuzz/fuzz_plugins.h"
#include "uptime/uptime_format.h"

namespace {

LONG AnyIndex(FuzzedDataProvider& in, LONG count) {
    const int pick = in.ConsumeIntegralInRange(0, 3);
    return pick == 0   ? in.ConsumeIntegral<LONG>()
           : pick == 1 ? in.ConsumeIntegralInRange<LONG>(-2, count + 2)
                       : in.ConsumeIntegralInRange<LONG>(0, count - 1);
}

void SetClocks(FuzzedDataProvider& in, fuzz::Fakes& fakes) {
    fakes.tickClock.now = in.ConsumeBool() ? in.ConsumeIntegral<std::uint64_t>()
                                           : in.ConsumeIntegralInRange<std::uint64_t>(0, 1u << 31);
    fakes.settings.time = fuzz::Text(in, 8);
    fakes.settings.decimal = fuzz::Text(in, 8);
    platform::SystemTime& t = fakes.localClock.now;
    t.year = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::uint16_t>(1600, 2100)
                              : in.ConsumeIntegral<std::uint16_t>();
    t.month = in.ConsumeIntegralInRange<std::uint16_t>(0, 13);
    t.dayOfWeek = in.ConsumeIntegralInRange<std::uint16_t>(0, 7);
    t.day = in.ConsumeIntegralInRange<std::uint16_t>(0, 32);
    t.hour = in.ConsumeIntegral<std::uint16_t>();
    t.minute = in.ConsumeIntegral<std::uint16_t>();
    t.second = in.ConsumeIntegral<std::uint16_t>();
    t.milliseconds = in.ConsumeIntegral<std::uint16_t>();
}

void SetRegistry(FuzzedDataProvider& in, fuzz::Fakes& fakes) {
    fakes.LoadRegistry(fuzz::TypicalMachine());
    for (const char* name : {"ProcessorNameString", "VendorIdentifier", "Identifier"})
        if (in.ConsumeBool())
            fakes.registry.keys[fuzz::kProcessorKey][name] = {
                in.ConsumeIntegralInRange<unsigned long>(0, 7), in.ConsumeRandomLengthString(220)};
    if (in.ConsumeIntegralInRange(0, 7) == 0) fakes.registry.queryResult = 5;  // access denied
    for (unsigned long f = 0; f < 12; ++f)
        if (in.ConsumeBool()) fakes.features.features.insert(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    fuzz::Fakes fakes;
    const auto which = static_cast<fuzz::Plugin>(in.ConsumeIntegralInRange(0, 2));
    SetClocks(in, fakes);
    if (which == fuzz::Plugin::kOrvantel) SetRegistry(in, fakes);

    fuzz::PluginRefs refs = fuzz::MakePlugin(which, fakes);
    ITessivar2DataProvider* provider = refs.provider.Get();
    LONG count = 0;
    FUZZ_CHECK(provider->get_Count(&count) == S_OK);
    FUZZ_CHECK(count == (which == fuzz::Plugin::kOrvantel    ? cpuinfo::kItemCount
                         : which == fuzz::Plugin::kTamblorin ? date::kItemCount
                                                             : uptime::kItemCount));
    LONG constant = 0;
    FUZZ_CHECK(provider->get_PollFreqency(&constant) == S_OK && constant > 0);
    FUZZ_CHECK(provider->get_PollMethod(&constant) == S_OK);
    FUZZ_CHECK(provider->get_Count(nullptr) == E_POINTER);
    BSTR description = nullptr;
    FUZZ_CHECK(refs.plugin->get_Description(&description) == S_OK && description != nullptr);
    SysFreeString(description);

    const HRESULT polled = provider->PollData();
    if (which != fuzz::Plugin::kOrvantel) FUZZ_CHECK(polled == S_OK);

    for (int step = 0; step < 6 && in.remaining_bytes() > 0; ++step) {
        const LONG index = AnyIndex(in, count);
        const bool valid = index >= 0 && index < count;
        BSTR name = nullptr, display = nullptr;
        FUZZ_CHECK(provider->get_Name(index, &name) == S_OK);
        FUZZ_CHECK(provider->get_DisplayName(index, &display) == S_OK);
        FUZZ_CHECK(com::View(name).empty() != valid);
        FUZZ_CHECK(com::View(display).ends_with(com::View(name)));
        SysFreeString(name);
        SysFreeString(display);
        FUZZ_CHECK(provider->get_Name(index, nullptr) == E_POINTER);
        FUZZ_CHECK(provider->get_Value(index, nullptr) == E_POINTER);

        const std::u16string text = fuzz::ItemText(provider, index);
        if (!valid && which != fuzz::Plugin::kTamblorin) FUZZ_CHECK(text.empty());
        if (which == fuzz::Plugin::kWendrikai && valid) {
            // Whole seconds accumulated, and the same count through the item's own layout.
            if (index == 6)
                FUZZ_CHECK(text == com::Widen(std::to_string(fakes.tickClock.now / 1000)));
            FUZZ_CHECK(text == uptime::FormatItem(index, fakes.tickClock.now,
                                                  {fakes.settings.time, fakes.settings.decimal}));
        }
        if (which == fuzz::Plugin::kTamblorin) {
            std::u16string expected;
            FUZZ_CHECK(date::FormatItem(index, fakes.localClock.now, fuzz::CDateFormatter(),
                                        expected) == S_OK);
            FUZZ_CHECK(text == expected);
            if (!valid) FUZZ_CHECK(text == u"Error");
        }
    }
    fuzz::ReleasePlugin(refs);
    return 0;
}
