// Self-registration with the system registry: the embedded type library, the class identifier
// key with its in-process server, the programmatic identifier and the class interface,
// marshalled through the type library.
#include <windows.h>
// After windows.h:
#include <oleauto.h>
#include <olectl.h>

#include <new>
#include <string>

#include "com/boundary.h"
#include "com/guid.h"
#include "com/owners.h"
#include "com/text.h"
#include "frame/module.h"
#include "frame/type_library.h"

namespace frame {

namespace {

std::wstring Wide(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}
std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

// The system's marshaller that works from a type library.
constexpr const wchar_t* kTypeLibMarshaller = L"{00020424-0000-0000-C000-000000000046}";
// The plug-ins' type libraries are in English (United States), version 1.0.
constexpr LCID kTypeLibLocale = 0x0409;
constexpr SYSKIND kSysKind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;

HRESULT SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY handle = nullptr;
    LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_WRITE, nullptr, &handle, nullptr);
    if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
    rc = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(rc);
}

// Removes a key with everything below it; a key that is not there is no failure.
HRESULT DeleteTree(const std::wstring& key) {
    const LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) return S_OK;
    return HRESULT_FROM_WIN32(rc);
}

// The value `name` of `key`, or empty.
std::wstring ReadValue(const std::wstring& key, const wchar_t* name) {
    wchar_t buffer[256] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
        ERROR_SUCCESS)
        return {};
    return buffer;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

HRESULT Unregister(const Identity& id) {
    const std::wstring clsid = Wide(com::GuidToString(id.clsid));
    const std::wstring libid = Wide(com::GuidToString(id.libid));
    HRESULT result = S_OK;
    auto keep = [&result](HRESULT hr) {
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    };

    // The type library: the system removes it with the interfaces it registered.
    const HRESULT hr = UnRegisterTypeLib(id.libid, 1, 0, kTypeLibLocale, kSysKind);
    if (FAILED(hr) && hr != TYPE_E_REGISTRYACCESS && hr != TYPE_E_CANTLOADLIBRARY &&
        hr != TYPE_E_LIBNOTREGISTERED && hr != HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))
        keep(hr);
    // What it may have left when the library's file could not be read any more.
    keep(DeleteTree(L"TypeLib\\" + libid + L"\\1.0"));
    RegDeleteKeyW(HKEY_CLASSES_ROOT, (L"TypeLib\\" + libid).c_str());  // only when empty
    keep(DeleteTree(L"Interface\\" + Wide(com::GuidToString(id.classIid))));

    keep(DeleteTree(L"CLSID\\" + clsid));
    // The programmatic identifier, unless another class has taken it over since.
    const std::wstring progId = Wide(id.progId);
    const std::wstring owner = ReadValue(progId + L"\\CLSID", nullptr);
    if (owner.empty() || SameText(owner, clsid)) keep(DeleteTree(progId));
    return result;
}

HRESULT Register(const Identity& id) {
    const std::wstring path = OwnModulePath();
    if (path.empty()) return SELFREG_E_CLASS;

    // The type library, from this library's own file. Registering it also registers the
    // class interface, which is dual, for marshalling through it.
    com::ComPtr<ITypeLib> typeLib;
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_REGISTER, typeLib.Out());
    if (FAILED(hr)) return hr;

    const std::wstring clsid = Wide(com::GuidToString(id.clsid));
    const std::wstring libid = Wide(com::GuidToString(id.libid));
    const std::wstring className = Wide(id.className);
    const std::wstring progId = Wide(id.progId);
    const std::wstring clsidKey = L"CLSID\\" + clsid;
    const std::wstring interfaceKey = L"Interface\\" + Wide(com::GuidToString(id.classIid));
    const struct {
        std::wstring key;
        const wchar_t* name;
        std::wstring value;
    } values[] = {
        {clsidKey, nullptr, progId},
        {clsidKey + L"\\InprocServer32", nullptr, path},
        {clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {clsidKey + L"\\ProgID", nullptr, progId},
        {clsidKey + L"\\VERSION", nullptr, L"1.0"},
        {clsidKey + L"\\TypeLib", nullptr, libid},
        {clsidKey + L"\\Programmable", nullptr, L""},
        {progId, nullptr, progId},
        {progId + L"\\CLSID", nullptr, clsid},
        // The class interface, written out as well: the same entries the type library's
        // registration makes, so that they do not depend on how the system registers it.
        {interfaceKey, nullptr, L"_" + className},
        {interfaceKey + L"\\ProxyStubClsid", nullptr, kTypeLibMarshaller},
        {interfaceKey + L"\\ProxyStubClsid32", nullptr, kTypeLibMarshaller},
        {interfaceKey + L"\\TypeLib", nullptr, libid},
        {interfaceKey + L"\\TypeLib", L"Version", L"1.0"},
    };
    for (const auto& v : values)
        if (FAILED(hr = SetValue(v.key, v.name, v.value))) return hr;
    return S_OK;
}

}  // namespace

HRESULT RegisterServer(const ClassEntry& entry) {
    const HRESULT hr = com::Boundary([&] { return Register(entry.identity); });
    // A registration that failed half-way leaves nothing behind.
    if (FAILED(hr)) com::Boundary([&] { return Unregister(entry.identity); });
    return hr;
}

HRESULT UnregisterServer(const ClassEntry& entry) {
    return com::Boundary([&] { return Unregister(entry.identity); });
}

}  // namespace frame
