// The registry through the platform's narrow-character calls from advapi32.
#include "platform/registry.h"

#include <string>

#include "platform/windows/loader.h"

namespace platform {

namespace {

using OpenFn = LONG(WINAPI*)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
using QueryFn = LONG(WINAPI*)(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
using CloseFn = LONG(WINAPI*)(HKEY);

struct Advapi {
    OpenFn open;
    QueryFn query;
    CloseFn close;
};

const Advapi& Functions() {
    static const Advapi functions{
        windows::LoadFunction<OpenFn>("advapi32.dll", "RegOpenKeyExA"),
        windows::LoadFunction<QueryFn>("advapi32.dll", "RegQueryValueExA"),
        windows::LoadFunction<CloseFn>("advapi32.dll", "RegCloseKey"),
    };
    return functions;
}

class WindowsRegistry final : public Registry {
  public:
    long Open(std::string_view path, Key* key) override {
        const auto open = Functions().open;
        if (open == nullptr) return windows::kProcNotFound;
        if (key == nullptr) return ERROR_INVALID_PARAMETER;
        return RegistryBoundary([&] {
            HKEY handle = nullptr;
            const LONG result =
                open(HKEY_LOCAL_MACHINE, std::string(path).c_str(), 0, KEY_READ, &handle);
            if (result == ERROR_SUCCESS) *key = reinterpret_cast<Key>(handle);
            return result;
        });
    }

    long Query(Key key, std::string_view name, unsigned long* type, unsigned char* data,
               unsigned long* size) override {
        const auto query = Functions().query;
        if (query == nullptr) return windows::kProcNotFound;
        return RegistryBoundary([&] {
            return query(reinterpret_cast<HKEY>(key), std::string(name).c_str(), nullptr, type,
                         data, size);
        });
    }

    long Close(Key key) override {
        const auto close = Functions().close;
        if (close == nullptr) return windows::kProcNotFound;
        return close(reinterpret_cast<HKEY>(key));
    }
};

}  // namespace

Registry& SystemRegistry() {
    static WindowsRegistry registry;
    return registry;
}

}  // namespace platform
