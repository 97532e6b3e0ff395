// The boundary of every interface member: no exception may cross a component call, so each
// member runs its body through Boundary, which turns any exception into a status.
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
