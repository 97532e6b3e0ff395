#include "frame/dispatch.h"

#include <cstring>

#include "com/owners.h"

namespace frame {

const Method* FindMethod(MethodTable methods, DISPID id) {
    for (const Method& m : methods)
        if (m.id == id) return &m;
    return nullptr;
}

HRESULT DispatchGetIDsOfNames(MethodTable methods, REFIID riid, LPOLESTR* names, UINT count,
                              DISPID* ids) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (count == 0) return S_OK;
    if (names == nullptr || ids == nullptr) return E_POINTER;
    auto nameAt = [&](UINT k) {
        const auto* s = reinterpret_cast<const char16_t*>(names[k]);
        return s == nullptr ? std::u16string_view{} : std::u16string_view{s};
    };
    for (UINT k = 0; k < count; ++k) ids[k] = DISPID_UNKNOWN;
    const Method* method = nullptr;
    for (const Method& m : methods)
        if (com::EqualsNoCase(m.name, nameAt(0))) method = &m;
    if (method == nullptr) return DISP_E_UNKNOWNNAME;
    ids[0] = method->id;
    HRESULT hr = S_OK;
    for (UINT k = 1; k < count; ++k) {
        for (std::uint8_t p = 0; p < method->paramCount; ++p)
            if (com::EqualsNoCase(method->params[p].name, nameAt(k))) ids[k] = p;
        if (ids[k] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT DispatchInvoke(MethodTable methods, std::u16string_view source, IDispatch* self, DISPID id,
                       REFIID riid, WORD flags, DISPPARAMS* params, VARIANT* result,
                       EXCEPINFO* excepInfo, UINT* argErr) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    const Method* method = FindMethod(methods, id);
    if (method == nullptr) return DISP_E_MEMBERNOTFOUND;
    if ((flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) == 0) return DISP_E_MEMBERNOTFOUND;
    if (params == nullptr) return E_INVALIDARG;
    if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    if (params->cArgs != method->paramCount) return DISP_E_BADPARAMCOUNT;
    if (params->cArgs != 0 && params->rgvarg == nullptr) return E_INVALIDARG;

    // Arguments arrive last first; convert each to its parameter's type.
    com::Variant args[3];
    for (std::uint8_t p = 0; p < method->paramCount; ++p) {
        const UINT position = params->cArgs - 1 - p;
        VARIANT* given = &params->rgvarg[position];
        const VARTYPE type = method->params[p].type;
        const HRESULT hr = type == VT_VARIANT ? VariantCopyInd(&args[p], given)
                                              : VariantChangeType(&args[p], given, 0, type);
        if (FAILED(hr)) {
            if (argErr != nullptr) *argErr = position;
            return (hr == DISP_E_OVERFLOW || hr == E_OUTOFMEMORY) ? hr : DISP_E_TYPEMISMATCH;
        }
    }

    com::Variant value;
    const HRESULT hr = method->call(self, args, &value);
    if (FAILED(hr)) {
        if (excepInfo != nullptr) {
            std::memset(excepInfo, 0, sizeof *excepInfo);
            excepInfo->bstrSource = com::AllocString(source);
            excepInfo->scode = hr;
        }
        return DISP_E_EXCEPTION;
    }
    if (result != nullptr) value.Detach(result);
    return S_OK;
}

}  // namespace frame
