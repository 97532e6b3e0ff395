// The module that holds this code: the plug-in library, or the program it is linked into.
#pragma once

#include <filesystem>

#include "com/com.h"

namespace platform {

// The module's full path; empty when the system cannot tell.
std::filesystem::path OwnModulePath();

#if defined(_WIN32)
// The type information of `iid` from the type library embedded in this module, loaded without
// registering it; the system keeps the library loaded, so repeated calls are cheap.
HRESULT LoadOwnTypeInfo(REFIID iid, ITypeInfo** info);
#endif

}  // namespace platform
