// Late binding over a class's method table: names, member ids, argument conversion and errors.
#include <gtest/gtest.h>

#include <vector>

#include "com/errors.h"
#include "frame/plugin_object.h"
#include "tests/support/calls.h"

namespace {

using com::View;
using namespace testing_support;

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
    com::ComPtr<IDispatch> object = [] {
        com::ComPtr<IDispatch> probe;
        probe.Attach(new Probe);
        return probe;
    }();
    IDispatch* dispatch = object.Get();

    // Invokes as a script does, method or property get, with the arguments given first to last.
    template <class... V>
    Invoked Call(DISPID id, V&&... args) {
        Arguments list(std::forward<V>(args)...);
        return InvokeWith(dispatch, id, list.params(), DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    }
};

TEST_F(DispatchTest, NamesResolveWithoutRegardToCase) {
    EXPECT_EQ(IdOf(dispatch, u"Check128"), 0x6003000A);
    EXPECT_EQ(IdOf(dispatch, u"CHECK128"), 0x6003000A);
    EXPECT_EQ(IdOf(dispatch, u"describe"), 0x6003000B);

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
    EXPECT_EQ(Call(0x6003000B, Text(u"12"), Text(u"x"), Text(u"-3")).result, Ok(u"12|x|-3"));
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
    EXPECT_EQ(Call(0x6003000B, byRefNumber, Long(5), byRefSmall).result, Ok(u"7|5|2"));
}

TEST_F(DispatchTest, ReportsConversionFailuresWithThePosition) {
    const Invoked mismatch = Call(0x6003000B, Text(u"abc"), Long(1), Long(1));
    EXPECT_EQ(mismatch.hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(mismatch.argErr, 2u) << "first argument stands last in rgvarg";
    const Invoked overflow = Call(0x6003000B, Long(1), Long(1), Text(u"40000"));
    EXPECT_EQ(overflow.hr, DISP_E_OVERFLOW);
    EXPECT_EQ(overflow.argErr, 0u);
    EXPECT_FALSE(overflow.result.value.has_value());
}

TEST_F(DispatchTest, RefusesWrongCallsToTheTable) {
    EXPECT_EQ(Call(0x6003000B, Long(1)).hr, DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(0x12345).hr, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(InvokeWith(dispatch, 0x6003000C, Arguments().params(), DISPATCH_PROPERTYPUT).hr,
              DISP_E_MEMBERNOTFOUND);
    com::Variant result;
    DISPID named = 0;
    Value arg = Long(1);
    DISPPARAMS params{&arg, &named, 1, 1};
    EXPECT_EQ(dispatch->Invoke(0x6003000A, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr,
                               nullptr),
              DISP_E_NONAMEDARGS);
}

TEST_F(DispatchTest, AMethodsOwnFailureTravelsInTheExceptionRecord) {
    const Invoked failed = Call(0x6003000C);
    ASSERT_EQ(failed.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(failed.scode, com::kDivisionByZero);
    EXPECT_EQ(failed.source, u"Probe.Probe");
    EXPECT_FALSE(failed.result.value.has_value());
    // The object stays usable.
    EXPECT_EQ(Call(0x6003000A, Text(u"\u00e9")).result, Ok(u"True"));
}

TEST_F(DispatchTest, ResultMayBeDropped) {
    Arguments args(Text(u"1"), Text(u"1"), Text(u"1"));
    EXPECT_EQ(dispatch->Invoke(0x6003000B, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                               args.params(), nullptr, nullptr, nullptr),
              S_OK);
}

TEST_F(DispatchTest, HasNoTypeInformationOffWindows) {
    UINT count = 9;
    ASSERT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
}

}  // namespace
