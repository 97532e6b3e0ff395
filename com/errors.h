// Statuses for the run-time errors that plug-in members report.
#pragma once

#include "com/com.h"

namespace com {

// A run-time error number n travels as the status 0x800A0000 | n.
constexpr HRESULT RuntimeError(unsigned n) {
    return static_cast<HRESULT>(0x800A0000u | (n & 0xFFFFu));
}

constexpr HRESULT kInvalidCall = RuntimeError(5);      // invalid procedure call or argument
constexpr HRESULT kOverflow = RuntimeError(6);         // overflow
constexpr HRESULT kDivisionByZero = RuntimeError(11);  // division by zero
constexpr HRESULT kTypeMismatch = RuntimeError(13);    // type mismatch
constexpr HRESULT kInvalidUseOfNull = RuntimeError(94);

}  // namespace com
