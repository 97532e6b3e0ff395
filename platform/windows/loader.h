// Platform functions taken by name from their libraries at first use, so that a system without
// one fails only the call that needs it.
#pragma once

#include <windows.h>

namespace platform::windows {

// The status of a call whose platform function is not available.
inline constexpr HRESULT kProcNotFound =
    static_cast<HRESULT>(0x80070000u | ERROR_PROC_NOT_FOUND);  // as HRESULT_FROM_WIN32

// `name` from `library` as a `Function`, or null.
template <typename Function>
Function LoadFunction(const char* library, const char* name) {
    HMODULE module = GetModuleHandleA(library);
    if (module == nullptr) module = LoadLibraryA(library);
    if (module == nullptr) return nullptr;
    // Through the generic function type, which converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace platform::windows
