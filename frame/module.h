// The one creatable class of a plug-in library and the library's four entry points.
#pragma once

#include "com/com.h"
#include "frame/plugin_object.h"

namespace frame {

struct ClassEntry {
    const Identity& identity;
    // A new object holding one reference, as its IUnknown, or null when memory is exhausted.
    IUnknown* (*create)();
};

// Defined once by each plug-in library.
const ClassEntry& ModuleClass();

HRESULT GetClassObject(const ClassEntry& entry, REFCLSID clsid, REFIID riid, void** ppv);
HRESULT CanUnloadNow();
HRESULT RegisterServer(const ClassEntry& entry);
HRESULT UnregisterServer(const ClassEntry& entry);

}  // namespace frame
