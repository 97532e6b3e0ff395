// Late binding over a class's method table: names, member ids, argument conversion and errors.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "com/errors.h"
#include "frame/class_interface.h"
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

// The frame's overrides, made as the identity headers' rows make them.
template <class Derived>
struct ProbeMethods : _Probe {
    TESS_BOUNDARY_METHOD1(0x6003000A, VARIANT_BOOL, Check128, BSTR, sOutput)
    TESS_BOUNDARY_METHOD3(0x6003000B, BSTR, Describe, long, lNumber, VARIANT, vAny, short, nSmall)
    HRESULT STDMETHODCALLTYPE Fail(BSTR* result) final {
        return frame::ResultMember(
            result, [&](BSTR* out) { return static_cast<Derived*>(this)->FailImpl(out); });
    }
};

class Probe;
const frame::Identity& ProbeIdentity();

// Every body of the probe, the frame's own included, can throw on demand after it wrote its
// result, so that the frame's boundary and out-argument rules show for each kind of member.
class Probe final : public frame::PluginObject<Probe, ProbeMethods<Probe>> {
  public:
    enum class Raise { kNothing, kBadAlloc, kOther };
    Raise raise = Raise::kNothing;

    Probe() : PluginObject(ProbeIdentity()) {}

  private:
    friend PluginObject;
    friend ProbeMethods<Probe>;

    HRESULT Then(HRESULT hr) const {
        if (raise == Raise::kBadAlloc) throw std::bad_alloc();
        if (raise == Raise::kOther) throw std::runtime_error("probe");
        return hr;
    }

    HRESULT DescribeImpl(LONG l, VARIANT v, SHORT n, BSTR* r) {
        com::Variant text;
        if (FAILED(VariantChangeType(&text, &v, 0, VT_BSTR))) return com::kTypeMismatch;
        std::u16string out = com::Widen(std::to_string(l)) + u"|" +
                             std::u16string(View(text.bstrVal)) + u"|" +
                             com::Widen(std::to_string(n));
        return Then(com::ReturnString(out, r));
    }
    HRESULT FailImpl(BSTR*) { return com::kDivisionByZero; }
    HRESULT Check128Impl(BSTR s, VARIANT_BOOL* r) { return Then(PluginCore::Check128Impl(s, r)); }
    HRESULT Poll() { return Then(S_OK); }
    HRESULT ItemName(LONG, BSTR* r) { return Then(com::ReturnString(u"name", r)); }
    HRESULT ItemValue(LONG, VARIANT* r) { return Then(com::ReturnText(u"value", r)); }
    HRESULT ShowConfiguration(VARIANT_BOOL* r) { return Then(PluginCore::ShowConfiguration(r)); }
    HRESULT Description(BSTR* r) { return Then(PluginCore::Description(r)); }
    HRESULT ConfigurationString(BSTR* r) { return Then(PluginCore::ConfigurationString(r)); }
    HRESULT SetConfigurationString(BSTR t) { return Then(PluginCore::SetConfigurationString(t)); }
    HRESULT PollMethod(LONG* r) { return Then(PluginCore::PollMethod(r)); }
    HRESULT PollFreqency(LONG* r) { return Then(PluginCore::PollFreqency(r)); }
    HRESULT Count(LONG* r) { return Then(PluginCore::Count(r)); }
    HRESULT TypeInfoCount(UINT* r) { return Then(PluginCore::TypeInfoCount(r)); }
    HRESULT TypeInfo(UINT i, ITypeInfo** r) { return Then(PluginCore::TypeInfo(i, r)); }
    HRESULT IdsOfNames(REFIID riid, LPOLESTR* names, UINT count, DISPID* ids) {
        return Then(PluginCore::IdsOfNames(riid, names, count, ids));
    }
    HRESULT InvokeMethod(IDispatch* self, DISPID id, REFIID riid, WORD flags, DISPPARAMS* params,
                         VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
        // A method's own boundary answers first; the throw after it is Invoke's to catch.
        return Then(
            PluginCore::InvokeMethod(self, id, riid, flags, params, result, excepInfo, argErr));
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
    static const frame::Identity identity{u"Probe",     u"Probe", u"Probe.Probe", 3,  250,     1,
                                          {1, 0, 0, 0}, {},       IID__Probe,     {}, kMethods};
    return identity;
}

struct DispatchTest : ::testing::Test {
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

// What a member left for its caller: its status, and whether its out-argument is empty (a null
// string or interface, an empty variant, zero, unknown ids, an empty exception record).
struct Left {
    HRESULT hr;
    bool empty;
};

template <class T>
Left Number(const std::function<HRESULT(T*)>& call) {
    T value = 77;
    const HRESULT hr = call(&value);
    return {hr, value == 0};
}
Left String(const std::function<HRESULT(BSTR*)>& call) {
    BSTR text = StaleString();
    const HRESULT hr = call(&text);
    if (text != nullptr && text != StaleString()) SysFreeString(text);
    return {hr, text == nullptr};
}
// A member without an out-argument.
Left Plain(HRESULT hr) {
    return {hr, true};
}
Left InvokedLeft(Probe& p, DISPID id, Arguments args) {
    VARIANT result;
    result.vt = VT_ERROR;  // stale
    com::ExcepInfo excep;
    const HRESULT hr =
        p.Invoke(id, IID_NULL, 0, DISPATCH_METHOD, args.params(), &result, &excep, nullptr);
    const bool empty = result.vt == VT_EMPTY && excep.bstrSource == nullptr && excep.scode == 0;
    VariantClear(&result);
    return {hr, empty};
}

// Every kind of member, its body throwing after it wrote its result.
const std::pair<const char*, std::function<Left(Probe&)>> kMembers[] = {
    {"PollData", [](Probe& p) { return Plain(p.PollData()); }},
    {"put_ConfigurationString",
     [](Probe& p) { return Plain(p.put_ConfigurationString(com::Bstr(u"settings").Get())); }},
    {"Configure",
     [](Probe& p) { return Number<VARIANT_BOOL>([&](auto* r) { return p.Configure(r); }); }},
    {"get_Description",
     [](Probe& p) { return String([&](BSTR* r) { return p.get_Description(r); }); }},
    {"get_ConfigurationString",
     [](Probe& p) { return String([&](BSTR* r) { return p.get_ConfigurationString(r); }); }},
    {"get_PollMethod",
     [](Probe& p) { return Number<LONG>([&](LONG* r) { return p.get_PollMethod(r); }); }},
    {"get_PollFreqency",
     [](Probe& p) { return Number<LONG>([&](LONG* r) { return p.get_PollFreqency(r); }); }},
    {"get_Count", [](Probe& p) { return Number<LONG>([&](LONG* r) { return p.get_Count(r); }); }},
    {"get_Name", [](Probe& p) { return String([&](BSTR* r) { return p.get_Name(0, r); }); }},
    {"get_DisplayName",
     [](Probe& p) { return String([&](BSTR* r) { return p.get_DisplayName(0, r); }); }},
    {"get_Value",
     [](Probe& p) {
         VARIANT value;
         value.vt = VT_ERROR;
         const HRESULT hr = p.get_Value(0, &value);
         const bool empty = value.vt == VT_EMPTY;
         VariantClear(&value);
         return Left{hr, empty};
     }},
    {"Check128",
     [](Probe& p) {
         com::Bstr text(u"caf\u00e9");
         return Number<VARIANT_BOOL>([&](auto* r) { return p.Check128(text.Get(), r); });
     }},
    {"Describe",
     [](Probe& p) { return String([&](BSTR* r) { return p.Describe(1, Long(2), 3, r); }); }},
    {"GetTypeInfoCount",
     [](Probe& p) { return Number<UINT>([&](UINT* r) { return p.GetTypeInfoCount(r); }); }},
    {"GetTypeInfo",
     [](Probe& p) {
         auto* info = reinterpret_cast<ITypeInfo*>(StaleString());
         const HRESULT hr = p.GetTypeInfo(1, 0, &info);
         return Left{hr == DISP_E_BADINDEX ? S_OK : hr, info == nullptr};
     }},
    {"GetIDsOfNames",
     [](Probe& p) {
         std::u16string method = u"Describe", parameter = u"nSmall";
         LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(method.data()),
                             reinterpret_cast<LPOLESTR>(parameter.data())};
         DISPID ids[] = {77, 77};
         const HRESULT hr = p.GetIDsOfNames(IID_NULL, names, 2, 0, ids);
         return Left{hr, ids[0] == DISPID_UNKNOWN && ids[1] == DISPID_UNKNOWN};
     }},
    {"Invoke Describe",
     [](Probe& p) { return InvokedLeft(p, 0x6003000B, Arguments(Long(1), Long(2), Long(3))); }},
    {"Invoke Fail",  // the method's exception record is made, then dropped
     [](Probe& p) {
         const Left left = InvokedLeft(p, 0x6003000C, Arguments());
         return Left{left.hr == DISP_E_EXCEPTION ? S_OK : left.hr, left.empty};
     }},
};

TEST(Boundary, AThrowingBodyAnswersAStatusWithItsOutArgumentEmpty) {
    const std::pair<Probe::Raise, HRESULT> throws[] = {{Probe::Raise::kBadAlloc, E_OUTOFMEMORY},
                                                       {Probe::Raise::kOther, E_UNEXPECTED}};
    Probe* probe = new Probe;
    for (const auto& [name, call] : kMembers) {
        SCOPED_TRACE(name);
        for (const auto& [raise, status] : throws) {
            probe->raise = raise;
            const Left thrown = call(*probe);
            probe->raise = Probe::Raise::kNothing;
            EXPECT_EQ(thrown.hr, status);
            EXPECT_TRUE(thrown.empty);
            EXPECT_TRUE(SUCCEEDED(call(*probe).hr)) << "usable again at once";
        }
    }
    EXPECT_EQ(static_cast<_Probe*>(probe)->Release(), 0u);
}

}  // namespace
