#include "host/plugins/plugin.h"

#include <filesystem>

#if !defined(_WIN32)
#include "platform/posix/class_records.h"
#endif
#include "com/guid.h"
#include "com/text.h"
#include "host/plugins/known_plugins.h"
#include "host/plugins/library.h"
#include "host/plugins/library_search.h"
#include "host/plugins/status_text.h"

namespace host {

namespace fs = std::filesystem;

namespace {

// Wraps the object of a plug-in, or null with an error when it lacks a host interface.
std::unique_ptr<Plugin> Hold(const std::string& name, std::shared_ptr<Library> library,
                             com::ComPtr<IUnknown> object, std::string* error) {
    auto plugin = std::make_unique<Plugin>(name, std::move(library), std::move(object));
    if (!plugin->ok()) {
        *error = name + " does not offer both host interfaces";
        return nullptr;
    }
    return plugin;
}

// Creates the object of class `clsid` from an open library, following the host's order:
// the class factory, then the object, then both host interfaces from it.
std::unique_ptr<Plugin> Create(const std::string& name, std::shared_ptr<Library> library,
                               const GUID& clsid, std::string* error) {
    com::ComPtr<IClassFactory> factory;
    HRESULT hr = library->getClassObject()(clsid, factory.Iid(), factory.OutVoid());
    if (FAILED(hr) || !factory) {
        *error =
            library->path() + " has no class " + com::GuidToString(clsid) + ": " + StatusText(hr);
        return nullptr;
    }
    com::ComPtr<IUnknown> object;
    hr = factory->CreateInstance(nullptr, object.Iid(), object.OutVoid());
    factory.Reset();
    if (FAILED(hr) || !object) {
        *error = "cannot create the object of " + name;
        return nullptr;
    }
    return Hold(name, std::move(library), std::move(object), error);
}

std::unique_ptr<Plugin> FromPath(const fs::path& path, const std::string& name,
                                 std::string* error) {
    auto library = Library::Open(path.string(), error);
    if (!library) return nullptr;
    // Try each known class; a library answers only for its own.
    for (const KnownPlugin& known : kKnownPlugins) {
        com::ComPtr<IClassFactory> probe;
        if (FAILED(library->getClassObject()(known.clsid, probe.Iid(), probe.OutVoid()))) continue;
        probe.Reset();
        return Create(name.empty() ? std::string(known.name) : name, library, known.clsid, error);
    }
    *error = path.string() + " holds none of the known plug-in classes";
    return nullptr;
}

std::unique_ptr<Plugin> FromFolders(const KnownPlugin& known, std::string* error) {
    const std::string name(known.name);
    for (const auto& folder : PluginFolders()) {
        const fs::path candidate = folder / (name + kLibrarySuffix);
        std::error_code ec;
        if (fs::exists(candidate, ec)) return FromPath(candidate, name, error);
    }
    *error = "plug-in " + name + " not found in " + PluginSearchPath();
    return nullptr;
}

#if defined(_WIN32)
// Creates the class registered under a ProgID or a CLSID with CoCreateInstance.
std::unique_ptr<Plugin> FromRegistry(const std::string& named, std::string* error) {
    const HRESULT entered = EnterApartment();
    if (FAILED(entered) && entered != RPC_E_CHANGED_MODE) {
        *error = "cannot enter the component system: " + StatusText(entered);
        return nullptr;
    }
    const std::wstring wide = com::WideFromUtf8(named);
    CLSID clsid;
    HRESULT hr = named.front() == '{' ? CLSIDFromString(wide.c_str(), &clsid)
                                      : CLSIDFromProgID(wide.c_str(), &clsid);
    if (FAILED(hr)) {
        *error = "class " + named + " is not registered: " + StatusText(hr);
        return nullptr;
    }
    com::ComPtr<IUnknown> object;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, object.Iid(), object.OutVoid());
    if (FAILED(hr) || !object) {
        // The words of REGDB_E_CLASSNOTREG are the message's own.
        *error = hr == REGDB_E_CLASSNOTREG
                     ? "class " + named + " is not registered (" + StatusCode(hr) + ")"
                     : "cannot create " + named + ": " + StatusText(hr);
        return nullptr;
    }
    // The name shown is the plug-in's: the known class's name, or the ProgID's first part.
    const KnownPlugin* known = FindKnownClass(clsid);
    const std::string name = known ? std::string(known->name) : named.substr(0, named.find('.'));
    return Hold(name, nullptr, std::move(object), error);
}
#else
// Creates the class that a record of the class registry names, from the library it names.
std::unique_ptr<Plugin> FromRegistry(const std::string& named, std::string* error) {
    const auto record = platform::FindClassRecord(named);
    GUID clsid;
    if (!record) {
        *error = "class " + named + " is not registered (" + StatusCode(REGDB_E_CLASSNOTREG) + ")";
        return nullptr;
    }
    if (!com::ParseGuid(record->clsid, &clsid)) {
        *error = "class " + named + " has a malformed record (CLSID '" + record->clsid + "')";
        return nullptr;
    }
    auto library = Library::Open(record->path, error);
    if (!library) return nullptr;
    const std::string name = record->progId.substr(0, record->progId.find('.'));
    return Create(name, std::move(library), clsid, error);
}
#endif

}  // namespace

#if defined(_WIN32)
HRESULT EnterApartment() {
    // Left when lcdhost exits, after every plug-in is released.
    struct Apartment {
        HRESULT status = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ~Apartment() {
            if (SUCCEEDED(status)) CoUninitialize();
        }
    };
    static const Apartment apartment;
    return apartment.status;
}
#endif

Plugin::Plugin(std::string name, std::shared_ptr<Library> library, com::ComPtr<IUnknown> object)
    : name_(std::move(name)),
      library_(std::move(library)),
      object_(std::move(object)),
      plugin_(object_.As<ITessivar2Plugin>()),
      provider_(object_.As<ITessivar2DataProvider>()),
      dispatch_(object_.As<IDispatch>()) {}

std::unique_ptr<Plugin> LoadPlugin(const std::string& named, std::string* error) {
    if (named.empty()) {
        *error = "no plug-in named";
        return nullptr;
    }
    const bool looksLikePath = named.find('/') != std::string::npos ||
                               named.find('\\') != std::string::npos ||
                               (named.size() > 3 && fs::path(named).extension() == kLibrarySuffix);
    if (looksLikePath) return FromPath(named, "", error);
    if (const KnownPlugin* known = FindKnownPlugin(named)) return FromFolders(*known, error);
    if (named.find('.') != std::string::npos || named.front() == '{')
        return FromRegistry(named, error);
    *error = "unknown plug-in '" + named + "' (expected " + KnownPluginNames() +
             ", a ProgID or a library path)";
    return nullptr;
}

}  // namespace host
