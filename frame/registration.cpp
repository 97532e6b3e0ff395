#include "frame/registration.h"

#include <new>
#include <string>

#include "com/boundary.h"
#include "com/guid.h"
#include "com/text.h"
#include "frame/module.h"
#include "platform/own_module.h"

namespace frame {

namespace {

// The system's marshaller that works from a type library.
constexpr std::u16string_view kTypeLibMarshaller = u"{00020424-0000-0000-C000-000000000046}";
// The plug-ins' type libraries are in English (United States), version 1.0.
constexpr LCID kTypeLibLocale = 0x0409;

std::u16string KeyText(const GUID& guid) {
    return com::Widen(com::GuidToString(guid));
}

HRESULT Unregister(const Identity& id, platform::RegistryWriter& registry,
                   platform::TypeLibraries& typeLibraries) {
    const std::u16string clsid = KeyText(id.clsid);
    const std::u16string libid = KeyText(id.libid);
    HRESULT result = S_OK;
    auto keep = [&result](HRESULT hr) {
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    };

    // The type library: the system removes it with the interfaces it registered.
    keep(typeLibraries.Unregister(id.libid, 1, 0, kTypeLibLocale));
    // What it may have left when the library's file could not be read any more.
    keep(registry.DeleteTree(u"TypeLib\\" + libid + u"\\1.0"));
    registry.DeleteIfEmpty(u"TypeLib\\" + libid);
    keep(registry.DeleteTree(u"Interface\\" + KeyText(id.classIid)));

    keep(registry.DeleteTree(u"CLSID\\" + clsid));
    // The programmatic identifier, unless another class has taken it over since.
    const std::u16string progId(id.progId);
    const std::u16string owner = registry.ReadText(progId + u"\\CLSID", {});
    if (owner.empty() || com::EqualsNoCase(owner, clsid)) keep(registry.DeleteTree(progId));
    return result;
}

HRESULT Register(const Identity& id, std::u16string_view modulePath,
                 platform::RegistryWriter& registry, platform::TypeLibraries& typeLibraries) {
    if (modulePath.empty()) return SELFREG_E_CLASS;
    // The type library, from the module's own file. Registering it also registers the class
    // interface, which is dual, for marshalling through it.
    HRESULT hr = typeLibraries.Register(modulePath);
    if (FAILED(hr)) return hr;

    const std::u16string clsid = KeyText(id.clsid);
    const std::u16string libid = KeyText(id.libid);
    const std::u16string progId(id.progId);
    const std::u16string clsidKey = u"CLSID\\" + clsid;
    const std::u16string interfaceKey = u"Interface\\" + KeyText(id.classIid);
    const struct {
        std::u16string key;
        std::u16string_view name;
        std::u16string value;
    } values[] = {
        {clsidKey, {}, progId},
        {clsidKey + u"\\InprocServer32", {}, std::u16string(modulePath)},
        {clsidKey + u"\\InprocServer32", u"ThreadingModel", u"Apartment"},
        {clsidKey + u"\\ProgID", {}, progId},
        {clsidKey + u"\\VERSION", {}, u"1.0"},
        {clsidKey + u"\\TypeLib", {}, libid},
        {clsidKey + u"\\Programmable", {}, u""},
        {progId, {}, progId},
        {progId + u"\\CLSID", {}, clsid},
        // The class interface, written out as well: the same entries the type library's
        // registration makes, so that they do not depend on how the system registers it.
        {interfaceKey, {}, u"_" + std::u16string(id.className)},
        {interfaceKey + u"\\ProxyStubClsid", {}, std::u16string(kTypeLibMarshaller)},
        {interfaceKey + u"\\ProxyStubClsid32", {}, std::u16string(kTypeLibMarshaller)},
        {interfaceKey + u"\\TypeLib", {}, libid},
        {interfaceKey + u"\\TypeLib", u"Version", u"1.0"},
    };
    for (const auto& v : values)
        if (FAILED(hr = registry.SetText(v.key, v.name, v.value))) return hr;
    return S_OK;
}

}  // namespace

HRESULT RegisterClassKeys(const Identity& id, std::u16string_view modulePath,
                          platform::RegistryWriter& registry,
                          platform::TypeLibraries& typeLibraries) {
    const HRESULT hr =
        com::Boundary([&] { return Register(id, modulePath, registry, typeLibraries); });
    // A registration that failed half-way leaves nothing behind.
    if (FAILED(hr)) UnregisterClassKeys(id, registry, typeLibraries);
    return hr;
}

HRESULT UnregisterClassKeys(const Identity& id, platform::RegistryWriter& registry,
                            platform::TypeLibraries& typeLibraries) {
    return com::Boundary([&] { return Unregister(id, registry, typeLibraries); });
}

HRESULT RegisterClassRecord(const Identity& id, const std::filesystem::path& modulePath,
                            platform::ClassRecords& records) {
    return com::Boundary([&]() -> HRESULT {
        if (modulePath.empty()) return SELFREG_E_CLASS;
        platform::ClassRecord record;
        record.clsid = com::GuidToString(id.clsid);
        record.progId = com::ToUtf8(id.progId);
        record.className = com::ToUtf8(id.className);
        record.path = modulePath.string();
        record.threadingModel = "Apartment";
        record.typeLib = com::GuidToString(id.libid);
        record.version = "1.0";
        return records.Write(record) ? S_OK : SELFREG_E_CLASS;
    });
}

HRESULT UnregisterClassRecord(const Identity& id, platform::ClassRecords& records) {
    return com::Boundary([&]() -> HRESULT {
        return records.Remove(com::GuidToString(id.clsid)) ? S_OK : SELFREG_E_CLASS;
    });
}

// The library's own registration, on the system's registry or records.
HRESULT RegisterServer(const ClassEntry& entry) {
    return com::Boundary([&] {
        const std::filesystem::path path = platform::OwnModulePath();
#if defined(_WIN32)
        return RegisterClassKeys(entry.identity, com::AsUtf16(path.native()),
                                 platform::SystemRegistryWriter(), platform::SystemTypeLibraries());
#else
        return RegisterClassRecord(entry.identity, path, platform::SystemClassRecords());
#endif
    });
}

HRESULT UnregisterServer(const ClassEntry& entry) {
#if defined(_WIN32)
    return UnregisterClassKeys(entry.identity, platform::SystemRegistryWriter(),
                               platform::SystemTypeLibraries());
#else
    return UnregisterClassRecord(entry.identity, platform::SystemClassRecords());
#endif
}

}  // namespace frame
