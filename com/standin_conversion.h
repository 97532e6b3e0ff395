// The stand-in's conversion of a tagged value to another type, behind VariantChangeType.
#pragma once

#include "com/com.h"

#if !defined(_WIN32)

namespace com::standin {

// A number on its way between two types: integers stay exact, the rest is double.
struct Number {
    bool integral = true;
    long long i = 0;
    double d = 0.0;
    double AsDouble() const { return integral ? static_cast<double>(i) : d; }
};

// The number a value stands for: empty is 0, a boolean -1 or 0, a text as automation reads it.
HRESULT ToNumber(const VARIANT& v, Number* out);
// Rounds to a whole number as automation does (half to even) and checks it is within lo..hi.
HRESULT ToInteger(const Number& n, long long lo, long long hi, long long* out);

// Converts `src`, a value (no reference), to type `vt` into `out`, which holds nothing of its
// own; `flags` as VariantChangeType takes them. Numbers and texts go through standard strings,
// so exhausted memory may throw std::bad_alloc.
HRESULT Convert(const VARIANT& src, USHORT flags, VARTYPE vt, VARIANT* out);

}  // namespace com::standin

#endif
