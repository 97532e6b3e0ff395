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

// The identifier of interface T. Each interface names its own once, with COM_INTERFACE_ID beside
// its declaration, so that a pointer's type and the identifier asked for always agree.
template <class T>
struct InterfaceId;

template <class T>
const IID& IidOf() {
    return InterfaceId<T>::Get();
}

}  // namespace com

#define COM_INTERFACE_ID(Interface, iid)          \
    template <>                                   \
    struct com::InterfaceId<Interface> {          \
        static const IID& Get() { return (iid); } \
    }

COM_INTERFACE_ID(IUnknown, IID_IUnknown);
COM_INTERFACE_ID(IDispatch, IID_IDispatch);
COM_INTERFACE_ID(IClassFactory, IID_IClassFactory);
#if defined(_WIN32)
COM_INTERFACE_ID(IEnumVARIANT, IID_IEnumVARIANT);
COM_INTERFACE_ID(ITypeLib, IID_ITypeLib);
COM_INTERFACE_ID(ITypeInfo, IID_ITypeInfo);
COM_INTERFACE_ID(IBindCtx, IID_IBindCtx);
COM_INTERFACE_ID(IMoniker, IID_IMoniker);
#endif

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

    // A reference of its own to `p`, which the caller keeps holding.
    static ComPtr Share(T* p) {
        ComPtr owner;
        if (p != nullptr) p->AddRef();
        owner.p_ = p;
        return owner;
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

    // The identifier of T, for calls that hand out a new reference through OutVoid().
    static const IID& Iid() { return IidOf<T>(); }

    // Interface U of the same object into `out` (null on failure), answering the status.
    template <class U>
    HRESULT As(ComPtr<U>* out) const {
        if (p_ == nullptr) {
            out->Reset();
            return E_POINTER;
        }
        return p_->QueryInterface(IidOf<U>(), out->OutVoid());
    }
    // Interface U of the same object, or null.
    template <class U>
    ComPtr<U> As() const {
        ComPtr<U> out;
        As(&out);
        return out;
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
    void Swap(Variant& other) noexcept {
        std::swap(static_cast<VARIANT&>(*this), static_cast<VARIANT&>(other));
    }
    friend void swap(Variant& a, Variant& b) noexcept { a.Swap(b); }

    // Hands the string held over to the caller; null when the value is not a string.
    BSTR DetachString() {
        if (vt != VT_BSTR) return nullptr;
        vt = VT_EMPTY;
        return std::exchange(bstrVal, nullptr);
    }
};

// The description of an exception that IDispatch::Invoke fills in; its strings are freed when it
// goes or is handed out again.
struct ExcepInfo : EXCEPINFO {
    ExcepInfo() : EXCEPINFO{} {}
    ~ExcepInfo() { Clear(); }
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;

    // Frees the strings and empties the record, for an out-argument.
    EXCEPINFO* Out() {
        Clear();
        return this;
    }
    void Clear() {
        for (BSTR s : {bstrSource, bstrDescription, bstrHelpFile}) SysFreeString(s);
        static_cast<EXCEPINFO&>(*this) = EXCEPINFO{};
    }
    // Hands the record and its strings over to `out`, which holds nothing of its own; this is
    // left empty.
    void Detach(EXCEPINFO* out) {
        *out = *this;
        static_cast<EXCEPINFO&>(*this) = EXCEPINFO{};
    }
};

// A handle of a system resource that `Free` gives back (a registry key, an address list, memory
// of a system call); the empty handle is Handle{}.
template <class Handle, auto Free>
class Unique {
  public:
    Unique() = default;
    explicit Unique(Handle handle) : h_(handle) {}
    ~Unique() { Reset(); }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : h_(std::exchange(other.h_, Handle{})) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }

    Handle Get() const { return h_; }
    explicit operator bool() const { return h_ != Handle{}; }
    // For an out-argument that receives a new handle; what was held is given back first.
    Handle* Out() {
        Reset();
        return &h_;
    }
    Handle Detach() { return std::exchange(h_, Handle{}); }
    void Reset(Handle handle = Handle{}) {
        const Handle old = std::exchange(h_, handle);
        if (old != Handle{}) Free(old);
    }

  private:
    Handle h_{};
};

#if defined(_WIN32)
inline void FreeLocal(void* memory) {
    LocalFree(memory);
}
// Text that a system call allocated with LocalAlloc (FormatMessage, CommandLineToArgvW).
template <class T>
using LocalMemory = Unique<T*, FreeLocal>;
#endif

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
