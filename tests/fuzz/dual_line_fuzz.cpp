// The two-line layout: cpuinfo::DualLine and the class member fnDualLine, with arbitrary texts.
#include "com/errors.h"
#include "cpuinfo/cpu_text.h"
#include "tests/fuzz/fuzz_plugins.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const bool null = in.ConsumeBool();
    const std::u16string source = null ? std::u16string() : fuzz::Text(in, 4096);

    std::size_t cut = 0;
    while (cut < source.size() && source[cut] > 31 && source[cut] < 127) ++cut;  // printable

    std::u16string laid;
    const HRESULT hr = cpuinfo::DualLine(source, &laid);
    FUZZ_CHECK(cpuinfo::DualLine(source, nullptr) == E_POINTER);
    if (cut == source.size()) {
        FUZZ_CHECK(hr == com::kInvalidCall);
    } else {
        FUZZ_CHECK(hr == S_OK);
        // Two lines of one width around a line feed: the text up to and including its first
        // unprintable character, split at a blank (or after its end), the shorter part centred
        // with blanks.
        FUZZ_CHECK(laid.size() % 2 == 1);
        const std::size_t width = laid.size() / 2;
        const std::u16string_view work = std::u16string_view(source).substr(0, cut + 1);
        FUZZ_CHECK(width <= work.size() && work.size() <= 2 * width);
        auto centred = [width](std::u16string_view part) {
            std::u16string line((width - part.size()) / 2, u' ');
            line += part;
            line.resize(width, u' ');
            return line;
        };
        auto layout = [&](std::size_t split, bool firstFull) {
            const std::u16string_view a = work.substr(0, split), b = work.substr(split);
            std::u16string text = firstFull ? std::u16string(a) : centred(a);
            text += u'\n';
            text += firstFull ? centred(b) : std::u16string(b);
            return text;
        };
        const std::size_t splitA = width, splitB = work.size() - width;
        const bool a =
            laid == layout(splitA, true) && (splitA == work.size() || work[splitA] == u' ');
        const bool b =
            laid == layout(splitB, false) && (splitB == work.size() || work[splitB] == u' ');
        FUZZ_CHECK(a || b);
    }

    // The member gives the same text as a string the caller owns, or fails with nothing.
    fuzz::Fakes fakes;
    fuzz::PluginRefs refs = fuzz::MakePlugin(fuzz::Plugin::kOrvantel, fakes);
    auto* object = static_cast<_CPUInfo*>(refs.dispatch.Get());
    BSTR in_text = null ? nullptr : com::AllocString(source);
    BSTR out = reinterpret_cast<BSTR>(&laid);  // overwritten by the member
    const HRESULT member = object->fnDualLine(in_text, &out);
    FUZZ_CHECK(member == hr);
    const std::u16string text = fuzz::TakeOut(member, out);
    if (SUCCEEDED(member)) FUZZ_CHECK(text == laid);
    FUZZ_CHECK(object->fnDualLine(in_text, nullptr) == E_POINTER);
    FUZZ_CHECK(com::View(in_text) == source);
    SysFreeString(in_text);
    fuzz::ReleasePlugin(refs);
    return 0;
}
