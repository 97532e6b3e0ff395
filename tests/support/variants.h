// Owned component values for the tests: variants made from numbers and texts, the arguments of a
// late-bound call, and the release of an object's last reference.
#pragma once

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "com/owners.h"

namespace testing_support {

// An owned variant that can also be moved, as the makers below hand it out.
struct Value : com::Variant {
    Value() = default;
    Value(Value&& other) noexcept { other.Detach(this); }
    Value& operator=(Value&& other) noexcept {
        if (this != &other) Attach(&other);
        return *this;
    }
};

// A variant of type `vt` whose value `set` writes.
template <class Set>
Value Made(VARTYPE vt, Set set) {
    Value v;
    v.vt = vt;
    set(v);
    return v;
}
inline Value Long(LONG n) {
    return Made(VT_I4, [n](VARIANT& v) { v.lVal = n; });
}
inline Value Short(SHORT n) {
    return Made(VT_I2, [n](VARIANT& v) { v.iVal = n; });
}
inline Value Real(double n) {
    return Made(VT_R8, [n](VARIANT& v) { v.dblVal = n; });
}
inline Value Bool(bool b) {
    return Made(VT_BOOL, [b](VARIANT& v) { v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE; });
}
inline Value Null() {
    return Made(VT_NULL, [](VARIANT&) {});
}
// A string of its own holding `text`.
inline Value Text(std::u16string_view text) {
    return Made(VT_BSTR, [text](VARIANT& v) { v.bstrVal = com::AllocString(text); });
}
// A string variant naming `s`, which stays its owner's: never cleared.
inline VARIANT Borrowed(BSTR s) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = s;
    return v;
}

// The arguments of a late-bound call, given first to last and kept last first as Invoke takes
// them. A Value handed over as a temporary is owned here; any other variant stays its owner's.
class Arguments {
  public:
    template <class... V>
    explicit Arguments(V&&... firstToLast) {
        (Add(std::forward<V>(firstToLast)), ...);
        std::reverse(values_.begin(), values_.end());
        std::reverse(owned_.begin(), owned_.end());
    }
    ~Arguments() {
        for (std::size_t i = 0; i < values_.size(); ++i)
            if (owned_[i]) VariantClear(&values_[i]);
    }
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;

    DISPPARAMS* params() {
        params_ = DISPPARAMS{values_.data(), nullptr, static_cast<UINT>(values_.size()), 0};
        return &params_;
    }
    // Argument `i`, counted first to last.
    const VARIANT& operator[](std::size_t i) const { return values_[values_.size() - 1 - i]; }

  private:
    void Add(Value&& value) {
        value.Detach(&values_.emplace_back());
        owned_.push_back(true);
    }
    void Add(const VARIANT& borrowed) {
        values_.push_back(borrowed);
        owned_.push_back(false);
    }

    std::vector<VARIANT> values_;
    std::vector<bool> owned_;
    DISPPARAMS params_{};
};

// Drops the reference `object` holds and answers how many are left, for a check that the last
// one went.
template <class T>
ULONG Drop(com::ComPtr<T>& object) {
    return object.Detach()->Release();
}

}  // namespace testing_support
