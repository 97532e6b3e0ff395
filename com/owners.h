// Owners of component-system resources: interface pointers, automation strings and variants.
// Each releases what it holds when it goes; Attach takes over a reference or value that the
// caller owned, Detach hands it back without releasing it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "com/com.h"
#include "com/text.h"

namespace com {

// An interface pointer holding one reference.
template <class T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr& other) : p_(other.p_) {
        if (p_ != nullptr) p_->AddRef();
    }
    ComPtr& operator=(const ComPtr& other) {
        if (this != &other) {
            if (other.p_ != nullptr) other.p_->AddRef();
            Attach(other.p_);
        }
        return *this;
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) Attach(other.Detach());
        return *this;
    }

    // Takes over the reference that `p` carries.
    void Attach(T* p) {
        T* old = std::exchange(p_, p);
        if (old != nullptr) old->Release();
    }
    // Hands the reference over to the caller.
    T* Detach() { return std::exchange(p_, nullptr); }
    void Reset() { Attach(nullptr); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For an out-argument that receives a new reference; what was held is released first.
    T** Out() {
        Reset();
        return &p_;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }

    // The interface `iid` of the same object, or null with the failure status.
    template <class U>
    HRESULT As(REFIID iid, ComPtr<U>* out) const {
        if (p_ == nullptr) return E_POINTER;
        return p_->QueryInterface(iid, out->OutVoid());
    }

  private:
    T* p_ = nullptr;
};

// An automation string owned by this object.
class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(std::u16string_view text) : s_(AllocString(text)) {}
    ~Bstr() { SysFreeString(s_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : s_(std::exchange(other.s_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) Attach(other.Detach());
        return *this;
    }

    // Takes over `s`, which the caller no longer frees.
    void Attach(BSTR s) { SysFreeString(std::exchange(s_, s)); }
    // Hands the string over to the caller, who frees it.
    BSTR Detach() { return std::exchange(s_, nullptr); }
    void Reset() { Attach(nullptr); }

    BSTR Get() const { return s_; }
    std::u16string_view View() const { return com::View(s_); }
    BSTR* Out() {
        Reset();
        return &s_;
    }

  private:
    BSTR s_ = nullptr;
};

// The text of a string that a callee returned, which is freed here.
inline std::u16string TakeText(BSTR returned) {
    Bstr owned;
    owned.Attach(returned);
    return std::u16string(owned.View());
}

// A variant owned by this object, cleared when it goes.
struct Variant : VARIANT {
    Variant() { VariantInit(this); }
    ~Variant() { VariantClear(this); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    // Clears what is held, for an out-argument.
    VARIANT* Out() {
        VariantClear(this);
        return this;
    }
    // Takes over the value of `value`, which is left empty.
    void Attach(VARIANT* value) {
        VariantClear(this);
        static_cast<VARIANT&>(*this) = *value;
        VariantInit(value);
    }
    // Hands the value over to `out`, which holds nothing of its own; this is left empty.
    void Detach(VARIANT* out) {
        *out = *this;
        VariantInit(this);
    }
    // Hands the string held over to the caller; null when the value is not a string.
    BSTR DetachString() {
        if (vt != VT_BSTR) return nullptr;
        vt = VT_EMPTY;
        return std::exchange(bstrVal, nullptr);
    }
};

// What a variant argument stands for. A VT_BYREF | VT_VARIANT argument refers to another
// variant, followed one level deep as the platform follows it; a reference to a reference, or
// to nothing, is refused (null).
inline const VARIANT* Referent(const VARIANT& value) {
    if (value.vt != (VT_BYREF | VT_VARIANT)) return &value;
    const VARIANT* target = value.pvarVal;
    if (target == nullptr || target->vt == (VT_BYREF | VT_VARIANT)) return nullptr;
    return target;
}

}  // namespace com
