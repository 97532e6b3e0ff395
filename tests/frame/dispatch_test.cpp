// Late binding over a class's method table: names, member ids, argument conversion and errors.
#include <gtest/gtest.h>

#include <vector>

#include "com/errors.h"
#include "frame/plugin_object.h"

namespace {

using com::View;

// A class interface with methods of every parameter kind the plug-ins use.
struct _Probe : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Check128(BSTR sOutput, VARIANT_BOOL* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Describe(LONG lNumber, VARIANT vAny, SHORT nSmall,
                                               BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Fail(BSTR* result) = 0;
};
constexpr IID IID__Probe = {0x1, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 11}};

class Probe;
const frame::Identity& ProbeIdentity();

class Probe final : public frame::PluginObject<Probe, _Probe> {
  public:
    Probe() : PluginObject(ProbeIdentity()) {}
    HRESULT STDMETHODCALLTYPE Check128(BSTR s, VARIANT_BOOL* r) override {
        return Check128Member(s, r);
    }
    HRESULT STDMETHODCALLTYPE Describe(LONG l, VARIANT v, SHORT n, BSTR* r) override {
        VARIANT text;
        VariantInit(&text);
        if (FAILED(VariantChangeType(&text, &v, 0, VT_BSTR))) return com::kTypeMismatch;
        std::u16string out = com::Widen(std::to_string(l)) + u"|" +
                             std::u16string(View(text.bstrVal)) + u"|" +
                             com::Widen(std::to_string(n));
        VariantClear(&text);
        return com::ReturnString(out, r);
    }
    HRESULT STDMETHODCALLTYPE Fail(BSTR* r) override {
        *r = nullptr;
        return com::kDivisionByZero;
    }
    HRESULT STDMETHODCALLTYPE PollData() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE get_Name(LONG, BSTR* r) override { return *r = nullptr, S_OK; }
    HRESULT STDMETHODCALLTYPE get_DisplayName(LONG, BSTR* r) override { return *r = nullptr, S_OK; }
    HRESULT STDMETHODCALLTYPE get_Value(LONG, VARIANT* r) override {
        VariantInit(r);
        return S_OK;
    }
};

HRESULT CallCheck128(IDispatch* self, com::Variant* args, VARIANT* result) {
    result->vt = VT_BOOL;
    return static_cast<_Probe*>(self)->Check128(args[0].bstrVal, &result->boolVal);
}
HRESULT CallDescribe(IDispatch* self, com::Variant* args, VARIANT* result) {
    result->vt = VT_BSTR;
    return static_cast<_Probe*>(self)->Describe(args[0].lVal, args[1], args[2].iVal,
                                                &result->bstrVal);
}
HRESULT CallFail(IDispatch* self, com::Variant*, VARIANT* result) {
    result->vt = VT_BSTR;
    return static_cast<_Probe*>(self)->Fail(&result->bstrVal);
}

constexpr frame::Method kMethods[] = {
    {u"Check128", 0x6003000A, {{{u"sOutput", VT_BSTR}}}, 1, &CallCheck128},
    {u"Describe",
     0x6003000B,
     {{{u"lNumber", VT_I4}, {u"vAny", VT_VARIANT}, {u"nSmall", VT_I2}}},
     3,
     &CallDescribe},
    {u"Fail", 0x6003000C, {}, 0, &CallFail},
};

const frame::Identity& ProbeIdentity() {
    static const frame::Identity identity{u"Probe",     u"Probe", u"Probe.Probe", 0,  0,       0,
                                          {1, 0, 0, 0}, {},       IID__Probe,     {}, kMethods};
    return identity;
}

class DispatchTest : public ::testing::Test {
  protected:
    Probe* probe = new Probe;
    IDispatch* dispatch = probe;
    void TearDown() override { dispatch->Release(); }

    DISPID IdOf(const char16_t* name) {
        std::u16string copy(name);
        LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(copy.data())};
        DISPID id = 0;
        EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
        return id;
    }

    // Invokes with the arguments given first-to-last (they are passed last first).
    HRESULT Call(DISPID id, std::vector<VARIANT> args, VARIANT* result, EXCEPINFO* excep = nullptr,
                 UINT* argErr = nullptr, WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET) {
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        return dispatch->Invoke(id, IID_NULL, 0, flags, &params, result, excep, argErr);
    }
};

VARIANT Text(com::Bstr& holder) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = holder.Get();
    return v;
}

VARIANT Int(LONG value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

TEST_F(DispatchTest, NamesResolveWithoutRegardToCase) {
    EXPECT_EQ(IdOf(u"Check128"), 0x6003000A);
    EXPECT_EQ(IdOf(u"CHECK128"), 0x6003000A);
    EXPECT_EQ(IdOf(u"describe"), 0x6003000B);

    std::u16string method = u"Describe", p1 = u"NSMALL", p2 = u"lNumber", bad = u"nothing";
    LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(method.data()),
                        reinterpret_cast<LPOLESTR>(p1.data()),
                        reinterpret_cast<LPOLESTR>(p2.data())};
    DISPID ids[3];
    ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 3, 0, ids), S_OK);
    EXPECT_EQ(ids[1], 2);
    EXPECT_EQ(ids[2], 0);

    names[0] = reinterpret_cast<LPOLESTR>(bad.data());
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], DISPID_UNKNOWN);
    // The host interfaces are not reachable by name.
    std::u16string host = u"PollData";
    names[0] = reinterpret_cast<LPOLESTR>(host.data());
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, ids), DISP_E_UNKNOWNNAME);
}

TEST_F(DispatchTest, ConvertsTextArgumentsToParameterTypes) {
    com::Bstr n(u"12"), any(u"x"), small(u"-3");
    com::Variant result;
    ASSERT_EQ(Call(0x6003000B, {Text(n), Text(any), Text(small)}, &result), S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(View(result.bstrVal), u"12|x|-3");
}

TEST_F(DispatchTest, ReadsArgumentsPassedByReference) {
    LONG number = 7;
    SHORT small = 2;
    VARIANT byRefNumber, byRefSmall;
    VariantInit(&byRefNumber);
    VariantInit(&byRefSmall);
    byRefNumber.vt = VT_I4 | VT_BYREF;
    byRefNumber.plVal = &number;
    byRefSmall.vt = VT_I2 | VT_BYREF;
    byRefSmall.piVal = &small;
    com::Variant result;
    ASSERT_EQ(Call(0x6003000B, {byRefNumber, Int(5), byRefSmall}, &result), S_OK);
    EXPECT_EQ(View(result.bstrVal), u"7|5|2");
}

TEST_F(DispatchTest, ReportsConversionFailuresWithThePosition) {
    com::Bstr bad(u"abc"), big(u"40000");
    com::Variant result;
    UINT argErr = 99;
    EXPECT_EQ(Call(0x6003000B, {Text(bad), Int(1), Int(1)}, &result, nullptr, &argErr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 2u) << "first argument stands last in rgvarg";
    EXPECT_EQ(Call(0x6003000B, {Int(1), Int(1), Text(big)}, &result, nullptr, &argErr),
              DISP_E_OVERFLOW);
    EXPECT_EQ(argErr, 0u);
    EXPECT_EQ(result.vt, VT_EMPTY);
}

TEST_F(DispatchTest, RefusesWrongCallsToTheTable) {
    com::Variant result;
    EXPECT_EQ(Call(0x6003000B, {Int(1)}, &result), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(0x12345, {}, &result), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(0x6003000C, {}, &result, nullptr, nullptr, DISPATCH_PROPERTYPUT),
              DISP_E_MEMBERNOTFOUND);
    DISPID named = 0;
    VARIANT arg = Int(1);
    DISPPARAMS params{&arg, &named, 1, 1};
    EXPECT_EQ(dispatch->Invoke(0x6003000A, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr,
                               nullptr),
              DISP_E_NONAMEDARGS);
}

TEST_F(DispatchTest, AMethodsOwnFailureTravelsInTheExceptionRecord) {
    com::Variant result;
    EXCEPINFO excep{};
    ASSERT_EQ(Call(0x6003000C, {}, &result, &excep), DISP_E_EXCEPTION);
    EXPECT_EQ(excep.scode, com::kDivisionByZero);
    EXPECT_EQ(View(excep.bstrSource), u"Probe.Probe");
    EXPECT_EQ(result.vt, VT_EMPTY);
    SysFreeString(excep.bstrSource);
    // The object stays usable.
    com::Bstr text(u"\u00e9");
    ASSERT_EQ(Call(0x6003000A, {Text(text)}, &result), S_OK);
    EXPECT_EQ(result.vt, VT_BOOL);
    EXPECT_EQ(result.boolVal, VARIANT_TRUE);
}

TEST_F(DispatchTest, ResultMayBeDropped) {
    com::Bstr n(u"1");
    EXPECT_EQ(Call(0x6003000B, {Text(n), Text(n), Text(n)}, nullptr), S_OK);
}

TEST_F(DispatchTest, HasNoTypeInformationOffWindows) {
    UINT count = 9;
    ASSERT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
}

}  // namespace
