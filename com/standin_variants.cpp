// Tagged values for platforms without the component system: clearing, copying, following
// references and changing types.
#include "com/com.h"

#if !defined(_WIN32)

#include <cstddef>
#include <cstring>

#include "com/boundary.h"
#include "com/owners.h"
#include "com/standin_conversion.h"

void VariantInit(VARIANTARG* pvarg) {
    pvarg->vt = VT_EMPTY;
    pvarg->wReserved1 = pvarg->wReserved2 = pvarg->wReserved3 = 0;
}

HRESULT VariantClear(VARIANTARG* pvarg) {
    if (pvarg == nullptr) return E_INVALIDARG;
    if ((pvarg->vt & VT_BYREF) == 0) {
        switch (pvarg->vt) {
            case VT_BSTR:
                SysFreeString(pvarg->bstrVal);
                break;
            case VT_DISPATCH:
            case VT_UNKNOWN:
                if (pvarg->punkVal != nullptr) pvarg->punkVal->Release();
                break;
            default:
                break;
        }
    }
    pvarg->vt = VT_EMPTY;
    return S_OK;
}

namespace {

HRESULT CopyValue(VARIANTARG* dest, const VARIANTARG* src) {
    VARIANT copy = *src;
    if (src->vt == VT_BSTR && src->bstrVal != nullptr) {
        copy.bstrVal = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
        if (copy.bstrVal == nullptr) return E_OUTOFMEMORY;
    } else if ((src->vt == VT_DISPATCH || src->vt == VT_UNKNOWN) && src->punkVal != nullptr) {
        src->punkVal->AddRef();
    }
    VariantClear(dest);
    *dest = copy;
    return S_OK;
}

// The size of the value that a by-reference variant of type `vt` points at; 0 for the types that
// are not followed.
std::size_t ReferentSize(VARTYPE vt) {
    switch (vt) {
        case VT_I1:
        case VT_UI1:
            return 1;
        case VT_I2:
        case VT_UI2:
        case VT_BOOL:
            return 2;
        case VT_I4:
        case VT_UI4:
        case VT_INT:
        case VT_UINT:
        case VT_R4:
        case VT_ERROR:
            return 4;
        case VT_I8:
        case VT_UI8:
        case VT_R8:
            return 8;
        case VT_BSTR:
        case VT_DISPATCH:
        case VT_UNKNOWN:
            return sizeof(void*);
        default:
            return 0;
    }
}

// Reads a by-reference value into a by-value one (no ownership taken). Every value member of
// the variant starts at the same place, where the referent's bytes go.
HRESULT Dereference(const VARIANT* src, VARIANT* out) {
    VariantInit(out);
    if ((src->vt & VT_BYREF) == 0) {
        *out = *src;
        return S_OK;
    }
    if (src->byref == nullptr) return E_INVALIDARG;
    const VARTYPE vt = src->vt & static_cast<VARTYPE>(~VT_BYREF);
    if (vt == VT_VARIANT) {
        const VARIANT* target = com::Referent(*src);
        return target == nullptr ? E_INVALIDARG : Dereference(target, out);
    }
    const std::size_t size = ReferentSize(vt);
    if (size == 0) return DISP_E_BADVARTYPE;
    std::memcpy(&out->llVal, src->byref, size);
    out->vt = vt;
    return S_OK;
}
}  // namespace

HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc) {
    if (pvargDest == nullptr || pvargSrc == nullptr) return E_INVALIDARG;
    if (pvargDest == pvargSrc) return S_OK;
    return CopyValue(pvargDest, pvargSrc);
}

HRESULT VariantCopyInd(VARIANT* pvarDest, const VARIANTARG* pvargSrc) {
    if (pvarDest == nullptr || pvargSrc == nullptr) return E_INVALIDARG;
    VARIANT plain;
    const HRESULT hr = Dereference(pvargSrc, &plain);
    if (FAILED(hr)) return hr;
    VARIANT copy;
    VariantInit(&copy);
    const HRESULT copied = CopyValue(&copy, &plain);
    if (FAILED(copied)) return copied;
    VariantClear(pvarDest);
    *pvarDest = copy;
    return S_OK;
}

HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags,
                          VARTYPE vt) {
    if (pvargDest == nullptr || pvarSrc == nullptr) return E_INVALIDARG;
    if ((vt & VT_BYREF) != 0 || (vt & VT_ARRAY) != 0) return DISP_E_BADVARTYPE;
    VARIANT plain;
    HRESULT hr = Dereference(pvarSrc, &plain);
    if (FAILED(hr)) return hr;
    VARIANT result;
    // Numbers are read and written through standard strings; like the platform's call, this one
    // answers exhausted memory with a status.
    hr = com::Boundary([&] { return com::standin::Convert(plain, wFlags, vt, &result); });
    if (FAILED(hr)) return hr;
    VariantClear(pvargDest);  // the source, when it is the same variant, is no longer needed
    *pvargDest = result;
    return S_OK;
}

#endif  // !_WIN32