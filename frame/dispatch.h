// Late-bound access to a class interface's public methods, driven by a table per class.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "com/com.h"
#include "com/owners.h"

namespace frame {

struct Param {
    std::u16string_view name;
    VARTYPE type;  // VT_I2, VT_I4, VT_BSTR or VT_VARIANT (taken as it comes)
};

// One public method: its name, member id, parameters and a thunk that calls the method on the
// object. The thunk receives the arguments already converted to the parameter types, first
// parameter first (they stay the caller's), and writes the method's result into `result`.
struct Method {
    std::u16string_view name;
    DISPID id;
    std::array<Param, 3> params;
    std::uint8_t paramCount;
    HRESULT (*call)(IDispatch* self, com::Variant* args, VARIANT* result);
};

using MethodTable = std::span<const Method>;

const Method* FindMethod(MethodTable methods, DISPID id);

// IDispatch::GetIDsOfNames over the table: the first name is a method, the others its
// parameters; names compare without regard to case.
HRESULT DispatchGetIDsOfNames(MethodTable methods, REFIID riid, LPOLESTR* names, UINT count,
                              DISPID* ids);

// IDispatch::Invoke over the table, converting arguments and reporting a method's own failure
// as DISP_E_EXCEPTION with the method's status in the exception record.
HRESULT DispatchInvoke(MethodTable methods, std::u16string_view source, IDispatch* self, DISPID id,
                       REFIID riid, WORD flags, DISPPARAMS* params, VARIANT* result,
                       EXCEPINFO* excepInfo, UINT* argErr);

}  // namespace frame
