#include <windows.h>

#include <filesystem>

#include "com/owners.h"
#include "com/text.h"
#include "host/plugins/library.h"

namespace host {

namespace {

std::string LastErrorText() {
    const DWORD code = GetLastError();
    com::LocalMemory<wchar_t> text;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(text.Out()), 0, nullptr);
    std::wstring_view message;
    if (n > 0 && text) message = std::wstring_view(text.Get(), n);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' ' || message.back() == L'.'))
        message.remove_suffix(1);
    if (message.empty()) return "error " + std::to_string(code);
    return com::ToUtf8(message);
}

}  // namespace

std::shared_ptr<Library> Library::Open(const std::string& path, std::string* error) {
    const std::wstring wide = com::WideFromUtf8(path);
    HMODULE handle = LoadLibraryExW(wide.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (handle == nullptr) {
        *error = "cannot load " + path + ": " + LastErrorText();
        return nullptr;
    }
    std::shared_ptr<Library> library(new Library);
    library->handle_ = handle;
    library->path_ = path;
    library->getClassObject_ = reinterpret_cast<GetClassObjectFn>(
        reinterpret_cast<void*>(GetProcAddress(handle, "DllGetClassObject")));
    library->canUnloadNow_ = reinterpret_cast<CanUnloadNowFn>(
        reinterpret_cast<void*>(GetProcAddress(handle, "DllCanUnloadNow")));
    if (library->getClassObject_ == nullptr) {
        *error = path + " is not a plug-in library (no DllGetClassObject)";
        return nullptr;
    }
    return library;
}

Library::~Library() {
    if (handle_ != nullptr && (canUnloadNow_ == nullptr || canUnloadNow_() == S_OK))
        FreeLibrary(static_cast<HMODULE>(handle_));
}

std::string ExecutableFolder() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return ".";
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    return com::ToUtf8(std::filesystem::path(buffer).parent_path().wstring());
}

}  // namespace host
