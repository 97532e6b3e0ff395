#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>

#include "host/plugins/library.h"

namespace host {

std::shared_ptr<Library> Library::Open(const std::string& path, std::string* error) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = dlerror();
        *error = "cannot load " + path + ": " + (why != nullptr ? why : "unknown error");
        return nullptr;
    }
    std::shared_ptr<Library> library(new Library);
    library->handle_ = handle;
    library->path_ = path;
    library->getClassObject_ =
        reinterpret_cast<GetClassObjectFn>(dlsym(handle, "DllGetClassObject"));
    library->canUnloadNow_ = reinterpret_cast<CanUnloadNowFn>(dlsym(handle, "DllCanUnloadNow"));
    if (library->getClassObject_ == nullptr) {
        *error = path + " is not a plug-in library (no DllGetClassObject)";
        return nullptr;
    }
    return library;
}

Library::~Library() {
    if (handle_ != nullptr && (canUnloadNow_ == nullptr || canUnloadNow_() == S_OK))
        dlclose(handle_);
}

std::string ExecutableFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

}  // namespace host
