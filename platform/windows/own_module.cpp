// The module that holds this code and its embedded type library.
#include "platform/own_module.h"

#include <new>
#include <string>

#include "com/boundary.h"
#include "com/owners.h"

namespace platform {

std::filesystem::path OwnModulePath() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&OwnModulePath), &module))
        return {};
    // Long paths: grow the buffer until the name fits.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

HRESULT LoadOwnTypeInfo(REFIID iid, ITypeInfo** info) {
    if (info == nullptr) return E_POINTER;
    *info = nullptr;
    return com::Boundary([&]() -> HRESULT {
        const std::filesystem::path path = OwnModulePath();
        if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
        com::ComPtr<ITypeLib> library;
        const HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Out());
        if (FAILED(hr)) return hr;
        return library->GetTypeInfoOfGuid(iid, info);
    });
}

}  // namespace platform
