// The object frame shared by every plug-in class: identity, reference counting, the
// configuration string, constant answers, Description and late-bound access to the class
// interface. A plug-in class derives from PluginObject and adds its items and polling.
//
// PluginObject implements every member of IUnknown, IDispatch, ITessivar2Plugin and
// ITessivar2DataProvider, final, each through one of the shapes of frame/members.h: the body
// runs inside com::Boundary and the out-argument rules hold around it. The bodies are plain
// functions that the frame calls on `Derived`:
//
//   HRESULT Poll();                                  // PollData
//   HRESULT ItemName(LONG index, BSTR* name);        // get_Name
//   HRESULT ItemValue(LONG index, VARIANT* value);   // get_Value
//
// which every class writes, and the frame's own (PluginCore's and ItemDisplayName, which
// answers the name), which a class may replace by declaring a body of the same name. A body
// gets a valid out-argument that holds nothing yet; whatever it leaves there on failure is
// freed. The class declares its bodies private and the frame (`friend PluginObject;`) its
// friend. The class interface's own methods come from its identity header through
// frame/class_interface.h, which makes their bounded overrides the same way.
#pragma once

#include <string>
#include <string_view>

#include "com/com.h"
#include "com/owners.h"
#include "frame/dispatch.h"
#include "frame/host_interfaces.h"
#include "frame/members.h"

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

// The configuration string and the frame's bodies of its own members.
class PluginCore {
  public:
    explicit PluginCore(const Identity& identity) : identity_(identity) {}
    const Identity& identity() const { return identity_; }

  protected:
    // ITessivar2Plugin: Configure empties the configuration string and answers "not changed".
    HRESULT ShowConfiguration(VARIANT_BOOL* changed);
    HRESULT Description(BSTR* text);
    HRESULT ConfigurationString(BSTR* text);
    HRESULT SetConfigurationString(BSTR text);
    // ITessivar2DataProvider's constants.
    HRESULT PollMethod(LONG* value);
    HRESULT PollFreqency(LONG* value);
    HRESULT Count(LONG* value);
    // IDispatch over the class's method table. On Windows the type information is the class
    // interface's from the library's embedded type library (none where the module embeds none);
    // the stand-in elsewhere has no type libraries.
    HRESULT TypeInfoCount(UINT* count);
    HRESULT TypeInfo(UINT index, ITypeInfo** info);
    HRESULT IdsOfNames(REFIID riid, LPOLESTR* names, UINT count, DISPID* ids);
    HRESULT InvokeMethod(IDispatch* self, DISPID id, REFIID riid, WORD flags, DISPPARAMS* params,
                         VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr);
    // The class interface's Check128, shared by the classes that have it.
    HRESULT Check128Impl(BSTR text, VARIANT_BOOL* result);

  private:
    const Identity& identity_;
    com::Bstr configuration_;
};

// The object starts with one reference.
template <class Derived, class ClassInterface>
class PluginObject : public ClassInterface,
                     public ITessivar2Plugin,
                     public ITessivar2DataProvider,
                     public PluginCore {
  public:
    explicit PluginObject(const Identity& identity) : PluginCore(identity) { ModuleAddRef(); }
    PluginObject(const PluginObject&) = delete;
    PluginObject& operator=(const PluginObject&) = delete;

    // IUnknown: one identity for every interface; counting references cannot fail.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) final {
        if (ppv == nullptr) return E_POINTER;
        *ppv = nullptr;
        return RunMember([&] { return FindInterface(riid, ppv); });
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept final { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() noexcept final {
        const ULONG left = --refs_;
        if (left == 0) delete static_cast<Derived*>(this);
        return left;
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) final {
        return ValueMember(count, [&](UINT* n) { return Self().TypeInfoCount(n); });
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) final {
        return InterfaceMember(info, [&](ITypeInfo** out) { return Self().TypeInfo(index, out); });
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) final {
        return NamesMember(count, ids, [&] { return Self().IdsOfNames(riid, names, count, ids); });
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) final {
        IDispatch* self = static_cast<ClassInterface*>(this);
        return InvokeMember(result, excepInfo, [&](VARIANT* value, EXCEPINFO* record) {
            return Self().InvokeMethod(self, id, riid, flags, params, value, record, argErr);
        });
    }

    // ITessivar2Plugin
    HRESULT STDMETHODCALLTYPE Configure(VARIANT_BOOL* result) final {
        return ValueMember(
            result, [&](VARIANT_BOOL* changed) { return Self().ShowConfiguration(changed); });
    }
    HRESULT STDMETHODCALLTYPE get_Description(BSTR* result) final {
        return StringMember(result, [&](BSTR* text) { return Self().Description(text); });
    }
    HRESULT STDMETHODCALLTYPE get_ConfigurationString(BSTR* result) final {
        return StringMember(result, [&](BSTR* text) { return Self().ConfigurationString(text); });
    }
    HRESULT STDMETHODCALLTYPE put_ConfigurationString(BSTR text) final {
        return RunMember([&] { return Self().SetConfigurationString(text); });
    }

    // ITessivar2DataProvider
    HRESULT STDMETHODCALLTYPE PollData() final {
        return RunMember([&] { return Self().Poll(); });
    }
    HRESULT STDMETHODCALLTYPE get_PollMethod(LONG* result) final {
        return ValueMember(result, [&](LONG* value) { return Self().PollMethod(value); });
    }
    HRESULT STDMETHODCALLTYPE get_PollFreqency(LONG* result) final {
        return ValueMember(result, [&](LONG* value) { return Self().PollFreqency(value); });
    }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* result) final {
        return ValueMember(result, [&](LONG* value) { return Self().Count(value); });
    }
    HRESULT STDMETHODCALLTYPE get_Name(LONG index, BSTR* result) final {
        return StringMember(result, [&](BSTR* name) { return Self().ItemName(index, name); });
    }
    HRESULT STDMETHODCALLTYPE get_DisplayName(LONG index, BSTR* result) final {
        return StringMember(result,
                            [&](BSTR* name) { return Self().ItemDisplayName(index, name); });
    }
    HRESULT STDMETHODCALLTYPE get_Value(LONG index, VARIANT* result) final {
        return VariantMember(result,
                             [&](VARIANT* value) { return Self().ItemValue(index, value); });
    }

  protected:
    ~PluginObject() { ModuleRelease(); }

    // The display name: the item's name, unless the class has a body of its own.
    HRESULT ItemDisplayName(LONG index, BSTR* name) { return Self().ItemName(index, name); }

  private:
    Derived& Self() { return static_cast<Derived&>(*this); }

    HRESULT FindInterface(REFIID riid, void** ppv) {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
            IsEqualIID(riid, identity().classIid))
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
