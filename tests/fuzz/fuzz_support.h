// Helpers shared by the fuzz targets: a check that ends the run, texts from the fuzz bytes, and
// variants of every type made from the fuzz bytes, with every block they point to owned here so
// that the harness itself frees all it made and nothing else.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "com/com.h"
#include "com/text.h"

namespace fuzz {

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    std::abort();
}

// Ends the run (libFuzzer keeps the input) when `condition` does not hold.
#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : ::fuzz::Fail(#condition, __FILE__, __LINE__))

// UTF-16 text from the fuzz bytes: a byte below 0xF0 is one code unit of that value (so ASCII
// seeds stay readable); 0xF0 and above takes the next two bytes as one code unit of any value,
// unpaired surrogates and NUL included.
inline std::u16string Text(FuzzedDataProvider& in, std::size_t maxBytes = 256) {
    const std::string bytes = in.ConsumeRandomLengthString(maxBytes);
    std::u16string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0xF0 || i + 2 >= bytes.size()) {
            text.push_back(static_cast<char16_t>(b));
        } else {
            text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i + 1]) |
                                                 static_cast<unsigned char>(bytes[i + 2]) << 8));
            i += 2;
        }
    }
    return text;
}

// True when a code unit of `text` is above 127 (the narrow code page on Linux is UTF-8).
inline bool AnyAbove127(std::u16string_view text) {
    for (char16_t c : text)
        if (c > 127) return true;
    return false;
}

// An object for VT_DISPATCH and VT_UNKNOWN values. It starts with the one reference its owner
// holds; a callee that releases more than it took, or keeps a reference, is a fault.
class CountedObject final : public IDispatch {
  public:
    CountedObject() = default;
    CountedObject(const CountedObject&) = delete;
    CountedObject& operator=(const CountedObject&) = delete;
    ~CountedObject() { FUZZ_CHECK(refs_ == 1); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        *ppv = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch))
            return E_NOINTERFACE;
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        FUZZ_CHECK(refs_ > 1);  // the owner's reference is never given up by a callee
        return --refs_;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count != nullptr) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    ULONG refs() const { return refs_; }

  private:
    ULONG refs_ = 1;
};

// Makes variants from the fuzz bytes as a caller would pass them: every type code, values of any
// bits, null and non-null strings and objects, null arrays, by-reference values pointing at
// storage owned here (VT_BYREF | VT_VARIANT one or two levels deep). The variants themselves are
// the caller's: the arena frees what they point to when it goes, and never clears them.
class VariantArena {
  public:
    VariantArena() = default;
    VariantArena(const VariantArena&) = delete;
    VariantArena& operator=(const VariantArena&) = delete;
    ~VariantArena() {
        for (BSTR s : strings_) SysFreeString(s);
    }

    // A string owned by the arena.
    BSTR String(std::u16string_view text) {
        BSTR s = com::AllocString(text);
        FUZZ_CHECK(s != nullptr);
        strings_.push_back(s);
        return s;
    }

    CountedObject& Object() { return object_; }

    // Up to `size` bytes from the input into `to`; what the input lacks stays as it was.
    static void Fill(FuzzedDataProvider& in, void* to, std::size_t size) {
        const std::vector<std::uint8_t> bytes = in.ConsumeBytes<std::uint8_t>(size);
        if (!bytes.empty()) std::memcpy(to, bytes.data(), bytes.size());
    }

    VARIANT Make(FuzzedDataProvider& in, int depth = 0) {
        // Base types: the valid codes, then codes the component system does not know.
        static constexpr VARTYPE kTypes[] = {
            VT_EMPTY,   VT_NULL,    VT_I2,      VT_I4,   VT_R4,       VT_R8,    VT_CY,
            VT_DATE,    VT_BSTR,    VT_BSTR,    VT_BSTR, VT_DISPATCH, VT_ERROR, VT_BOOL,
            VT_VARIANT, VT_UNKNOWN, VT_DECIMAL, VT_I1,   VT_UI1,      VT_UI2,   VT_UI4,
            VT_I8,      VT_UI8,     VT_INT,     VT_UINT, 15,          24,       25,
            30,         31,         36,         0x48,    0x0FFF};
        VARIANT v;
        std::memset(&v, 0, sizeof v);
        const VARTYPE base =
            kTypes[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kTypes) - 1)];
        const int form =
            in.ConsumeIntegralInRange(0, 7);  // 0-4 by value, 5 array, 6-7 by reference
        if (form == 5) {
            v.vt = static_cast<VARTYPE>(VT_ARRAY | base);
            v.parray = nullptr;  // the stand-in has no arrays: only a null one can be passed
            return v;
        }
        if (form >= 6) return ByReference(in, base, depth);
        if (base == VT_DECIMAL) {
            Fill(in, &v.decVal, sizeof(DECIMAL));
            v.vt = VT_DECIMAL;  // the decimal's first word is the type
            return v;
        }
        v.vt = base;
        v.wReserved1 = in.ConsumeIntegral<WORD>();
        if (base == VT_BSTR) {
            v.bstrVal = in.ConsumeBool() ? nullptr : String(Text(in));
        } else if (base == VT_DISPATCH) {
            v.pdispVal = in.ConsumeBool() ? nullptr : &object_;
        } else if (base == VT_UNKNOWN) {
            v.punkVal = in.ConsumeBool() ? nullptr : static_cast<IUnknown*>(&object_);
        } else if (base <= VT_UINT) {  // unknown codes carry no value
            Fill(in, &v.llVal, sizeof(VARIANT) - offsetof(VARIANT, llVal));
            if (base == VT_VARIANT) v.llVal = 0;
        }
        return v;
    }

  private:
    struct alignas(16) Cell {
        unsigned char bytes[16];
    };

    VARIANT ByReference(FuzzedDataProvider& in, VARTYPE base, int depth) {
        VARIANT v;
        std::memset(&v, 0, sizeof v);
        v.vt = static_cast<VARTYPE>(VT_BYREF | base);
        if (in.ConsumeIntegralInRange(0, 15) == 0) {
            v.byref = nullptr;
            return v;
        }
        if (base == VT_BSTR) {
            v.pbstrVal = &bstrSlots_.emplace_back(in.ConsumeBool() ? nullptr : String(Text(in)));
        } else if (base == VT_DISPATCH) {
            v.ppdispVal = &dispatchSlots_.emplace_back(in.ConsumeBool() ? nullptr : &object_);
        } else if (base == VT_UNKNOWN) {
            v.ppunkVal = &unknownSlots_.emplace_back(
                in.ConsumeBool() ? nullptr : static_cast<IUnknown*>(&object_));
        } else if (base == VT_VARIANT && depth < 2) {
            v.pvarVal = &variants_.emplace_back(Make(in, depth + 1));
        } else if (base == VT_VARIANT) {
            VARIANT& inner = variants_.emplace_back();
            VariantInit(&inner);
            inner.vt = VT_I4;
            inner.lVal = in.ConsumeIntegral<LONG>();
            v.pvarVal = &inner;
        } else {
            Cell& cell = cells_.emplace_back();
            std::memset(cell.bytes, 0, sizeof cell.bytes);
            Fill(in, cell.bytes, sizeof cell.bytes);
            v.byref = cell.bytes;
        }
        return v;
    }

    CountedObject object_;  // declared first: it goes last, after every slot that names it
    std::vector<BSTR> strings_;
    std::deque<BSTR> bstrSlots_;
    std::deque<IDispatch*> dispatchSlots_;
    std::deque<IUnknown*> unknownSlots_;
    std::deque<VARIANT> variants_;
    std::deque<Cell> cells_;
};

// What a member handed back in `out` with status `hr`: a string of the caller's when it
// succeeded, none when it failed. Answers its characters and frees it.
inline std::u16string TakeOut(HRESULT hr, BSTR out) {
    FUZZ_CHECK(SUCCEEDED(hr) ? out != nullptr : out == nullptr);
    std::u16string text(com::View(out));
    SysFreeString(out);
    return text;
}

// The bytes of a variant, to check that a callee left an [in] argument as it was.
inline bool SameBytes(const VARIANT& a, const VARIANT& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace fuzz
