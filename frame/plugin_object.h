// The object frame shared by every plug-in class: identity, reference counting, the
// configuration string, constant answers, Description and late-bound access to the class
// interface. A plug-in class derives from PluginObject and adds its items and polling.
#pragma once

#include <new>
#include <string>
#include <string_view>

#include "com/boundary.h"
#include "com/com.h"
#include "com/owners.h"
#include "frame/dispatch.h"
#include "frame/host_interfaces.h"
#include "frame/type_library.h"

namespace frame {

struct Version {
    unsigned major, minor, build, revision;
};

// Everything fixed about a plug-in class.
struct Identity {
    std::u16string_view product;    // library and type library name, e.g. "Wendrikai"
    std::u16string_view className;  // e.g. "Uptime"
    std::u16string_view progId;     // product, point, class name
    LONG count;
    LONG pollFreqency;
    LONG pollMethod;
    Version version;
    CLSID clsid;
    IID classIid;
    GUID libid;
    MethodTable methods;
};

// "<product> v<major>.<minor>", e.g. "Orvantel v1.1".
std::u16string DescriptionText(std::u16string_view product, const Version& version);

// True (-1) when a character of `text` has a code above 127 in the narrow code page.
VARIANT_BOOL HasCharAbove127(std::u16string_view text);

// Live objects and server locks of this library, for DllCanUnloadNow.
void ModuleAddRef();
void ModuleRelease();
long ModuleUsage();

// Item index as the host passes it: valid when below `count` taken unsigned.
inline bool InRange(LONG index, LONG count) {
    return static_cast<ULONG>(index) < static_cast<ULONG>(count);
}

// The configuration string and the constant answers, kept apart from the interface plumbing.
class PluginCore {
  public:
    explicit PluginCore(const Identity& identity) : identity_(identity) {}
    const Identity& identity() const { return identity_; }

    HRESULT Configure(VARIANT_BOOL* result);
    HRESULT GetDescription(BSTR* result) const;
    HRESULT GetConfigurationString(BSTR* result) const;
    HRESULT PutConfigurationString(BSTR text);
    HRESULT Constant(LONG value, LONG* result) const;

  private:
    const Identity& identity_;
    com::Bstr configuration_;
};

// Implements IUnknown, IDispatch and ITessivar2Plugin and the constant members of
// ITessivar2DataProvider for `Derived`, which implements its class interface's methods,
// PollData, get_Name, get_DisplayName and get_Value. The object starts with one reference.
template <class Derived, class ClassInterface>
class PluginObject : public ClassInterface, public ITessivar2Plugin, public ITessivar2DataProvider {
  public:
    explicit PluginObject(const Identity& identity) : core_(identity) { ModuleAddRef(); }
    PluginObject(const PluginObject&) = delete;
    PluginObject& operator=(const PluginObject&) = delete;

    // IUnknown: one identity for every interface.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        *ppv = nullptr;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
            IsEqualIID(riid, core_.identity().classIid))
            *ppv = static_cast<ClassInterface*>(this);
        else if (IsEqualIID(riid, IID_ITessivar2Plugin))
            *ppv = static_cast<ITessivar2Plugin*>(this);
        else if (IsEqualIID(riid, IID_ITessivar2DataProvider))
            *ppv = static_cast<ITessivar2DataProvider*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete static_cast<Derived*>(this);
        return left;
    }

    // IDispatch over the class's method table. On Windows the type information is the class
    // interface's from the library's embedded type library (none where the module embeds
    // none); the stand-in elsewhere has no type libraries.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
#if defined(_WIN32)
        com::ComPtr<ITypeInfo> info;
        if (SUCCEEDED(LoadOwnTypeInfo(core_.identity().classIid, info.Out()))) *count = 1;
#endif
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (info == nullptr) return E_POINTER;
        *info = nullptr;
#if defined(_WIN32)
        if (index == 0) return LoadOwnTypeInfo(core_.identity().classIid, info);
#else
        (void)index;
#endif
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        return DispatchGetIDsOfNames(core_.identity().methods, riid, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override {
        return DispatchInvoke(core_.identity().methods, core_.identity().progId,
                              static_cast<ClassInterface*>(this), id, riid, flags, params, result,
                              excepInfo, argErr);
    }

    // ITessivar2Plugin
    HRESULT STDMETHODCALLTYPE Configure(VARIANT_BOOL* result) override {
        return core_.Configure(result);
    }
    HRESULT STDMETHODCALLTYPE get_Description(BSTR* result) override {
        return core_.GetDescription(result);
    }
    HRESULT STDMETHODCALLTYPE get_ConfigurationString(BSTR* result) override {
        return core_.GetConfigurationString(result);
    }
    HRESULT STDMETHODCALLTYPE put_ConfigurationString(BSTR text) override {
        return core_.PutConfigurationString(text);
    }

    // ITessivar2DataProvider: the constants.
    HRESULT STDMETHODCALLTYPE get_PollMethod(LONG* result) override {
        return core_.Constant(core_.identity().pollMethod, result);
    }
    HRESULT STDMETHODCALLTYPE get_PollFreqency(LONG* result) override {
        return core_.Constant(core_.identity().pollFreqency, result);
    }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* result) override {
        return core_.Constant(core_.identity().count, result);
    }

  protected:
    ~PluginObject() {
        ModuleRelease();
    }
    const Identity& identity() const {
        return core_.identity();
    }

    // The class interface's Check128.
    HRESULT Check128Member(BSTR text, VARIANT_BOOL* result) {
        if (result == nullptr) return E_POINTER;
        *result = HasCharAbove127(com::View(text));
        return S_OK;
    }

  private:
    PluginCore core_;
    ULONG refs_ = 1;
};

// Creates an object with `make` (which returns it holding one reference) and hands out the
// requested interface; the creation's own reference is dropped. Exhausted memory, whether
// `make` answers null or the platform's first set-up throws std::bad_alloc, is E_OUTOFMEMORY.
template <class Make>
HRESULT CreateAndQuery(Make make, REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    com::ComPtr<IUnknown> object;
    const HRESULT made = com::Boundary([&] {
        object.Attach(make());
        return object ? S_OK : E_OUTOFMEMORY;
    });
    if (FAILED(made)) return made;
    return object->QueryInterface(riid, ppv);
}

}  // namespace frame
