// The four entry points of a plug-in library; compiled into each library.
#include "frame/module.h"

#if defined(_WIN32)
#define TESS_EXPORT
#else
#define TESS_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

TESS_EXPORT HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return frame::CanUnloadNow();
}

TESS_EXPORT HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    return frame::GetClassObject(frame::ModuleClass(), rclsid, riid, ppv);
}

TESS_EXPORT HRESULT STDAPICALLTYPE DllRegisterServer() {
    return frame::RegisterServer(frame::ModuleClass());
}

TESS_EXPORT HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return frame::UnregisterServer(frame::ModuleClass());
}

}  // extern "C"
