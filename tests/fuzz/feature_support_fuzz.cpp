// Orvantel's fnFeatureSupport: an arbitrary feature number against a fake feature test, and two
// arbitrary variants of every type (by value, null arrays, by reference, objects) to choose from.
#include "com/errors.h"
#include "tests/fuzz/fuzz_plugins.h"

namespace {

struct Answer {
    HRESULT hr;
    std::u16string text;
};

Answer Call(_CPUInfo* object, LONG feature, const VARIANT& whenTrue, const VARIANT& whenFalse) {
    const VARIANT trueCopy = whenTrue, falseCopy = whenFalse;
    BSTR out = reinterpret_cast<BSTR>(&out);  // overwritten by the member
    const HRESULT hr = object->fnFeatureSupport(feature, whenTrue, whenFalse, &out);
    // The arguments stay the caller's, as they were.
    FUZZ_CHECK(fuzz::SameBytes(trueCopy, whenTrue) && fuzz::SameBytes(falseCopy, whenFalse));
    FUZZ_CHECK(FAILED(hr) || hr == S_OK);
    return {hr, fuzz::TakeOut(hr, out)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    fuzz::VariantArena arena;
    fuzz::Fakes fakes;
    const int present = in.ConsumeIntegralInRange(0, 4);
    for (int k = 0; k < present; ++k)
        fakes.features.features.insert(in.ConsumeIntegralInRange<unsigned long>(0, 40));
    if (in.ConsumeIntegralInRange(0, 15) == 0) fakes.features.failure = E_NOTIMPL;
    const LONG feature =
        in.ConsumeBool() ? in.ConsumeIntegralInRange<LONG>(-2, 40) : in.ConsumeIntegral<LONG>();
    const VARIANT whenTrue = arena.Make(in);
    const VARIANT whenFalse = arena.Make(in);

    fuzz::PluginRefs refs = fuzz::MakePlugin(fuzz::Plugin::kOrvantel, fakes);
    auto* object = static_cast<_CPUInfo*>(refs.dispatch.Get());
    const Answer answer = Call(object, feature, whenTrue, whenFalse);
    FUZZ_CHECK(object->fnFeatureSupport(feature, whenTrue, whenFalse, nullptr) == E_POINTER);

    if (FAILED(fakes.features.failure)) {
        FUZZ_CHECK(answer.hr == fakes.features.failure);
    } else {
        const bool isPresent = fakes.features.features.count(static_cast<unsigned long>(feature));
        const VARIANT& chosen = isPresent ? whenTrue : whenFalse;
        // A null, directly or through one variant reference, is invalid use of null.
        const VARIANT* plain = com::Referent(chosen);
        if (plain != nullptr && plain->vt == VT_NULL)
            FUZZ_CHECK(answer.hr == com::kInvalidUseOfNull);
        // A text comes back as it is.
        if (chosen.vt == VT_BSTR) {
            FUZZ_CHECK(answer.hr == S_OK);
            FUZZ_CHECK(answer.text == com::View(chosen.bstrVal));
        }
        // The other variant plays no part.
        VARIANT empty;
        VariantInit(&empty);
        const Answer again = isPresent ? Call(object, feature, whenTrue, empty)
                                       : Call(object, feature, empty, whenFalse);
        FUZZ_CHECK(again.hr == answer.hr && again.text == answer.text);
    }
    fuzz::ReleasePlugin(refs);
    return 0;
}
