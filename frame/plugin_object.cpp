#include "frame/plugin_object.h"

#include <atomic>

#include "com/boundary.h"
#include "platform/narrow_text.h"

namespace frame {

namespace {
std::atomic<long> g_usage{0};
}

void ModuleAddRef() {
    ++g_usage;
}
void ModuleRelease() {
    --g_usage;
}
long ModuleUsage() {
    return g_usage.load();
}

std::u16string DescriptionText(std::u16string_view product, const Version& version) {
    std::u16string text(product);
    text += u" v";
    text += com::Widen(std::to_string(version.major));
    text += u'.';
    text += com::Widen(std::to_string(version.minor));
    return text;
}

VARIANT_BOOL HasCharAbove127(std::u16string_view text) {
    // The scan stops at the first such character; it has no length limit.
    for (char16_t c : text)
        if (platform::AnsiCode(c) > 127) return VARIANT_TRUE;
    return VARIANT_FALSE;
}

HRESULT PluginCore::Configure(VARIANT_BOOL* result) {
    if (result == nullptr) return E_POINTER;
    configuration_.Reset();
    *result = VARIANT_FALSE;
    return S_OK;
}

HRESULT PluginCore::GetDescription(BSTR* result) const {
    if (result == nullptr) return E_POINTER;
    *result = nullptr;
    return com::Boundary([&]() -> HRESULT {
        return com::ReturnString(DescriptionText(identity_.product, identity_.version), result);
    });
}

HRESULT PluginCore::GetConfigurationString(BSTR* result) const {
    return com::ReturnString(configuration_.View(), result);
}

HRESULT PluginCore::PutConfigurationString(BSTR text) {
    // The caller keeps its string; an empty one is held as the empty text.
    com::Bstr copy(com::View(text));
    if (copy.Get() == nullptr) return E_OUTOFMEMORY;
    configuration_ = std::move(copy);
    return S_OK;
}

HRESULT PluginCore::Constant(LONG value, LONG* result) const {
    if (result == nullptr) return E_POINTER;
    *result = value;
    return S_OK;
}

}  // namespace frame
