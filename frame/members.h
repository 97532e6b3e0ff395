// How the frame runs an interface member: its body inside com::Boundary, so that no exception
// crosses a component call, with the out-argument rules applied around it. A null out-argument
// is E_POINTER before the body runs. The body writes its result into an empty owner of the
// frame's, handed to the caller only when the body succeeds; when the body fails or throws, the
// owner frees whatever it held and the caller gets a null string, an empty variant, a null
// interface pointer or zero. Every member of PluginObject and of the class interfaces made from
// the identity headers is one of these shapes.
#pragma once

#include <algorithm>
#include <type_traits>

#include "com/boundary.h"
#include "com/com.h"
#include "com/owners.h"

namespace frame {

// A member that answers a status only.
template <class Body>
HRESULT RunMember(Body&& body) noexcept {
    return com::Boundary(body);
}

// A string result: `body(BSTR*)` writes a new string there.
template <class Body>
HRESULT StringMember(BSTR* result, Body&& body) noexcept {
    if (result == nullptr) return E_POINTER;
    *result = nullptr;
    com::Bstr text;
    const HRESULT hr = com::Boundary([&] { return body(text.Out()); });
    if (SUCCEEDED(hr)) *result = text.Detach();
    return hr;
}

// A variant result: `body(VARIANT*)` writes a value there. The caller's variant is taken as
// holding nothing of its own.
template <class Body>
HRESULT VariantMember(VARIANT* result, Body&& body) noexcept {
    if (result == nullptr) return E_POINTER;
    VariantInit(result);
    com::Variant value;
    const HRESULT hr = com::Boundary([&] { return body(value.Out()); });
    if (SUCCEEDED(hr)) value.Detach(result);
    return hr;
}

// A number or boolean result, zero unless the body succeeds.
template <class T, class Body>
HRESULT ValueMember(T* result, Body&& body) noexcept {
    static_assert(std::is_arithmetic_v<T>);
    if (result == nullptr) return E_POINTER;
    T value{};
    const HRESULT hr = com::Boundary([&] { return body(&value); });
    *result = SUCCEEDED(hr) ? value : T{};
    return hr;
}

// An interface pointer result: `body(I**)` writes a new reference there.
template <class I, class Body>
HRESULT InterfaceMember(I** result, Body&& body) noexcept {
    if (result == nullptr) return E_POINTER;
    *result = nullptr;
    com::ComPtr<I> held;
    const HRESULT hr = com::Boundary([&] { return body(held.Out()); });
    if (SUCCEEDED(hr)) *result = held.Detach();
    return hr;
}

// The result of a class-interface method, by its type.
template <class R, class Body>
HRESULT ResultMember(R* result, Body&& body) noexcept {
    if constexpr (std::is_same_v<R, BSTR>)
        return StringMember(result, body);
    else
        return ValueMember(result, body);
}

// IDispatch::GetIDsOfNames: a body that completes marks the names it does not know itself;
// one that throws leaves every id unknown.
template <class Body>
HRESULT NamesMember(UINT count, DISPID* ids, Body&& body) noexcept {
    bool completed = false;
    const HRESULT hr = com::Boundary([&] {
        const HRESULT answer = body();
        completed = true;
        return answer;
    });
    if (!completed && ids != nullptr) std::fill_n(ids, count, DISPID_UNKNOWN);
    return hr;
}

// IDispatch::Invoke: `body(VARIANT*, EXCEPINFO*)` writes the result and the exception record
// into the frame's own (null where the caller passed none). The caller gets the result only on
// success and the record only with DISP_E_EXCEPTION; the caller's result starts empty.
template <class Body>
HRESULT InvokeMember(VARIANT* result, EXCEPINFO* excepInfo, Body&& body) noexcept {
    if (result != nullptr) VariantInit(result);
    com::Variant value;
    com::ExcepInfo record;
    const HRESULT hr = com::Boundary([&] {
        return body(result != nullptr ? value.Out() : nullptr,
                    excepInfo != nullptr ? record.Out() : nullptr);
    });
    if (SUCCEEDED(hr) && result != nullptr) value.Detach(result);
    if (hr == DISP_E_EXCEPTION && excepInfo != nullptr) record.Detach(excepInfo);
    return hr;
}

}  // namespace frame
