// What a member call gave back, read and freed at once: its status and its result as text, with
// the checks every returned result must pass (a string is well formed and the caller's to free;
// an out parameter is written even when the call fails). Also late-bound calls by member id.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "com/com.h"
#include "com/text.h"
#include "frame/host_interfaces.h"
#include "tests/support/variants.h"

namespace testing_support {

struct Outcome {
    HRESULT hr = S_OK;
    // The result: nullopt for none (a null string, an empty variant); a string's characters;
    // "True"/"False" for a boolean; "<vt N>" for any other variant type.
    std::optional<std::u16string> value;
    bool operator==(const Outcome&) const = default;
};

// The outcome of a call that succeeded with `text`.
inline Outcome Ok(std::u16string text) {
    return Outcome{S_OK, std::move(text)};
}

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
    if (v->vt == VT_BSTR) {
        // A null string in a variant is the empty text.
        value = TakeString(std::exchange(v->bstrVal, nullptr)).value_or(u"");
        v->vt = VT_EMPTY;
    } else if (v->vt == VT_BOOL) {
        value = v->boolVal == VARIANT_TRUE ? u"True" : u"False";
        EXPECT_TRUE(v->boolVal == VARIANT_TRUE || v->boolVal == VARIANT_FALSE);
    } else if (v->vt != VT_EMPTY) {
        value = com::Widen("<vt " + std::to_string(v->vt) + ">");
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

// Item `index` of `provider`: its value's text, "<empty>" for the empty variant; the call must
// succeed.
inline std::u16string ValueOf(ITessivar2DataProvider* provider, LONG index) {
    VARIANT v;
    MakeStale(&v);
    const Outcome got = VariantCall(provider->get_Value(index, &v), &v);
    EXPECT_EQ(got.hr, S_OK) << "item " << index;
    return got.value.value_or(u"<empty>");
}

// What the three item members answer for `index`: the name, the display name and the value.
struct Item {
    Outcome name, display, value;
};
inline Item ItemOf(ITessivar2DataProvider* provider, LONG index) {
    BSTR name = StaleString(), display = StaleString();
    VARIANT value;
    MakeStale(&value);
    Item item;
    item.name = StringCall(provider->get_Name(index, &name), &name);
    item.display = StringCall(provider->get_DisplayName(index, &display), &display);
    item.value = VariantCall(provider->get_Value(index, &value), &value);
    return item;
}

// The constant members' answers: Count, PollFreqency, PollMethod and Description; each call
// must succeed.
using Constants = std::tuple<LONG, LONG, LONG, std::u16string>;
inline Constants ConstantsOf(ITessivar2Plugin* plugin, ITessivar2DataProvider* provider) {
    Constants c;
    EXPECT_EQ(provider->get_Count(&std::get<0>(c)), S_OK);
    EXPECT_EQ(provider->get_PollFreqency(&std::get<1>(c)), S_OK);
    EXPECT_EQ(provider->get_PollMethod(&std::get<2>(c)), S_OK);
    BSTR text = StaleString();
    const Outcome description = StringCall(plugin->get_Description(&text), &text);
    EXPECT_EQ(description.hr, S_OK);
    std::get<3>(c) = description.value.value_or(u"<none>");
    return c;
}

// Every item's value as an outcome.
inline std::vector<Outcome> AllValues(ITessivar2DataProvider* provider) {
    LONG count = 0;
    EXPECT_EQ(provider->get_Count(&count), S_OK);
    std::vector<Outcome> values;
    for (LONG i = 0; i < count; ++i) {
        VARIANT v;
        MakeStale(&v);
        const HRESULT hr = provider->get_Value(i, &v);
        values.push_back(VariantCall(hr, &v));
    }
    return values;
}

// A late-bound call: Invoke's own status, the method's status and source from the exception
// record, the position of a refused argument, and the result.
struct Invoked {
    HRESULT hr = S_OK;
    HRESULT scode = S_OK;
    std::u16string source;
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

// Invokes member `id` with `params` (they stay the caller's). A failed call must leave the
// result empty.
inline Invoked InvokeWith(IDispatch* dispatch, DISPID id, DISPPARAMS* params,
                          WORD flags = DISPATCH_METHOD) {
    VARIANT result;
    VariantInit(&result);
    com::ExcepInfo excep;
    Invoked out;
    out.hr = dispatch->Invoke(id, IID_NULL, 0, flags, params, &result, &excep, &out.argErr);
    if (out.hr == DISP_E_EXCEPTION) {
        out.scode = excep.scode;
        out.source = com::View(excep.bstrSource);
        EXPECT_TRUE(FAILED(excep.scode)) << "an exception record without a failure";
    }
    if (FAILED(out.hr)) {
        EXPECT_EQ(result.vt, VT_EMPTY) << "a failed call gave a result";
    }
    out.result = VariantCall(out.hr, &result);
    return out;
}

// Invokes method `id` with the arguments given first to last (see Arguments for who owns them).
template <class... V>
Invoked Invoke(IDispatch* dispatch, DISPID id, V&&... firstToLast) {
    Arguments args(std::forward<V>(firstToLast)...);
    return InvokeWith(dispatch, id, args.params());
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

}  // namespace testing_support
