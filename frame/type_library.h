// The library's embedded type library (Windows): where the library lives and the type
// information of its class interface, for IDispatch::GetTypeInfo and for registration.
#pragma once

#if defined(_WIN32)

#include <string>

#include "com/com.h"

namespace frame {

// The full path of the module (library or program) that holds this code; empty on failure.
std::wstring OwnModulePath();

// The type information of `iid` from the type library embedded in this module. The type
// library is loaded without registering it; the system keeps it loaded, so repeated calls are
// cheap.
HRESULT LoadOwnTypeInfo(REFIID iid, ITypeInfo** info);

}  // namespace frame

#endif
