// The CPUInfo class against fakes: the item store, the poll and the class interface.
#include "cpuinfo/cpuinfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/errors.h"
#include "tests/support/calls.h"
#include "tests/support/rigs.h"

namespace cpuinfo {
namespace {

using namespace std::string_literals;
using testing_support::Invoked;
using testing_support::Long;
using testing_support::Null;
using testing_support::Ok;
using testing_support::Text;

constexpr auto& kFirmware = platform::fakes::kFirmwareKey;
constexpr auto& kProcessor = platform::fakes::kProcessorKey;

std::u16string Padded(std::u16string text) {
    text.resize(250, u'\0');
    return text;
}

// The Pentium 4 of the platform fakes.
class CPUInfoTest : public ::testing::Test, protected testing_support::CpuRig {
  protected:
    // The item's value; the empty variant as "<empty>".
    std::u16string Value(LONG index) { return testing_support::ValueOf(provider(), index); }
    std::vector<std::u16string> Values() {
        std::vector<std::u16string> all;
        for (LONG i = 0; i < kItemCount; ++i) all.push_back(Value(i));
        return all;
    }
};

TEST_F(CPUInfoTest, ConstantsAndDescription) {
    LONG n = 0;
    ASSERT_EQ(object->get_Count(&n), S_OK);
    EXPECT_EQ(n, 56);
    ASSERT_EQ(object->get_PollFreqency(&n), S_OK);
    EXPECT_EQ(n, 1000);
    ASSERT_EQ(object->get_PollMethod(&n), S_OK);
    EXPECT_EQ(n, 0);
    com::Bstr description;
    ASSERT_EQ(object->get_Description(description.Out()), S_OK);
    EXPECT_EQ(description.View(), u"Orvantel v1.1");
}

TEST_F(CPUInfoTest, NamesAreTheCatalogue) {
    for (LONG i = 0; i < kItemCount; ++i) {
        com::Bstr name, display;
        ASSERT_EQ(object->get_Name(i, name.Out()), S_OK);
        ASSERT_EQ(object->get_DisplayName(i, display.Out()), S_OK);
        EXPECT_EQ(name.View(), display.View());
        EXPECT_EQ(name.View().substr(0, 9), u"Orvantel\\") << i;
    }
    com::Bstr name;
    ASSERT_EQ(object->get_Name(29, name.Out()), S_OK);
    EXPECT_EQ(name.View(), u"Orvantel\\Instruction Extension\\MMX+\\yes/no (unavailabe)");
    ASSERT_EQ(object->get_Name(51, name.Out()), S_OK);
    EXPECT_EQ(name.View(), u"Orvantel\\CPU & MOBO Freq.\\FSB Freq.(suffixed)");
    for (LONG outside : {56, -1, 1000}) {
        ASSERT_EQ(object->get_Name(outside, name.Out()), S_OK);
        EXPECT_EQ(name.View(), u"");
        ASSERT_EQ(object->get_DisplayName(outside, name.Out()), S_OK);
        EXPECT_EQ(name.View(), u"");
    }
}

TEST_F(CPUInfoTest, BeforeAPollVariantItemsAreEmptyAndTextItemsEmptyTexts) {
    const std::vector<std::u16string> values = Values();
    for (LONG i = 0; i < kItemCount; ++i) {
        const bool text = (i >= 2 && i <= 10) || i == 12 || i == 15 || (i >= 41 && i <= 49);
        EXPECT_EQ(values[i], text ? u"" : u"<empty>") << i;
    }
    EXPECT_EQ(Value(56), u"<empty>");
    EXPECT_EQ(Value(-1), u"<empty>");
}

TEST_F(CPUInfoTest, PollFillsEveryItem) {
    ASSERT_EQ(object->PollData(), S_OK);
    const std::vector<std::u16string> v = Values();
    EXPECT_EQ(v[0], u"64");
    EXPECT_EQ(v[1], Padded(u"01/02/03"));
    EXPECT_EQ(v[2], u"ABC  - 1 BIOS Date: 01/02/03 Ver 1.0 ");
    EXPECT_EQ(v[3], u"ABC  - 1");
    EXPECT_EQ(v[4], u"BIOS Date: 01/02/03");
    EXPECT_EQ(v[5], u"Ver 1.0");
    for (int i = 6; i <= 8; ++i) EXPECT_EQ(v[i], u"") << i;
    EXPECT_EQ(v[9], u"32");
    EXPECT_EQ(v[10], Padded(u"x86 Family 6 Model 8 Stepping 10"));
    EXPECT_EQ(v[11], Padded(u"Intel(R) Pentium(R) 4 CPU 2.40GHz"));
    EXPECT_EQ(v[12], Padded(u"GenuineIntel"));
    EXPECT_EQ(v[13], u"1800 MHz");
    EXPECT_EQ(v[14], u"Intel");
    EXPECT_EQ(v[15], u"Intel(R) Pentium(R) 4\n     CPU 2.40GHz\0    "s);
    EXPECT_EQ(v[16], u"1800");
    const std::u16string extensions[] = {
        u"yes", u"supported",   u"SSE yes",    u"SSE supported",
        u"no",  u"unsupported", u"SSE2 no",    u"SSE2 unsupported",
        u"yes", u"supported",   u"MMX yes",    u"MMX supported",
        u"no",  u"unsupported", u"MMX+ no",    u"MMX+ unsupported",
        u"no",  u"unsupported", u"3DNow! no",  u"3DNow! unsupported",
        u"no",  u"unsupported", u"3DNow!+ no", u"3DNow!+ unsupported",
    };
    for (int k = 0; k < 24; ++k) EXPECT_EQ(v[17 + k], extensions[k]) << 17 + k;
    EXPECT_EQ(v[41], u"x86 Family 6 Model\n  8 Stepping 10\0  "s);
    EXPECT_EQ(v[42], u"Architecture x86");
    EXPECT_EQ(v[43], u"Family Pentium 4");
    EXPECT_EQ(v[44], u"Model 15");
    EXPECT_EQ(v[45], u"Stepping 7");
    EXPECT_EQ(v[46], u"x86");
    EXPECT_EQ(v[47], u"Pentium 4");
    EXPECT_EQ(v[48], u"15");
    EXPECT_EQ(v[49], u"7");
    EXPECT_EQ(v[50], u"13.5");
    EXPECT_EQ(v[51], u"267 MHz");
    EXPECT_EQ(v[52], u"267");
    EXPECT_EQ(v[53], u"133 MHz");
    EXPECT_EQ(v[54], u"133");
    EXPECT_EQ(v[55], u"Socket 478");
}

TEST_F(CPUInfoTest, APollMakesSevenReadsElevenQueriesAnd24Tests) {
    ASSERT_EQ(object->PollData(), S_OK);
    EXPECT_EQ(registry.opens, 7);
    EXPECT_EQ(registry.closes, 7);
    EXPECT_EQ(service.queries, 11);
    EXPECT_EQ(features.calls, 24);
}

TEST_F(CPUInfoTest, TheErratumAnswersForMmxPlusAnd3DNowPlus) {
    features.features = {platform::kFloatingPointPrecisionErrata};
    ASSERT_EQ(object->PollData(), S_OK);
    EXPECT_EQ(Value(29), u"yes");
    EXPECT_EQ(Value(32), u"MMX+ supported");
    EXPECT_EQ(Value(39), u"3DNow!+ yes");
    EXPECT_EQ(Value(19), u"SSE no");
    EXPECT_EQ(Value(36), u"3DNow! unsupported");
}

TEST_F(CPUInfoTest, VersionItemsBeyondTheTokensKeepTheirTexts) {
    registry.SetMultiString(kFirmware, "SystemBiosVersion", {"1", "2", "3", "4", "5", "6", "7"});
    ASSERT_EQ(object->PollData(), S_OK);
    EXPECT_EQ(Value(2), u"1 2 3 4 5 6 7 ");
    EXPECT_EQ(Value(8), u"6");

    registry.SetMultiString(kFirmware, "SystemBiosVersion", {"", "B"});
    ASSERT_EQ(object->PollData(), S_OK);
    EXPECT_EQ(Value(2), u" B ");
    EXPECT_EQ(Value(3), u"");
    EXPECT_EQ(Value(4), u"B");
    EXPECT_EQ(Value(5), u"3");
    EXPECT_EQ(Value(8), u"6");

    registry.keys[kFirmware].erase("SystemBiosVersion");
    ASSERT_EQ(object->PollData(), S_OK);
    EXPECT_EQ(Value(2), u"");
    EXPECT_EQ(Value(4), u"B");
}

TEST_F(CPUInfoTest, MissingProcessorNameFailsItsStepOnly) {
    registry.keys[kProcessor].erase("ProcessorNameString");
    EXPECT_EQ(object->PollData(), com::kInvalidCall);
    EXPECT_EQ(Value(11), u"2");
    EXPECT_EQ(Value(15), u"");  // not written
    EXPECT_EQ(Value(14), u"Intel");
    EXPECT_EQ(Value(12), Padded(u"GenuineIntel"));
    EXPECT_EQ(Value(16), u"1800");
    EXPECT_EQ(Value(19), u"SSE yes");
    EXPECT_EQ(Value(46), u"x86");
    EXPECT_EQ(Value(9), u"32");

    // After a good poll the two-line name stays as it was when the name goes missing.
    registry.SetString(kProcessor, "ProcessorNameString", "Old CPU");
    ASSERT_EQ(object->PollData(), S_OK);
    registry.keys[kProcessor].erase("ProcessorNameString");
    EXPECT_EQ(object->PollData(), com::kInvalidCall);
    EXPECT_EQ(Value(15), u" Old \n CPU\0"s);
}

TEST_F(CPUInfoTest, MissingKeysShowAsTexts) {
    registry.keys.clear();
    EXPECT_EQ(object->PollData(), com::kInvalidCall);  // the two-line texts fail
    EXPECT_EQ(Value(1), u"Failure:Open");
    EXPECT_EQ(Value(11), u"Failure:Open");
    EXPECT_EQ(Value(12), u"Failure:Open");
    EXPECT_EQ(Value(14), u"unknown");
    EXPECT_EQ(Value(2), u"");
    EXPECT_EQ(Value(10), u"");  // its step failed with the two-line text
    EXPECT_EQ(Value(41), u"");
    EXPECT_EQ(Value(55), u"Socket 478");
}

TEST_F(CPUInfoTest, WithoutTheServiceTheOtherStepsStillRun) {
    const HRESULT unavailable = static_cast<HRESULT>(0x80070422);
    service.failure = unavailable;
    EXPECT_EQ(object->PollData(), unavailable);
    for (LONG i : {0, 13, 16, 50, 51, 52, 53, 54, 55}) EXPECT_EQ(Value(i), u"<empty>") << i;
    for (LONG i : {9, 46, 47, 48, 49}) EXPECT_EQ(Value(i), u"") << i;
    EXPECT_EQ(Value(42), u"Architecture ");
    EXPECT_EQ(Value(19), u"SSE yes");
    EXPECT_EQ(Value(41), u"x86 Family 6 Model\n  8 Stepping 10\0  "s);
    EXPECT_EQ(Value(14), u"Intel");
}

TEST_F(CPUInfoTest, ANullExternalClockFailsOnlyTheDerivedClocks) {
    ASSERT_EQ(object->PollData(), S_OK);
    service.instances[0][u"ExtClock"] = std::monostate{};
    service.instances[0][u"CurrentClockSpeed"] = LONG{2400};
    service.instances[0][u"DataWidth"] = LONG{64};
    EXPECT_EQ(object->PollData(), com::kInvalidUseOfNull);
    EXPECT_EQ(Value(16), u"2400");
    EXPECT_EQ(Value(13), u"2400 MHz");
    EXPECT_EQ(Value(50), u"13.5");  // kept from the first poll
    EXPECT_EQ(Value(51), u"267 MHz");
    EXPECT_EQ(Value(54), u"133");
    EXPECT_EQ(Value(55), u"Socket 478");
    EXPECT_EQ(Value(9), u"64");
}

TEST_F(CPUInfoTest, AFailingFeatureTestKeepsTheExtensionItems) {
    features.failure = E_NOTIMPL;
    EXPECT_EQ(object->PollData(), E_NOTIMPL);
    for (LONG i = 17; i <= 40; ++i) EXPECT_EQ(Value(i), u"<empty>") << i;
    EXPECT_EQ(Value(46), u"x86");
    EXPECT_EQ(Value(0), u"64");
}

TEST_F(CPUInfoTest, TheFirstFailureIsAnswered) {
    registry.queryResult = E_NOTIMPL;
    service.failure = E_FAIL;
    EXPECT_EQ(object->PollData(), E_NOTIMPL);
    EXPECT_EQ(Value(19), u"SSE yes");
}

TEST_F(CPUInfoTest, ValuesAreCopies) {
    ASSERT_EQ(object->PollData(), S_OK);
    com::Variant a, b;
    ASSERT_EQ(object->get_Value(16, a.Out()), S_OK);
    ASSERT_EQ(object->get_Value(16, b.Out()), S_OK);
    ASSERT_EQ(a.vt, VT_BSTR);
    EXPECT_NE(a.bstrVal, b.bstrVal);
    a.bstrVal[0] = u'9';
    EXPECT_EQ(Value(16), u"1800");
}

// Late-bound calls by name, arguments given first to last.
class Dispatch : public CPUInfoTest {
  protected:
    template <class... V>
    Invoked Call(const std::u16string& name, V&&... args) {
        return testing_support::Invoke(dispatch(), testing_support::IdOf(dispatch(), name),
                                       std::forward<V>(args)...);
    }
};

TEST_F(Dispatch, MemberIdsAndParameterNames) {
    com::ComPtr<IDispatch> dispatch;
    ASSERT_EQ(object->QueryInterface(IID__CPUInfo, dispatch.OutVoid()), S_OK);
    const std::pair<std::u16string, DISPID> methods[] = {{u"Check128", 0x6003000D},
                                                         {u"fnDualLine", 0x6003000E},
                                                         {u"FNFEATURESUPPORT", 0x6003000F},
                                                         {u"fnWin32Processor", 0x60030010}};
    for (auto [name, expected] : methods) {
        LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(name.data())};
        DISPID id = 0;
        ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
        EXPECT_EQ(id, expected);
    }
    std::u16string method = u"fnFeatureSupport", p1 = u"lCheckFeature", p2 = u"sRtnTrue",
                   p3 = u"sRtnFalse";
    LPOLESTR names[] = {method.data(), p1.data(), p2.data(), p3.data()};
    DISPID ids[4] = {};
    ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, reinterpret_cast<LPOLESTR*>(names), 4, 0, ids),
              S_OK);
    EXPECT_EQ(ids[1], 0);
    EXPECT_EQ(ids[3], 2);
}

TEST_F(Dispatch, FeatureSupportByName) {
    EXPECT_EQ(Call(u"fnFeatureSupport", Long(6), Text(u"SSE yes"), Text(u"SSE no")).result,
              Ok(u"SSE yes"));
    EXPECT_EQ(Call(u"fnFeatureSupport", Long(10), Text(u"SSE2 yes"), Text(u"SSE2 no")).result,
              Ok(u"SSE2 no"));
    EXPECT_EQ(Call(u"fnFeatureSupport", Long(3), Long(1), Long(0)).result, Ok(u"1"));
    EXPECT_EQ(Call(u"fnFeatureSupport", Long(7), Long(1), Long(0)).result, Ok(u"0"));
    // Only the chosen variant is converted.
    EXPECT_EQ(Call(u"fnFeatureSupport", Long(6), Text(u"ok"), Null()).result, Ok(u"ok"));
    const Invoked null = Call(u"fnFeatureSupport", Long(7), Text(u"ok"), Null());
    EXPECT_EQ(null.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(null.scode, com::kInvalidUseOfNull);
    // The number arrives as text and converts to the 32-bit parameter.
    EXPECT_EQ(Call(u"fnFeatureSupport", Text(u"6"), Text(u"a"), Text(u"b")).result, Ok(u"a"));
}

TEST_F(Dispatch, OtherMethodsByName) {
    ASSERT_EQ(object->PollData(), S_OK);
    EXPECT_EQ(Call(u"fnWin32Processor", Text(u"8")).result, Ok(u"1800"));
    EXPECT_EQ(Call(u"fnWin32Processor", Long(51)).result, Ok(u"13.5"));
    EXPECT_EQ(Call(u"fnWin32Processor", Long(-1)).result, Ok(u""));
    EXPECT_EQ(Call(u"fnWin32Processor", Long(40000)).hr, DISP_E_OVERFLOW);
    EXPECT_EQ(Call(u"fnDualLine", Text(u"ab cd\0"s)).result, Ok(u" ab \n cd\0"s));
    const Invoked printable = Call(u"fnDualLine", Text(u"2"));
    EXPECT_EQ(printable.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(printable.scode, com::kInvalidCall);
    EXPECT_EQ(Call(u"Check128", Text(u"ab\u00e9")).result, Ok(u"True"));
    EXPECT_EQ(Call(u"Check128", Text(u"")).result, Ok(u"False"));
}

TEST_F(Dispatch, TheClassInterfaceVtable) {
    com::ComPtr<_CPUInfo> cpu;
    ASSERT_EQ(object->QueryInterface(IID__CPUInfo, cpu.OutVoid()), S_OK);
    com::Bstr out;
    const testing_support::Value yes = Text(u"yes"), no = Long(0);
    ASSERT_EQ(cpu->fnFeatureSupport(3, yes, no, out.Out()), S_OK);
    EXPECT_EQ(out.View(), u"yes");
    ASSERT_EQ(cpu->fnFeatureSupport(-1, yes, no, out.Out()), S_OK);
    EXPECT_EQ(out.View(), u"0");
    EXPECT_EQ(com::View(yes.bstrVal), u"yes") << "the inputs stay the caller's";

    ASSERT_EQ(cpu->fnWin32Processor(53, out.Out()), S_OK);
    EXPECT_EQ(out.View(), u"133");
    service.failure = E_FAIL;
    EXPECT_EQ(cpu->fnWin32Processor(53, out.Out()), E_FAIL);
    EXPECT_EQ(out.Get(), nullptr);

    com::Bstr source(u"\0"s);
    ASSERT_EQ(cpu->fnDualLine(source.Get(), out.Out()), S_OK);
    EXPECT_EQ(out.View(), u"\0\n "s);
    EXPECT_EQ(cpu->fnDualLine(nullptr, out.Out()), com::kInvalidCall);
    EXPECT_EQ(out.Get(), nullptr);

    VARIANT_BOOL found = 0;
    ASSERT_EQ(cpu->Check128(nullptr, &found), S_OK);
    EXPECT_EQ(found, VARIANT_FALSE);
}

}  // namespace
}  // namespace cpuinfo
