// What a member call gave back, read and freed at once: its status and its result as text, with
// the checks every returned result must pass (a string is well formed and the caller's to free;
// an out parameter is written even when the call fails).
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "com/com.h"
#include "com/text.h"

namespace hardening {

struct Outcome {
    HRESULT hr = S_OK;
    // The result: nullopt for none (a null string, an empty variant); a string's characters;
    // "True"/"False" for a boolean; "<vt N>" for any other variant type.
    std::optional<std::u16string> value;
    bool operator==(const Outcome&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Outcome& o) {
    out << "status 0x" << std::hex << static_cast<std::uint32_t>(o.hr) << std::dec << ", ";
    return out << (o.value ? "\"" + com::ToUtf8(*o.value) + "\"" : std::string("no value"));
}

// What a caller leaves in an out parameter before the call; a member must overwrite it.
inline BSTR StaleString() {
    return reinterpret_cast<BSTR>(static_cast<std::uintptr_t>(0x5a5a5a50));
}
inline void MakeStale(VARIANT* v) {
    v->vt = VT_ERROR;
    v->scode = static_cast<SCODE>(0x5a5a5a5a);
}

// Checks a string handed to the caller (its length prefix and terminator) and gives its
// characters; the string stays the caller's.
inline std::optional<std::u16string> ReadString(BSTR s) {
    if (s == StaleString()) {
        ADD_FAILURE() << "the out parameter was left unwritten";
        return u"<stale>";
    }
    if (s == nullptr) return std::nullopt;
    const UINT bytes = SysStringByteLen(s);
    EXPECT_EQ(bytes % 2, 0u) << "odd byte length";
    EXPECT_EQ(s[bytes / 2], u'\0') << "no terminator after the characters";
    return std::u16string(com::View(s));
}

// The same, and frees the string.
inline std::optional<std::u16string> TakeString(BSTR s) {
    std::optional<std::u16string> text = ReadString(s);
    if (s != StaleString()) SysFreeString(s);
    return text;
}

// The same for a variant, which is cleared.
inline std::optional<std::u16string> TakeVariant(VARIANT* v) {
    if (v->vt == VT_ERROR && v->scode == static_cast<SCODE>(0x5a5a5a5a)) {
        ADD_FAILURE() << "the out variant was left unwritten";
        return u"<stale>";
    }
    std::optional<std::u16string> value;
    switch (v->vt) {
        case VT_EMPTY:
            break;
        case VT_BSTR:
            value = TakeString(v->bstrVal);
            v->vt = VT_EMPTY;
            if (!value) value = u"";  // a null string in a variant is the empty text
            break;
        case VT_BOOL:
            value = v->boolVal == VARIANT_TRUE ? u"True" : u"False";
            EXPECT_TRUE(v->boolVal == VARIANT_TRUE || v->boolVal == VARIANT_FALSE);
            break;
        default:
            value = com::Widen("<vt " + std::to_string(v->vt) + ">");
            break;
    }
    VariantClear(v);
    return value;
}

// The outcome of a call that wrote `*s` (read only after the call, which is made first).
inline Outcome StringCall(HRESULT hr, BSTR* s) {
    return Outcome{hr, TakeString(*s)};
}
inline Outcome VariantCall(HRESULT hr, VARIANT* v) {
    return Outcome{hr, TakeVariant(v)};
}

inline VARIANT I2(SHORT n) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I2;
    v.iVal = n;
    return v;
}
inline VARIANT I4(LONG n) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = n;
    return v;
}
// A string argument; the caller frees it (VariantClear).
inline VARIANT Text(std::u16string_view s) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = com::AllocString(s);
    return v;
}

// A late-bound call: Invoke's own status, the method's status from the exception record, the
// position of a refused argument, and the result.
struct Invoked {
    HRESULT hr = S_OK;
    HRESULT scode = S_OK;
    UINT argErr = ~0u;
    Outcome result;
};

// The member id of `name` on `dispatch`.
inline DISPID IdOf(IDispatch* dispatch, std::u16string name) {
    LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(name.data())};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK) << com::ToUtf8(name);
    return id;
}

// Invokes method `id` with `args` given first to last (they stay the caller's). A failed call
// must leave the result empty.
inline Invoked Invoke(IDispatch* dispatch, DISPID id, std::vector<VARIANT> args) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO excep{};
    Invoked out;
    out.hr =
        dispatch->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, &excep, &out.argErr);
    if (out.hr == DISP_E_EXCEPTION) {
        out.scode = excep.scode;
        EXPECT_TRUE(FAILED(excep.scode)) << "an exception record without a failure";
    }
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrHelpFile);
    if (FAILED(out.hr)) {
        EXPECT_EQ(result.vt, VT_EMPTY) << "a failed call gave a result";
    }
    out.result = VariantCall(out.hr, &result);
    return out;
}

// Collects the differences found in a sweep and reports the first few.
class Mismatches {
  public:
    template <class Describe>
    void Check(bool ok, Describe describe) {
        if (ok) return;
        if (++count_ <= 10) first_.push_back(describe());
    }
    ~Mismatches() {
        std::string all;
        for (const std::string& line : first_) all += line + "\n";
        EXPECT_EQ(count_, 0) << all;
    }

  private:
    int count_ = 0;
    std::vector<std::string> first_;
};

}  // namespace hardening
