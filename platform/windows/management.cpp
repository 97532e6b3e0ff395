// The management service through its scripting objects, late-bound as a script uses them: the
// moniker binds the services object, "InstancesOf" lists the class, the set is walked through its
// enumerator, and properties are read by name through IDispatch.
#include "platform/management.h"

#include <new>
#include <string>
#include <utility>

namespace platform {

namespace {

constexpr const wchar_t* kMoniker = L"WinMgmts:{impersonationLevel=impersonate}";

// An interface pointer released when it goes.
template <typename T>
class Ref {
  public:
    Ref() = default;
    explicit Ref(T* p) : p_(p) {}
    ~Ref() {
        if (p_ != nullptr) p_->Release();
    }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    T** Out() { return &p_; }
    void** OutVoid() { return reinterpret_cast<void**>(&p_); }
    T* Release() { return std::exchange(p_, nullptr); }

  private:
    T* p_ = nullptr;
};

// A variant cleared when it goes.
struct OwnedVariant : VARIANT {
    OwnedVariant() { VariantInit(this); }
    ~OwnedVariant() { VariantClear(this); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;
};

// Invokes member `id` of `object`; a raised exception gives its own status.
HRESULT Invoke(IDispatch* object, DISPID id, WORD flags, VARIANT* args, UINT count,
               VARIANT* result) {
    DISPPARAMS params{args, nullptr, count, 0};
    EXCEPINFO info{};
    HRESULT hr =
        object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &info, nullptr);
    if (hr == DISP_E_EXCEPTION) {
        if (info.pfnDeferredFillIn != nullptr) info.pfnDeferredFillIn(&info);
        if (FAILED(info.scode)) hr = info.scode;
    }
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    return hr;
}

HRESULT IdOf(IDispatch* object, const std::wstring& name, DISPID* id) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    return object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
}

class WindowsObject final : public ManagementObject {
  public:
    explicit WindowsObject(IDispatch* object) : object_(object) {}

    HRESULT Get(std::u16string_view name, VARIANT* value) override {
        if (value == nullptr) return E_POINTER;
        VariantInit(value);
        try {
            DISPID id = 0;
            HRESULT hr = IdOf(object_.Get(), std::wstring(name.begin(), name.end()), &id);
            if (hr == DISP_E_UNKNOWNNAME) return kWbemNotFound;
            if (FAILED(hr)) return hr;
            // A property read as a method call with the property flag too, as script engines do:
            // some implementations answer a plain property read with E_NOTIMPL.
            hr = Invoke(object_.Get(), id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr, 0,
                        value);
            if (hr == DISP_E_MEMBERNOTFOUND) return kWbemNotFound;
            if (FAILED(hr)) VariantClear(value);
            return hr;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }

  private:
    Ref<IDispatch> object_;
};

HRESULT BindService(IDispatch** service) {
    Ref<IBindCtx> context;
    HRESULT hr = CreateBindCtx(0, context.Out());
    if (FAILED(hr)) return hr;
    ULONG eaten = 0;
    Ref<IMoniker> moniker;
    hr = MkParseDisplayName(context.Get(), kMoniker, &eaten, moniker.Out());
    if (FAILED(hr)) return hr;
    return moniker->BindToObject(context.Get(), nullptr, IID_IDispatch,
                                 reinterpret_cast<void**>(service));
}

// Takes the dispatch interface out of an element of the set.
HRESULT TakeDispatch(VARIANT& element, IDispatch** object) {
    *object = nullptr;
    if (element.vt == VT_DISPATCH && element.pdispVal != nullptr) {
        *object = element.pdispVal;
        element.vt = VT_EMPTY;
        return S_OK;
    }
    if (element.vt == VT_UNKNOWN && element.punkVal != nullptr)
        return element.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(object));
    return DISP_E_TYPEMISMATCH;
}

class WindowsManagementService final : public ManagementService {
  public:
    HRESULT InstancesOf(std::u16string_view className,
                        std::vector<std::unique_ptr<ManagementObject>>* instances) override {
        if (instances == nullptr) return E_POINTER;
        instances->clear();
        try {
            const HRESULT hr = List(className, instances);
            if (FAILED(hr)) instances->clear();
            return hr;
        } catch (const std::bad_alloc&) {
            instances->clear();
            return E_OUTOFMEMORY;
        }
    }

  private:
    static HRESULT List(std::u16string_view className,
                        std::vector<std::unique_ptr<ManagementObject>>* instances) {
        Ref<IDispatch> service;
        HRESULT hr = BindService(service.Out());
        if (FAILED(hr)) return hr;

        DISPID instancesOf = 0;
        hr = IdOf(service.Get(), L"InstancesOf", &instancesOf);
        if (FAILED(hr)) return hr;
        OwnedVariant name;
        name.vt = VT_BSTR;
        name.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(className.data()),
                                         static_cast<UINT>(className.size()));
        if (name.bstrVal == nullptr) return E_OUTOFMEMORY;
        OwnedVariant set;
        hr = Invoke(service.Get(), instancesOf, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &name, 1,
                    &set);
        if (FAILED(hr)) return hr;
        if (set.vt != VT_DISPATCH || set.pdispVal == nullptr) return DISP_E_TYPEMISMATCH;

        OwnedVariant enumerator;
        hr = Invoke(set.pdispVal, DISPID_NEWENUM, DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr,
                    0, &enumerator);
        if (FAILED(hr)) return hr;
        if ((enumerator.vt != VT_UNKNOWN && enumerator.vt != VT_DISPATCH) ||
            enumerator.punkVal == nullptr)
            return DISP_E_TYPEMISMATCH;
        Ref<IEnumVARIANT> items;
        hr = enumerator.punkVal->QueryInterface(IID_IEnumVARIANT, items.OutVoid());
        if (FAILED(hr)) return hr;

        for (;;) {
            OwnedVariant element;
            ULONG fetched = 0;
            hr = items->Next(1, &element, &fetched);
            if (FAILED(hr)) return hr;
            if (hr != S_OK || fetched == 0) break;
            Ref<IDispatch> object;
            hr = TakeDispatch(element, object.Out());
            if (FAILED(hr)) return hr;
            auto instance = std::make_unique<WindowsObject>(object.Get());
            object.Release();  // now the instance's
            instances->push_back(std::move(instance));
        }
        return S_OK;
    }
};

}  // namespace

ManagementService& SystemManagementService() {
    static WindowsManagementService service;
    return service;
}

}  // namespace platform
