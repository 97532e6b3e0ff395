// The boundary of every interface member: no exception may cross a component call. The plug-in
// frame runs each member's body through Boundary (frame/members.h): PluginObject's members and
// the class interfaces' methods made from the identity headers, so that a plug-in class writes
// bodies only and cannot leave one out. Platform calls that must answer a status of their own
// use it too. It is the one place below the host that catches an exception.
#pragma once

#include <new>

#include "com/com.h"

namespace com {

// Runs `body` (returning an HRESULT); exhausted memory becomes E_OUTOFMEMORY and any other
// exception E_UNEXPECTED.
template <class Body>
HRESULT Boundary(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace com
