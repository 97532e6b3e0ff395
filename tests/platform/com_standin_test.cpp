// The stand-in automation strings and variants behave as the platform's.
#include <gtest/gtest.h>

#include <cstring>

#include "com/com.h"
#include "com/owners.h"
#include "tests/support/variants.h"

namespace {

using com::Variant;
using com::View;
using namespace testing_support;

TEST(Bstr, CarriesByteLengthAndTerminator) {
    BSTR s = SysAllocStringLen(u"ab\0c", 4);
    ASSERT_NE(s, nullptr);
    std::uint32_t prefix;
    std::memcpy(&prefix, reinterpret_cast<char*>(s) - 4, 4);
    EXPECT_EQ(prefix, 8u);
    EXPECT_EQ(SysStringLen(s), 4u);
    EXPECT_EQ(SysStringByteLen(s), 8u);
    EXPECT_EQ(s[4], u'\0');
    EXPECT_EQ(View(s), std::u16string_view(u"ab\0c", 4));  // embedded NUL kept
    SysFreeString(s);
}

TEST(Bstr, NullIsTheEmptyText) {
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
    BSTR empty = SysAllocString(u"");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SysStringLen(empty), 0u);
    SysFreeString(empty);
}

TEST(Bstr, AllocatedWithoutSourceIsZeroFilled) {
    BSTR s = SysAllocStringLen(nullptr, 3);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(View(s), std::u16string_view(u"\0\0\0", 3));
    SysFreeString(s);
}

TEST(VariantChangeType, NumbersToText) {
    const std::tuple<const char*, Value, USHORT, std::u16string> cases[] = {
        {"i4", Long(42), 0, u"42"},
        {"negative i4", Long(-2147483647 - 1), 0, u"-2147483648"},
        {"i2", Short(-7), 0, u"-7"},
        {"half", Real(13.5), 0, u"13.5"},
        {"whole double", Real(15.0), 0, u"15"},
        {"fifteen digits", Real(133.333333333333333), 0, u"133.333333333333"},
        {"large", Real(1e20), 0, u"1E+20"},
        {"bool numeric", Bool(true), 0, u"-1"},
        {"bool words", Bool(true), VARIANT_ALPHABOOL, u"True"},
        {"empty", Value(), 0, u""},
    };
    for (const auto& [label, source, flags, expected] : cases) {
        Variant out;
        ASSERT_EQ(VariantChangeType(&out, &source, flags, VT_BSTR), S_OK) << label;
        ASSERT_EQ(out.vt, VT_BSTR) << label;
        EXPECT_EQ(View(out.bstrVal), expected) << label;
    }
}

long long ValueOf(const VARIANT& v) {
    return v.vt == VT_I2     ? v.iVal
           : v.vt == VT_I4   ? v.lVal
           : v.vt == VT_UI1  ? v.bVal
           : v.vt == VT_BOOL ? v.boolVal
                             : 0x7FFFFFFFFFFF;
}

TEST(VariantChangeType, TextToNumbers) {
    const std::tuple<const char16_t*, VARTYPE, HRESULT, long long> cases[] = {
        {u"22", VT_I2, S_OK, 22},
        {u" 12 ", VT_I4, S_OK, 12},
        {u"-1", VT_I2, S_OK, -1},
        {u"32767", VT_I2, S_OK, 32767},
        {u"32768", VT_I2, DISP_E_OVERFLOW, 0},
        {u"70000", VT_I4, S_OK, 70000},
        {u"2.5", VT_I2, S_OK, 2},  // half to even
        {u"3.5", VT_I2, S_OK, 4},
        {u"1e3", VT_I4, S_OK, 1000},
        {u"&HFF", VT_I4, S_OK, 255},
        {u"&HFFFF", VT_I2, S_OK, -1},
        {u"256", VT_UI1, DISP_E_OVERFLOW, 0},
        {u"abc", VT_I2, DISP_E_TYPEMISMATCH, 0},
        {u"", VT_I4, DISP_E_TYPEMISMATCH, 0},
        {u"12abc", VT_I4, DISP_E_TYPEMISMATCH, 0},
        {u"True", VT_BOOL, S_OK, -1},
        {u"false", VT_BOOL, S_OK, 0},
        {u"99999999999999999999", VT_I4, DISP_E_OVERFLOW, 0},
    };
    for (const auto& [text, type, status, value] : cases) {
        const Value source = Text(text);
        Variant out;
        const HRESULT hr = VariantChangeType(&out, &source, 0, type);
        EXPECT_EQ(hr, status) << com::ToUtf8(text);
        if (hr == S_OK) {
            EXPECT_EQ(out.vt, type);
            EXPECT_EQ(ValueOf(out), value) << com::ToUtf8(text);
        } else {
            EXPECT_EQ(out.vt, VT_EMPTY) << "a failed conversion leaves the target untouched";
        }
    }
}

TEST(VariantChangeType, DoublesAtThe64BitLimits) {
    // 2^63 is one past the largest 64-bit integer; -2^63 is the smallest.
    const double twoTo63 = 9223372036854775808.0;
    const std::tuple<double, VARTYPE, HRESULT, long long> cases[] = {
        {twoTo63, VT_I8, DISP_E_OVERFLOW, 0},
        {-twoTo63, VT_I8, S_OK, INT64_MIN},
        {-twoTo63 - 4096.0, VT_I8, DISP_E_OVERFLOW, 0},
        {twoTo63 - 1024.0, VT_I8, S_OK, INT64_MAX - 1023},
        {twoTo63, VT_UI8, DISP_E_OVERFLOW, 0},
        {2147483647.5, VT_I4, DISP_E_OVERFLOW, 0},  // half to even: 2147483648
        {-2147483648.5, VT_I4, S_OK, INT32_MIN},
        {4294967295.0, VT_UI4, S_OK, 4294967295LL},
        {4294967295.5, VT_UI4, DISP_E_OVERFLOW, 0},
    };
    for (const auto& [value, type, status, expected] : cases) {
        const Value source = Real(value);
        Variant out;
        const HRESULT hr = VariantChangeType(&out, &source, 0, type);
        EXPECT_EQ(hr, status) << value;
        if (hr != S_OK) {
            EXPECT_EQ(out.vt, VT_EMPTY);
            continue;
        }
        ASSERT_EQ(out.vt, type);
        const long long got = type == VT_I8   ? out.llVal
                              : type == VT_I4 ? out.lVal
                                              : static_cast<long long>(out.ulVal);
        EXPECT_EQ(got, expected) << value;
    }
    // The same limit reached from text.
    const Value text = Text(u"9.2233720368547758E18");
    Variant out;
    EXPECT_EQ(VariantChangeType(&out, &text, 0, VT_I8), DISP_E_OVERFLOW);
}

TEST(VariantChangeType, NullHasNoTextOrNumber) {
    const Value null = Null();
    Variant out;
    EXPECT_EQ(VariantChangeType(&out, &null, 0, VT_BSTR), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(VariantChangeType(&out, &null, 0, VT_I4), DISP_E_TYPEMISMATCH);
}

TEST(VariantChangeType, ReadsThroughReferences) {
    LONG target = 1800;
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_I4 | VT_BYREF;
    ref.plVal = &target;
    Variant out;
    ASSERT_EQ(VariantChangeType(&out, &ref, 0, VT_BSTR), S_OK);
    EXPECT_EQ(View(out.bstrVal), u"1800");

    // A variant reference is followed one level, as the platform does; a reference to a
    // reference is refused.
    VARIANT viaVariant;
    VariantInit(&viaVariant);
    viaVariant.vt = VT_VARIANT | VT_BYREF;
    viaVariant.pvarVal = &ref;
    ASSERT_EQ(VariantChangeType(&out, &viaVariant, 0, VT_I2), S_OK);
    EXPECT_EQ(out.iVal, 1800);
    VARIANT nested = viaVariant;
    nested.pvarVal = &viaVariant;
    EXPECT_EQ(VariantChangeType(&out, &nested, 0, VT_I2), E_INVALIDARG);
    EXPECT_EQ(VariantCopyInd(&out, &nested), E_INVALIDARG);
    EXPECT_EQ(com::Referent(nested), nullptr);
    EXPECT_EQ(com::Referent(viaVariant), &ref);
}

TEST(VariantChangeType, InPlaceReleasesTheOldText) {
    Value v = Text(u"123");
    ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_I4), S_OK);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 123);
}

TEST(VariantCopy, CopiesTextDeeply) {
    const Value a = Text(u"abc");
    Variant b;
    ASSERT_EQ(VariantCopy(&b, &a), S_OK);
    EXPECT_EQ(b.vt, VT_BSTR);
    EXPECT_NE(b.bstrVal, a.bstrVal);
    EXPECT_EQ(View(b.bstrVal), u"abc");
    // Copying over a held text frees it (the sanitizer build checks for the leak).
    ASSERT_EQ(VariantCopy(&b, &a), S_OK);
    EXPECT_EQ(View(b.bstrVal), u"abc");
}

TEST(Utf, RoundTripsAndReplacesBadInput) {
    const std::u16string text = u"Ab\u00e9\u4e2d\U0001F600";
    EXPECT_EQ(com::FromUtf8(com::ToUtf8(text)), text);
    EXPECT_EQ(com::ToUtf8(u"\u00e9"), "\xc3\xa9");
    EXPECT_EQ(com::FromUtf8("a\xff"), u"a\uFFFD");
    EXPECT_EQ(com::FromUtf8("\xc3"), u"\uFFFD");            // cut short
    EXPECT_EQ(com::FromUtf8("\xc0\xaf"), u"\uFFFD\uFFFD");  // overlong
}

}  // namespace
