// The class keys of the system registry and the registration of type libraries, through the
// platform's wide-character registry calls and the automation library.
#include "platform/class_registration.h"

#include <new>
#include <string>

#include "com/boundary.h"
#include "com/owners.h"
#include "com/text.h"

namespace platform {

namespace {

using Key = com::Unique<HKEY, RegCloseKey>;

// The platform's text of a key path or value name; a value name that is empty stands for the
// key's default value (null).
std::wstring Wide(std::u16string_view text) {
    return std::wstring(com::AsWide(text));
}
const wchar_t* NameOrDefault(const std::wstring& name) {
    return name.empty() ? nullptr : name.c_str();
}

class WindowsRegistryWriter final : public RegistryWriter {
  public:
    HRESULT SetText(std::u16string_view key, std::u16string_view name,
                    std::u16string_view text) override {
        return com::Boundary([&] {
            const std::wstring path = Wide(key), valueName = Wide(name), value = Wide(text);
            Key handle;
            LONG rc =
                RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr,
                                REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, handle.Out(), nullptr);
            if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
            rc = RegSetValueExW(handle.Get(), NameOrDefault(valueName), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
            return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(rc);
        });
    }

    std::u16string ReadText(std::u16string_view key, std::u16string_view name) override {
        std::u16string text;
        com::Boundary([&] {
            const std::wstring path = Wide(key), valueName = Wide(name);
            wchar_t buffer[256] = {};
            DWORD size = sizeof buffer - sizeof(wchar_t);
            if (RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), NameOrDefault(valueName),
                             RRF_RT_REG_SZ, nullptr, buffer, &size) == ERROR_SUCCESS)
                text = com::AsUtf16(buffer);
            return S_OK;
        });
        return text;
    }

    HRESULT DeleteTree(std::u16string_view key) override {
        return com::Boundary([&] {
            const LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, Wide(key).c_str());
            if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) return S_OK;
            return HRESULT_FROM_WIN32(rc);
        });
    }

    void DeleteIfEmpty(std::u16string_view key) override {
        com::Boundary([&] {
            RegDeleteKeyW(HKEY_CLASSES_ROOT, Wide(key).c_str());  // fails while keys are below
            return S_OK;
        });
    }
};

class WindowsTypeLibraries final : public TypeLibraries {
  public:
    HRESULT Register(std::u16string_view modulePath) override {
        return com::Boundary([&] {
            com::ComPtr<ITypeLib> library;
            return LoadTypeLibEx(Wide(modulePath).c_str(), REGKIND_REGISTER, library.Out());
        });
    }

    HRESULT Unregister(REFGUID libid, WORD major, WORD minor, LCID locale) override {
        constexpr SYSKIND kSysKind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
        const HRESULT hr = UnRegisterTypeLib(libid, major, minor, locale, kSysKind);
        if (hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_CANTLOADLIBRARY ||
            hr == TYPE_E_LIBNOTREGISTERED || hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))
            return S_OK;
        return hr;
    }
};

}  // namespace

RegistryWriter& SystemRegistryWriter() {
    static WindowsRegistryWriter writer;
    return writer;
}

TypeLibraries& SystemTypeLibraries() {
    static WindowsTypeLibraries libraries;
    return libraries;
}

}  // namespace platform
