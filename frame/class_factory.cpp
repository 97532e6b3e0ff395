#include "frame/module.h"

namespace frame {

namespace {

// The library's class factory: one static object per library, counted only for the locks it
// holds on the server.
class ClassFactory final : public IClassFactory {
  public:
    explicit ClassFactory(const ClassEntry& entry) : entry_(entry) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        *ppv = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        return CreateAndQuery(entry_.create, riid, ppv);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            ModuleAddRef();
        else
            ModuleRelease();
        return S_OK;
    }

  private:
    const ClassEntry& entry_;
};

}  // namespace

HRESULT GetClassObject(const ClassEntry& entry, REFCLSID clsid, REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(clsid, entry.identity.clsid)) return CLASS_E_CLASSNOTAVAILABLE;
    static ClassFactory factory(entry);
    return factory.QueryInterface(riid, ppv);
}

HRESULT CanUnloadNow() {
    return ModuleUsage() == 0 ? S_OK : S_FALSE;
}

}  // namespace frame
