// Self-registration with the system registry: the embedded type library, the class identifier
// key with its in-process server, and the programmatic identifier.
#include <windows.h>

#include <oleauto.h>
#include <olectl.h>

#include <string>

#include "frame/guid.h"
#include "frame/module.h"
#include "frame/text.h"

namespace frame {

namespace {

std::wstring Wide(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}
std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

std::wstring OwnLibraryPath() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&OwnLibraryPath), &module))
        return {};
    wchar_t buffer[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(module, buffer, static_cast<DWORD>(std::size(buffer)));
    if (n == 0 || n >= std::size(buffer)) return {};
    return std::wstring(buffer, n);
}

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

HRESULT DeleteTree(const std::wstring& key) {
    const LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) {
        RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
        return S_OK;
    }
    return HRESULT_FROM_WIN32(rc);
}

constexpr SYSKIND kSysKind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;

}  // namespace

HRESULT RegisterServer(const ClassEntry& entry) {
    try {
        const Identity& id = entry.identity;
        const std::wstring path = OwnLibraryPath();
        if (path.empty()) return SELFREG_E_CLASS;

        // The type library registers the class interface for marshalling through it.
        ITypeLib* typeLib = nullptr;
        HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_REGISTER, &typeLib);
        if (FAILED(hr)) return hr;
        typeLib->Release();

        const std::wstring clsid = Wide(GuidToString(id.clsid));
        const std::wstring progId = Wide(id.progId);
        const std::wstring clsidKey = L"CLSID\\" + clsid;
        const struct {
            std::wstring key;
            const wchar_t* name;
            std::wstring value;
        } values[] = {
            {clsidKey, nullptr, Wide(id.className)},
            {clsidKey + L"\\InprocServer32", nullptr, path},
            {clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
            {clsidKey + L"\\ProgID", nullptr, progId},
            {clsidKey + L"\\VERSION", nullptr, L"1.0"},
            {clsidKey + L"\\TypeLib", nullptr, Wide(GuidToString(id.libid))},
            {clsidKey + L"\\Programmable", nullptr, L""},
            {progId, nullptr, Wide(id.className)},
            {progId + L"\\CLSID", nullptr, clsid},
        };
        for (const auto& v : values)
            if (FAILED(hr = SetValue(v.key, v.name, v.value))) return hr;
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT UnregisterServer(const ClassEntry& entry) {
    try {
        const Identity& id = entry.identity;
        HRESULT hr = DeleteTree(L"CLSID\\" + Wide(GuidToString(id.clsid)));
        if (FAILED(hr)) return hr;
        if (FAILED(hr = DeleteTree(Wide(id.progId)))) return hr;
        hr = UnRegisterTypeLib(id.libid, 1, 0, 0x0409, kSysKind);
        if (hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_CANTLOADLIBRARY ||
            hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))
            hr = S_OK;  // nothing of it was registered
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace frame
