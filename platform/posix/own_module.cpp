// The module that holds this code, as the dynamic loader knows it.
#include "platform/own_module.h"

#include <dlfcn.h>

#include <system_error>

namespace platform {

std::filesystem::path OwnModulePath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&OwnModulePath), &info) == 0 || info.dli_fname == nullptr)
        return {};
    std::error_code ec;
    const auto path = std::filesystem::canonical(info.dli_fname, ec);
    return ec ? std::filesystem::path(info.dli_fname) : path;
}

}  // namespace platform
