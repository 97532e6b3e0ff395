// Check128 of the frame's plug-in object (on Orvantel and Tamblorin, whose class interfaces
// carry it) and the configuration string of all three classes, with arbitrary texts.
#include "frame/plugin_object.h"
#include "tests/fuzz/fuzz_plugins.h"

namespace {

void CheckText(fuzz::Plugin which, fuzz::Fakes& fakes, BSTR text, bool above127) {
    fuzz::PluginRefs refs = fuzz::MakePlugin(which, fakes);
    const VARIANT_BOOL expected = above127 ? VARIANT_TRUE : VARIANT_FALSE;
    auto check = [&](auto* object) {
        VARIANT_BOOL answer = 7;
        FUZZ_CHECK(object->Check128(text, &answer) == S_OK && answer == expected);
        FUZZ_CHECK(object->Check128(text, nullptr) == E_POINTER);
    };
    if (which == fuzz::Plugin::kOrvantel) check(static_cast<_CPUInfo*>(refs.dispatch.Get()));
    if (which == fuzz::Plugin::kTamblorin) check(static_cast<_CustomDate*>(refs.dispatch.Get()));

    // The configuration string: the caller keeps its text, the object hands out copies.
    BSTR out = nullptr;
    FUZZ_CHECK(refs.plugin->put_ConfigurationString(text) == S_OK);
    FUZZ_CHECK(refs.plugin->get_ConfigurationString(&out) == S_OK);
    FUZZ_CHECK(out != nullptr && out != text);
    FUZZ_CHECK(com::View(out) == com::View(text));
    SysFreeString(out);
    VARIANT_BOOL configured = 7;
    FUZZ_CHECK(refs.plugin->Configure(&configured) == S_OK && configured == VARIANT_FALSE);
    out = nullptr;
    FUZZ_CHECK(refs.plugin->get_ConfigurationString(&out) == S_OK);
    FUZZ_CHECK(com::View(out).empty());
    SysFreeString(out);
    fuzz::ReleasePlugin(refs);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const bool null = in.ConsumeBool();
    const std::u16string text = fuzz::Text(in, 4096);
    BSTR s = null ? nullptr : com::AllocString(text);
    const std::u16string_view view = com::View(s);
    const bool above127 = fuzz::AnyAbove127(view);

    FUZZ_CHECK(frame::HasCharAbove127(view) == (above127 ? VARIANT_TRUE : VARIANT_FALSE));
    fuzz::Fakes fakes;
    for (auto which : {fuzz::Plugin::kOrvantel, fuzz::Plugin::kTamblorin, fuzz::Plugin::kWendrikai})
        CheckText(which, fakes, s, above127);
    // The caller's string is untouched.
    FUZZ_CHECK(com::View(s) == std::u16string_view(null ? u"" : text));
    SysFreeString(s);
    return 0;
}
