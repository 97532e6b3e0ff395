// Turns the method rows of a class identity header into C++: the class interface's pure virtual
// members, the frame's overrides of them and the late-binding table. The includer defines
// TESS_METHOD1/TESS_METHOD3 as one of the pairs below and includes the identity header again,
// e.g. for the interface:
//
//   struct _CPUInfo : IDispatch {
//   #define TESS_METHOD1 TESS_DECLARE_METHOD1
//   #define TESS_METHOD3 TESS_DECLARE_METHOD3
//   #include "cpuinfo/orvantel_class.h"
//   #undef TESS_METHOD1
//   #undef TESS_METHOD3
//   };
//
// for the overrides, TESS_BOUNDARY_METHOD1/3 inside a class template over `Derived` that derives
// from the interface and is PluginObject's ClassInterface:
//
//   template <class Derived>
//   struct CPUInfoMethods : _CPUInfo {
//   #define TESS_METHOD1 TESS_BOUNDARY_METHOD1
//   ...
//   };
//
// Each override is final and runs Derived's body, the method's name with "Impl" appended and
// the same parameters, as frame/members.h runs every member: inside com::Boundary, the result
// handed out only on success. Derived makes the template a friend when its bodies are private.
// For the table, TESS_CLASS_INTERFACE names the interface, with TESS_TABLE_METHOD1/3.
#pragma once

#include <type_traits>

#include "com/com.h"
#include "com/guid.h"
#include "frame/dispatch.h"
#include "frame/members.h"

namespace frame {

// The C++ type of a parameter written with its IDL type.
template <class T>
struct IdlParameter {
    using Type = T;
};
template <>
struct IdlParameter<long> {
    using Type = LONG;
};
template <class T>
using IdlParameterType = typename IdlParameter<T>::Type;

// The variant type a parameter is converted to before the call.
template <class T>
constexpr VARTYPE kParameterVarType = VT_VARIANT;  // VARIANT: taken as it comes
template <>
inline constexpr VARTYPE kParameterVarType<long> = VT_I4;
template <>
inline constexpr VARTYPE kParameterVarType<short> = VT_I2;
template <>
inline constexpr VARTYPE kParameterVarType<BSTR> = VT_BSTR;

// A converted argument as the parameter's C++ type.
template <class T>
IdlParameterType<T> Argument(VARIANT& arg) {
    if constexpr (std::is_same_v<T, long>)
        return arg.lVal;
    else if constexpr (std::is_same_v<T, short>)
        return arg.iVal;
    else if constexpr (std::is_same_v<T, BSTR>)
        return arg.bstrVal;
    else
        return arg;  // the call's own copy of the variant
}

// Where the method writes its result inside the result variant, which takes its type.
template <class R>
R* ResultSlot(VARIANT* result) {
    if constexpr (std::is_same_v<R, BSTR>) {
        result->vt = VT_BSTR;
        return &result->bstrVal;
    } else {
        static_assert(std::is_same_v<R, VARIANT_BOOL>);
        result->vt = VT_BOOL;
        return &result->boolVal;
    }
}

}  // namespace frame

#define TESS_DECLARE_METHOD1(member, result, name, type1, name1)                   \
    virtual HRESULT STDMETHODCALLTYPE name(::frame::IdlParameterType<type1> name1, \
                                           result* value) = 0;
#define TESS_DECLARE_METHOD3(member, result, name, type1, name1, type2, name2, type3, name3) \
    virtual HRESULT STDMETHODCALLTYPE name(                                                  \
        ::frame::IdlParameterType<type1> name1, ::frame::IdlParameterType<type2> name2,      \
        ::frame::IdlParameterType<type3> name3, result* value) = 0;

#define TESS_BOUNDARY_METHOD1(member, result, name, type1, name1)                                 \
    HRESULT STDMETHODCALLTYPE name(::frame::IdlParameterType<type1> name1, result* value) final { \
        return ::frame::ResultMember(value, [&](result* out) {                                    \
            return static_cast<Derived*>(this)->name##Impl(name1, out);                           \
        });                                                                                       \
    }
#define TESS_BOUNDARY_METHOD3(member, result, name, type1, name1, type2, name2, type3, name3)     \
    HRESULT STDMETHODCALLTYPE name(::frame::IdlParameterType<type1> name1,                        \
                                   ::frame::IdlParameterType<type2> name2,                        \
                                   ::frame::IdlParameterType<type3> name3, result* value) final { \
        return ::frame::ResultMember(value, [&](result* out) {                                    \
            return static_cast<Derived*>(this)->name##Impl(name1, name2, name3, out);             \
        });                                                                                       \
    }

#define TESS_TABLE_METHOD1(member, result, name, type1, name1)                       \
    {u"" #name,                                                                      \
     member,                                                                         \
     {{{u"" #name1, ::frame::kParameterVarType<type1>}}},                            \
     1,                                                                              \
     [](IDispatch* self, ::com::Variant* args, VARIANT* value) -> HRESULT {          \
         return static_cast<TESS_CLASS_INTERFACE*>(self)->name(                      \
             ::frame::Argument<type1>(args[0]), ::frame::ResultSlot<result>(value)); \
     }},
#define TESS_TABLE_METHOD3(member, result, name, type1, name1, type2, name2, type3, name3) \
    {u"" #name,                                                                            \
     member,                                                                               \
     {{{u"" #name1, ::frame::kParameterVarType<type1>},                                    \
       {u"" #name2, ::frame::kParameterVarType<type2>},                                    \
       {u"" #name3, ::frame::kParameterVarType<type3>}}},                                  \
     3,                                                                                    \
     [](IDispatch* self, ::com::Variant* args, VARIANT* value) -> HRESULT {                \
         return static_cast<TESS_CLASS_INTERFACE*>(self)->name(                            \
             ::frame::Argument<type1>(args[0]), ::frame::Argument<type2>(args[1]),         \
             ::frame::Argument<type3>(args[2]), ::frame::ResultSlot<result>(value));       \
     }},
