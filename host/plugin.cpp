#include "host/plugin.h"

#include <array>
#include <filesystem>
#include <vector>

#if !defined(_WIN32)
#include "platform/posix/class_records.h"
#endif
#include "com/guid.h"
#include "com/text.h"
#include "cpuinfo/orvantel_class.h"
#include "date/tamblorin_class.h"
#include "host/library.h"
#include "host/text_output.h"
#include "uptime/wendrikai_class.h"

namespace host {

namespace fs = std::filesystem;

namespace {

#if defined(_WIN32)
constexpr const char* kLibrarySuffix = ".dll";
#else
constexpr const char* kLibrarySuffix = ".so";
#endif

// The plug-ins this host knows by name.
struct Known {
    const char* name;
    const char* progId;
    const char* clsid;
};
constexpr std::array<Known, 3> kKnown = {{
    {"Orvantel", ORVANTEL_PROGID, "{" ORVANTEL_CLSID "}"},
    {"Tamblorin", TAMBLORIN_PROGID, "{" TAMBLORIN_CLSID "}"},
    {"Wendrikai", WENDRIKAI_PROGID, "{" WENDRIKAI_CLSID "}"},
}};

bool SameNoCase(const std::string& a, const std::string& b) {
    return com::EqualsNoCase(com::Widen(a), com::Widen(b));
}

std::vector<fs::path> SearchFolders() {
    std::vector<fs::path> folders;
    const fs::path exe = ExecutableFolder();
    folders.push_back(exe);
    folders.push_back(exe / ".." / "lib" / "tessivar");
#ifdef TESS_LIBRARY_ARCHITECTURE
    // The multiarch library folder of a distribution package (/usr/lib/x86_64-linux-gnu/...).
    folders.push_back(exe / ".." / "lib" / TESS_LIBRARY_ARCHITECTURE / "tessivar");
#endif
#ifdef TESS_PLUGIN_DIR
    // The build's plug-in folder, listed only by an lcdhost that runs from it (the build puts
    // lcdhost beside the plug-ins there): a copied or installed lcdhost never looks into the
    // build tree, even while it still exists.
    std::error_code ec;
    if (fs::equivalent(exe, TESS_PLUGIN_DIR, ec)) folders.emplace_back(TESS_PLUGIN_DIR);
#endif
    return folders;
}

// Creates the object of class `clsid` from an open library, following the host's order:
// the class factory, then the object, then both host interfaces from it.
std::unique_ptr<Plugin> Create(const std::string& name, std::shared_ptr<Library> library,
                               const GUID& clsid, std::string* error) {
    com::ComPtr<IClassFactory> factory;
    HRESULT hr = library->getClassObject()(clsid, IID_IClassFactory, factory.OutVoid());
    if (FAILED(hr) || !factory) {
        *error =
            library->path() + " has no class " + com::GuidToString(clsid) + ": " + StatusText(hr);
        return nullptr;
    }
    com::ComPtr<IUnknown> object;
    hr = factory->CreateInstance(nullptr, IID_IUnknown, object.OutVoid());
    factory.Reset();
    if (FAILED(hr) || !object) {
        *error = "cannot create the object of " + name;
        return nullptr;
    }
    auto plugin = std::make_unique<Plugin>(name, std::move(library), std::move(object));
    if (!plugin->ok()) {
        *error = name + " does not offer both host interfaces";
        return nullptr;
    }
    return plugin;
}

std::unique_ptr<Plugin> FromPath(const fs::path& path, const std::string& name,
                                 std::string* error) {
    auto library = Library::Open(path.string(), error);
    if (!library) return nullptr;
    // Try each known class; a library answers only for its own.
    for (const Known& k : kKnown) {
        GUID clsid;
        com::ParseGuid(k.clsid, &clsid);
        com::ComPtr<IClassFactory> probe;
        if (FAILED(library->getClassObject()(clsid, IID_IClassFactory, probe.OutVoid()))) continue;
        probe.Reset();
        return Create(name.empty() ? k.name : name, library, clsid, error);
    }
    *error = path.string() + " holds none of the known plug-in classes";
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
    const std::u16string text = com::FromUtf8(named);
    const std::wstring wide(text.begin(), text.end());
    CLSID clsid;
    HRESULT hr = named.front() == '{' ? CLSIDFromString(wide.c_str(), &clsid)
                                      : CLSIDFromProgID(wide.c_str(), &clsid);
    if (FAILED(hr)) {
        *error = "class " + named + " is not registered: " + StatusText(hr);
        return nullptr;
    }
    com::ComPtr<IUnknown> object;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.OutVoid());
    if (FAILED(hr) || !object) {
        // The words of REGDB_E_CLASSNOTREG are the message's own.
        *error = hr == REGDB_E_CLASSNOTREG
                     ? "class " + named + " is not registered (" + StatusCode(hr) + ")"
                     : "cannot create " + named + ": " + StatusText(hr);
        return nullptr;
    }
    // The name shown is the plug-in's: the ProgID's first part, or the known class's name.
    std::string name = named.substr(0, named.find('.'));
    for (const Known& k : kKnown) {
        GUID known;
        if (com::ParseGuid(k.clsid, &known) && IsEqualGUID(known, clsid)) name = k.name;
    }
    auto plugin = std::make_unique<Plugin>(name, nullptr, std::move(object));
    if (!plugin->ok()) {
        *error = name + " does not offer both host interfaces";
        return nullptr;
    }
    return plugin;
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
    : name_(std::move(name)), library_(std::move(library)), object_(std::move(object)) {
    object_.As(&plugin_);
    object_.As(&provider_);
    object_.As(&dispatch_);
}

std::string PluginSearchPath() {
    std::string path;
    for (const auto& folder : SearchFolders()) {
        if (!path.empty()) path += ", ";
        path += folder.lexically_normal().string();
    }
    return path;
}

std::unique_ptr<Plugin> LoadPlugin(const std::string& named, std::string* error) {
    if (named.empty()) {
        *error = "no plug-in named";
        return nullptr;
    }
    const bool looksLikePath = named.find('/') != std::string::npos ||
                               named.find('\\') != std::string::npos ||
                               (named.size() > 3 && fs::path(named).extension() == kLibrarySuffix);
    if (looksLikePath) return FromPath(named, "", error);

    for (const Known& k : kKnown) {
        if (!SameNoCase(named, k.name)) continue;
        for (const auto& folder : SearchFolders()) {
            const fs::path candidate = folder / (std::string(k.name) + kLibrarySuffix);
            std::error_code ec;
            if (fs::exists(candidate, ec)) return FromPath(candidate, k.name, error);
        }
        *error = std::string("plug-in ") + k.name + " not found in " + PluginSearchPath();
        return nullptr;
    }

    if (named.find('.') != std::string::npos || named.front() == '{') {
#if defined(_WIN32)
        return FromRegistry(named, error);
#else
        const auto record = platform::FindClassRecord(named);
        if (!record) {
            *error = "class " + named + " is not registered (0x80040154)";
            return nullptr;
        }
        GUID clsid;
        com::ParseGuid(record->clsid, &clsid);
        auto library = Library::Open(record->path, error);
        if (!library) return nullptr;
        const std::string name = record->progId.substr(0, record->progId.find('.'));
        return Create(name, std::move(library), clsid, error);
#endif
    }

    *error = "unknown plug-in '" + named +
             "' (expected Orvantel, Tamblorin, Wendrikai, a ProgID "
             "or a library path)";
    return nullptr;
}

}  // namespace host
