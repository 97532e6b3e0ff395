// The management service through its scripting objects, late-bound as a script uses them: the
// moniker binds the services object, "InstancesOf" lists the class, the set is walked through its
// enumerator, and properties are read by name through IDispatch.
#include "platform/management.h"

#include <string>
#include <utility>

#include "com/boundary.h"
#include "com/owners.h"
#include "com/text.h"

namespace platform {

namespace {

constexpr const wchar_t* kMoniker = L"WinMgmts:{impersonationLevel=impersonate}";

// Invokes member `id` of `object`; a raised exception gives its own status.
HRESULT Invoke(IDispatch* object, DISPID id, WORD flags, VARIANT* args, UINT count,
               VARIANT* result) {
    DISPPARAMS params{args, nullptr, count, 0};
    com::ExcepInfo info;
    HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                                info.Out(), nullptr);
    if (hr == DISP_E_EXCEPTION) {
        if (info.pfnDeferredFillIn != nullptr) info.pfnDeferredFillIn(&info);
        if (FAILED(info.scode)) hr = info.scode;
    }
    return hr;
}

HRESULT IdOf(IDispatch* object, const std::wstring& name, DISPID* id) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    return object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
}

class WindowsObject final : public ManagementObject {
  public:
    explicit WindowsObject(com::ComPtr<IDispatch> object) : object_(std::move(object)) {}

    HRESULT Get(std::u16string_view name, VARIANT* value) override {
        if (value == nullptr) return E_POINTER;
        VariantInit(value);
        return com::Boundary([&] {
            DISPID id = 0;
            HRESULT hr = IdOf(object_.Get(), std::wstring(com::AsWide(name)), &id);
            if (hr == DISP_E_UNKNOWNNAME) return kWbemNotFound;
            if (FAILED(hr)) return hr;
            // A property read as a method call with the property flag too, as script engines do:
            // some implementations answer a plain property read with E_NOTIMPL.
            hr = Invoke(object_.Get(), id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr, 0,
                        value);
            if (hr == DISP_E_MEMBERNOTFOUND) return kWbemNotFound;
            if (FAILED(hr)) VariantClear(value);
            return hr;
        });
    }

  private:
    com::ComPtr<IDispatch> object_;
};

// Binds the moniker afresh: every query gets a services object of its own.
HRESULT BindService(com::ComPtr<IDispatch>* service) {
    com::ComPtr<IBindCtx> context;
    HRESULT hr = CreateBindCtx(0, context.Out());
    if (FAILED(hr)) return hr;
    ULONG eaten = 0;
    com::ComPtr<IMoniker> moniker;
    hr = MkParseDisplayName(context.Get(), kMoniker, &eaten, moniker.Out());
    if (FAILED(hr)) return hr;
    return moniker->BindToObject(context.Get(), nullptr, service->Iid(), service->OutVoid());
}

// Takes the dispatch interface out of an element of the set.
HRESULT TakeDispatch(com::Variant& element, com::ComPtr<IDispatch>* object) {
    object->Reset();
    if (element.vt == VT_DISPATCH && element.pdispVal != nullptr) {
        object->Attach(element.pdispVal);  // the element's reference
        element.vt = VT_EMPTY;
        return S_OK;
    }
    if (element.vt == VT_UNKNOWN && element.punkVal != nullptr)
        return com::ComPtr<IUnknown>::Share(element.punkVal).As(object);
    return DISP_E_TYPEMISMATCH;
}

class WindowsManagementService final : public ManagementService {
  public:
    HRESULT InstancesOf(std::u16string_view className,
                        std::vector<std::unique_ptr<ManagementObject>>* instances) override {
        if (instances == nullptr) return E_POINTER;
        instances->clear();
        const HRESULT hr = com::Boundary([&] { return List(className, instances); });
        if (FAILED(hr)) instances->clear();
        return hr;
    }

  private:
    static HRESULT List(std::u16string_view className,
                        std::vector<std::unique_ptr<ManagementObject>>* instances) {
        com::ComPtr<IDispatch> service;
        HRESULT hr = BindService(&service);
        if (FAILED(hr)) return hr;

        DISPID instancesOf = 0;
        hr = IdOf(service.Get(), L"InstancesOf", &instancesOf);
        if (FAILED(hr)) return hr;
        com::Variant name;
        if (FAILED(hr = com::ReturnText(className, &name))) return hr;
        com::Variant set;
        hr = Invoke(service.Get(), instancesOf, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &name, 1,
                    &set);
        if (FAILED(hr)) return hr;
        if (set.vt != VT_DISPATCH || set.pdispVal == nullptr) return DISP_E_TYPEMISMATCH;

        com::Variant enumerator;
        hr = Invoke(set.pdispVal, DISPID_NEWENUM, DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr,
                    0, &enumerator);
        if (FAILED(hr)) return hr;
        if ((enumerator.vt != VT_UNKNOWN && enumerator.vt != VT_DISPATCH) ||
            enumerator.punkVal == nullptr)
            return DISP_E_TYPEMISMATCH;
        com::ComPtr<IEnumVARIANT> items;
        hr = com::ComPtr<IUnknown>::Share(enumerator.punkVal).As(&items);
        if (FAILED(hr)) return hr;

        for (;;) {
            com::Variant element;
            ULONG fetched = 0;
            hr = items->Next(1, &element, &fetched);
            if (FAILED(hr)) return hr;
            if (hr != S_OK || fetched == 0) break;
            com::ComPtr<IDispatch> object;
            hr = TakeDispatch(element, &object);
            if (FAILED(hr)) return hr;
            instances->push_back(std::make_unique<WindowsObject>(std::move(object)));
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
