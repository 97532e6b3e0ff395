// A built plug-in library loaded as a host loads it, with its four entry points.
#pragma once

#include <dlfcn.h>

#include <string>

#include "com/owners.h"

namespace testing_support {

class PluginLibrary {
  public:
    using GetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);
    using NoArgFn = HRESULT (*)();

    // Loads `file` from the build's plug-in folder; loaded() tells whether it worked, error()
    // why not.
    explicit PluginLibrary(const std::string& file)
        : path_(std::string(TESS_BIN_DIR) + "/" + file),
          handle_(dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL)) {
        if (handle_ == nullptr) error_ = dlerror();
    }
    ~PluginLibrary() {
        if (handle_ != nullptr) dlclose(handle_);
    }
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    const std::string& error() const { return error_; }
    const std::string& path() const { return path_; }

    template <class F>
    F Entry(const char* name) const {
        return reinterpret_cast<F>(dlsym(handle_, name));
    }
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) const {
        return Entry<GetClassObjectFn>("DllGetClassObject")(clsid, iid, out);
    }
    HRESULT CanUnloadNow() const { return Entry<NoArgFn>("DllCanUnloadNow")(); }
    HRESULT Register() const { return Entry<NoArgFn>("DllRegisterServer")(); }
    HRESULT Unregister() const { return Entry<NoArgFn>("DllUnregisterServer")(); }

    // The class factory of `clsid`; null when it cannot be had.
    com::ComPtr<IClassFactory> Factory(REFCLSID clsid) const {
        com::ComPtr<IClassFactory> factory;
        if (FAILED(GetClassObject(clsid, IID_IClassFactory, factory.OutVoid()))) factory.Detach();
        return factory;
    }
    // A new object of class `clsid` through the class factory, as interface `iid`; null when
    // the factory or the object cannot be had.
    template <class I>
    com::ComPtr<I> Create(REFCLSID clsid, REFIID iid = com::IidOf<I>()) const {
        com::ComPtr<I> object;
        const auto factory = Factory(clsid);
        if (!factory || FAILED(factory->CreateInstance(nullptr, iid, object.OutVoid())))
            object.Detach();
        return object;
    }

  private:
    std::string path_;
    void* handle_;
    std::string error_;
};

}  // namespace testing_support
