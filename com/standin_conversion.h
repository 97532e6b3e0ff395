// The stand-in's conversion of a tagged value to another type, behind VariantChangeType.
#pragma once

#include "com/com.h"

#if !defined(_WIN32)

namespace com::standin {

// Converts `src`, a value (no reference), to type `vt` into `out`, which holds nothing of its
// own; `flags` as VariantChangeType takes them. Numbers and texts go through standard strings,
// so exhausted memory may throw std::bad_alloc.
HRESULT Convert(const VARIANT& src, USHORT flags, VARTYPE vt, VARIANT* out);

}  // namespace com::standin

#endif
