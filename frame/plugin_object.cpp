#include "frame/plugin_object.h"

#include <atomic>

#include "platform/narrow_text.h"
#include "platform/own_module.h"

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

HRESULT PluginCore::ShowConfiguration(VARIANT_BOOL* changed) {
    configuration_.Reset();
    *changed = VARIANT_FALSE;
    return S_OK;
}

HRESULT PluginCore::Description(BSTR* text) {
    return com::ReturnString(DescriptionText(identity_.product, identity_.version), text);
}

HRESULT PluginCore::ConfigurationString(BSTR* text) {
    return com::ReturnString(configuration_.View(), text);
}

HRESULT PluginCore::SetConfigurationString(BSTR text) {
    // The caller keeps its string; an empty one is held as the empty text.
    com::Bstr copy(com::View(text));
    if (copy.Get() == nullptr) return E_OUTOFMEMORY;
    configuration_ = std::move(copy);
    return S_OK;
}

HRESULT PluginCore::PollMethod(LONG* value) {
    *value = identity_.pollMethod;
    return S_OK;
}

HRESULT PluginCore::PollFreqency(LONG* value) {
    *value = identity_.pollFreqency;
    return S_OK;
}

HRESULT PluginCore::Count(LONG* value) {
    *value = identity_.count;
    return S_OK;
}

HRESULT PluginCore::TypeInfoCount(UINT* count) {
#if defined(_WIN32)
    com::ComPtr<ITypeInfo> info;
    if (SUCCEEDED(platform::LoadOwnTypeInfo(identity_.classIid, info.Out()))) *count = 1;
#else
    (void)count;
#endif
    return S_OK;
}

HRESULT PluginCore::TypeInfo(UINT index, ITypeInfo** info) {
#if defined(_WIN32)
    if (index == 0) return platform::LoadOwnTypeInfo(identity_.classIid, info);
#else
    (void)index;
    (void)info;
#endif
    return DISP_E_BADINDEX;
}

HRESULT PluginCore::IdsOfNames(REFIID riid, LPOLESTR* names, UINT count, DISPID* ids) {
    return DispatchGetIDsOfNames(identity_.methods, riid, names, count, ids);
}

HRESULT PluginCore::InvokeMethod(IDispatch* self, DISPID id, REFIID riid, WORD flags,
                                 DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                 UINT* argErr) {
    return DispatchInvoke(identity_.methods, identity_.progId, self, id, riid, flags, params,
                          result, excepInfo, argErr);
}

HRESULT PluginCore::Check128Impl(BSTR text, VARIANT_BOOL* result) {
    *result = HasCharAbove127(com::View(text));
    return S_OK;
}

}  // namespace frame
