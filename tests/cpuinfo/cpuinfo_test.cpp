// The CPUInfo class against fakes: the item store, the poll and the class interface.
#include "cpuinfo/cpuinfo.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "com/errors.h"
#include "platform/fakes/fixture_tree.h"
#include "platform/posix/linux_sources.h"
#include "tests/support/calls.h"
#include "tests/support/rigs.h"

namespace cpuinfo {
namespace {

using namespace std::string_literals;
using testing_support::Constants;
using testing_support::Invoked;
using testing_support::ItemOf;
using testing_support::Long;
using testing_support::Null;
using testing_support::Ok;
using testing_support::Text;

using Texts = std::vector<std::u16string>;

constexpr auto& kFirmware = platform::fakes::kFirmwareKey;
constexpr auto& kProcessor = platform::fakes::kProcessorKey;

std::u16string Padded(std::u16string text) {
    text.resize(250, u'\0');
    return text;
}

// The Pentium 4 of the platform fakes.
struct CPUInfoTest : ::testing::Test, testing_support::CpuRig {
    // The item's value; the empty variant as "<empty>".
    std::u16string Value(LONG index) { return testing_support::ValueOf(provider(), index); }
    // The values of the items `indexes`, and of the items `first` to `last`.
    Texts ValuesAt(std::initializer_list<LONG> indexes) {
        Texts values;
        for (LONG i : indexes) values.push_back(Value(i));
        return values;
    }
    Texts Values(LONG first, LONG last) {
        Texts values;
        for (LONG i = first; i <= last; ++i) values.push_back(Value(i));
        return values;
    }
};

TEST_F(CPUInfoTest, ConstantsAndDescription) {
    EXPECT_EQ(testing_support::ConstantsOf(plugin(), provider()),
              (Constants{56, 1000, 0, u"Orvantel v1.1"}));
}

TEST_F(CPUInfoTest, NamesAreTheCatalogue) {
    for (LONG i = 0; i < kItemCount; ++i) {
        const auto item = ItemOf(provider(), i);
        EXPECT_EQ(item.name.hr, S_OK);
        EXPECT_EQ(item.name, item.display);
        EXPECT_EQ(item.name.value.value_or(u"").substr(0, 9), u"Orvantel\\") << i;
    }
    EXPECT_EQ(ItemOf(provider(), 29).name,
              Ok(u"Orvantel\\Instruction Extension\\MMX+\\yes/no (unavailabe)"));
    EXPECT_EQ(ItemOf(provider(), 51).name, Ok(u"Orvantel\\CPU & MOBO Freq.\\FSB Freq.(suffixed)"));
    for (LONG outside : {56, -1, 1000}) {
        EXPECT_EQ(ItemOf(provider(), outside).name, (testing_support::Outcome{S_OK, std::nullopt}));
        EXPECT_EQ(ItemOf(provider(), outside).display,
                  (testing_support::Outcome{S_OK, std::nullopt}));
    }
}

TEST_F(CPUInfoTest, BeforeAPollVariantItemsAreEmptyAndTextItemsEmptyTexts) {
    for (LONG i = -1; i <= kItemCount; ++i) {
        const bool text = (i >= 2 && i <= 10) || i == 12 || i == 15 || (i >= 41 && i <= 49);
        EXPECT_EQ(Value(i), text ? u"" : u"<empty>") << i;
    }
}

TEST_F(CPUInfoTest, PollFillsEveryItem) {
    ASSERT_EQ(object->PollData(), S_OK);
    EXPECT_EQ(
        Values(0, 16),
        (Texts{u"64", Padded(u"01/02/03"), u"ABC  - 1 BIOS Date: 01/02/03 Ver 1.0 ", u"ABC  - 1",
               u"BIOS Date: 01/02/03", u"Ver 1.0", u"", u"", u"", u"32",
               Padded(u"x86 Family 6 Model 8 Stepping 10"),
               Padded(u"Intel(R) Pentium(R) 4 CPU 2.40GHz"), Padded(u"GenuineIntel"), u"1800 MHz",
               u"Intel", u"Intel(R) Pentium(R) 4\n     CPU 2.40GHz\0    "s, u"1800"}));
    const Texts extensions = {
        u"yes", u"supported",   u"SSE yes",    u"SSE supported",
        u"no",  u"unsupported", u"SSE2 no",    u"SSE2 unsupported",
        u"yes", u"supported",   u"MMX yes",    u"MMX supported",
        u"no",  u"unsupported", u"MMX+ no",    u"MMX+ unsupported",
        u"no",  u"unsupported", u"3DNow! no",  u"3DNow! unsupported",
        u"no",  u"unsupported", u"3DNow!+ no", u"3DNow!+ unsupported",
    };
    EXPECT_EQ(Values(17, 40), extensions);
    EXPECT_EQ(Values(41, 55),
              (Texts{u"x86 Family 6 Model\n  8 Stepping 10\0  "s, u"Architecture x86",
                     u"Family Pentium 4", u"Model 15", u"Stepping 7", u"x86", u"Pentium 4", u"15",
                     u"7", u"13.5", u"267 MHz", u"267", u"133 MHz", u"133", u"Socket 478"}));
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
    EXPECT_EQ(ValuesAt({29, 32, 39, 19, 36}),
              (Texts{u"yes", u"MMX+ supported", u"3DNow!+ yes", u"SSE no", u"3DNow! unsupported"}));
}

TEST_F(CPUInfoTest, VersionItemsBeyondTheTokensKeepTheirTexts) {
    registry.SetMultiString(kFirmware, "SystemBiosVersion", {"1", "2", "3", "4", "5", "6", "7"});
    ASSERT_EQ(object->PollData(), S_OK);
    EXPECT_EQ(ValuesAt({2, 8}), (Texts{u"1 2 3 4 5 6 7 ", u"6"}));

    registry.SetMultiString(kFirmware, "SystemBiosVersion", {"", "B"});
    ASSERT_EQ(object->PollData(), S_OK);
    EXPECT_EQ(ValuesAt({2, 3, 4, 5, 8}), (Texts{u" B ", u"", u"B", u"3", u"6"}));

    registry.keys[kFirmware].erase("SystemBiosVersion");
    ASSERT_EQ(object->PollData(), S_OK);
    EXPECT_EQ(ValuesAt({2, 4}), (Texts{u"", u"B"}));
}

TEST_F(CPUInfoTest, MissingProcessorNameFailsItsStepOnly) {
    registry.keys[kProcessor].erase("ProcessorNameString");
    EXPECT_EQ(object->PollData(), com::kInvalidCall);
    // Item 15 is not written.
    EXPECT_EQ(
        ValuesAt({11, 15, 14, 12, 16, 19, 46, 9}),
        (Texts{u"2", u"", u"Intel", Padded(u"GenuineIntel"), u"1800", u"SSE yes", u"x86", u"32"}));

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
    // Item 10's step failed with the two-line text.
    EXPECT_EQ(ValuesAt({1, 11, 12, 14, 2, 10, 41, 55}),
              (Texts{u"Failure:Open", u"Failure:Open", u"Failure:Open", u"unknown", u"", u"", u"",
                     u"Socket 478"}));
}

TEST_F(CPUInfoTest, WithoutTheServiceTheOtherStepsStillRun) {
    const HRESULT unavailable = static_cast<HRESULT>(0x80070422);
    service.failure = unavailable;
    EXPECT_EQ(object->PollData(), unavailable);
    for (LONG i : {0, 13, 16, 50, 51, 52, 53, 54, 55}) EXPECT_EQ(Value(i), u"<empty>") << i;
    for (LONG i : {9, 46, 47, 48, 49}) EXPECT_EQ(Value(i), u"") << i;
    EXPECT_EQ(ValuesAt({42, 19, 41, 14}),
              (Texts{u"Architecture ", u"SSE yes", u"x86 Family 6 Model\n  8 Stepping 10\0  "s,
                     u"Intel"}));
}

TEST_F(CPUInfoTest, ANullExternalClockFailsOnlyTheDerivedClocks) {
    ASSERT_EQ(object->PollData(), S_OK);
    service.instances[0][u"ExtClock"] = std::monostate{};
    service.instances[0][u"CurrentClockSpeed"] = LONG{2400};
    service.instances[0][u"DataWidth"] = LONG{64};
    EXPECT_EQ(object->PollData(), com::kInvalidUseOfNull);
    // Items 50, 51 and 54 are kept from the first poll.
    EXPECT_EQ(ValuesAt({16, 13, 50, 51, 54, 55, 9}),
              (Texts{u"2400", u"2400 MHz", u"13.5", u"267 MHz", u"133", u"Socket 478", u"64"}));
}

TEST_F(CPUInfoTest, AFailingFeatureTestKeepsTheExtensionItems) {
    features.failure = E_NOTIMPL;
    EXPECT_EQ(object->PollData(), E_NOTIMPL);
    for (LONG i = 17; i <= 40; ++i) EXPECT_EQ(Value(i), u"<empty>") << i;
    EXPECT_EQ(ValuesAt({46, 0}), (Texts{u"x86", u"64"}));
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
struct Dispatch : CPUInfoTest {
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
    for (auto [name, expected] : methods)
        EXPECT_EQ(testing_support::IdOf(dispatch.Get(), name), expected);
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

// The class on the Linux stand-ins over snapshots of real machines, each with the machine name
// its kernel gives and the status of its poll: without firmware tables there is no external
// clock, and the derived clocks fail with invalid use of null.
struct Snapshot {
    const char* fixture;
    const char* machine;
    HRESULT poll;
};
constexpr Snapshot kSnapshots[] = {
    {"intel-desktop", "x86_64", com::kInvalidUseOfNull},
    {"amd-laptop", "x86_64", com::kInvalidUseOfNull},
    {"vm", "x86_64", com::kInvalidUseOfNull},
    {"arm-board", "aarch64", com::kInvalidUseOfNull},  // a Raspberry Pi 4
    {"pi3", "aarch64", com::kInvalidUseOfNull},
    {"pi4-32bit", "armv7l", com::kInvalidUseOfNull},
    {"pi5", "aarch64", com::kInvalidUseOfNull},
    {"rk3588", "aarch64", com::kInvalidUseOfNull},
    {"ampere-altra", "aarch64", S_OK},
};

// Every item's value after one poll on the snapshot, without the NULs that fill a registry text.
Texts ItemsOn(const Snapshot& snapshot) {
    const auto root = platform::fakes::Fixture(snapshot.fixture);
    const auto registry = platform::MakeLinuxRegistry(root, snapshot.machine);
    const auto service = platform::MakeLinuxManagementService(root, snapshot.machine);
    const auto features = platform::MakeLinuxProcessorFeatures(root, snapshot.machine);
    const auto object = testing_support::New<CPUInfo>(*registry, *features, *service);
    EXPECT_EQ(object->PollData(), snapshot.poll) << snapshot.fixture;
    Texts values;
    for (LONG i = 0; i < kItemCount; ++i) {
        std::u16string value = testing_support::ValueOf(object.Get(), i);
        value.erase(value.find_last_not_of(u'\0') + 1);
        values.push_back(std::move(value));
    }
    return values;
}

TEST(CPUInfoOnSnapshots, ItemsOfEachSnapshot) {
    const std::tuple<const char*, LONG, std::u16string> cases[] = {
        {"intel-desktop", 11, u"Intel(R) Core(TM) i7-9700K CPU @ 3.60GHz"},
        {"intel-desktop", 14, u"Intel"},
        {"intel-desktop", 10, u"Intel64 Family 6 Model 158 Stepping 13"},
        {"intel-desktop", 46, u"unknown"},  // the x64 code (9) has no name in the table
        {"intel-desktop", 13, u"4700 MHz"},
        {"intel-desktop", 21, u"yes"},
        {"intel-desktop", 35, u"3DNow! no"},
        {"intel-desktop", 1, u"11/25/19"},
        {"intel-desktop", 50, u"<empty>"},
        {"amd-laptop", 11, u"AMD Ryzen 7 5800U with Radeon Graphics"},
        {"amd-laptop", 14, u"AMD"},
        {"amd-laptop", 16, u"1896"},
        {"amd-laptop", 33, u"no"},  // only "3dnowprefetch"
        {"vm", 11, u"AMD EPYC"},
        {"vm", 1, u"2"},  // no firmware description
        // A Raspberry Pi 4 with a 64-bit kernel.
        {"arm-board", 11, u"Cortex-A72"},
        {"arm-board", 15, u"Cortex-A72\0\n           "s},
        {"arm-board", 12, u"ARM"},
        {"arm-board", 14, u"unknown"},
        {"arm-board", 10, u"ARMv8 (64-bit) Family 8 Model D08 Revision 3"},
        {"arm-board", 41, u"ARMv8 (64-bit) Family 8\n Model D08 Revision 3\0 "s},
        {"arm-board", 46, u"unknown"},  // nor the ARM64 code (12)
        {"arm-board", 42, u"Architecture unknown"},
        {"arm-board", 16, u"1500"},
        {"arm-board", 21, u"no"},
        {"arm-board", 24, u"SSE2 unsupported"},
        {"arm-board", 0, u"64"},
        {"arm-board", 9, u"64"},
        {"arm-board", 48, u"8"},
        {"arm-board", 49, u"3"},
        {"arm-board", 47, u""},
        {"arm-board", 55, u""},
        {"arm-board", 1, u"2"},
        {"arm-board", 50, u"<empty>"},
        {"pi3", 11, u"Cortex-A53"},
        {"pi3", 10, u"ARMv8 (64-bit) Family 8 Model D03 Revision 4"},
        {"pi3", 16, u"600"},
        {"pi3", 23, u"SSE2 no"},
        {"pi3", 49, u"4"},
        // A 32-bit kernel: its model name is not the core's name.
        {"pi4-32bit", 11, u"Cortex-A72"},
        {"pi4-32bit", 12, u"ARM"},
        {"pi4-32bit", 10, u"ARMv7 Family 7 Model D08 Revision 3"},
        {"pi4-32bit", 46, u"unknown"},
        {"pi4-32bit", 0, u"32"},
        {"pi4-32bit", 9, u"32"},
        {"pi4-32bit", 48, u"7"},
        {"pi4-32bit", 13, u"700 MHz"},
        {"pi4-32bit", 19, u"SSE no"},
        {"pi5", 11, u"Cortex-A76"},
        {"pi5", 10, u"ARMv8 (64-bit) Family 8 Model D0B Revision 1"},
        {"pi5", 16, u"1500"},
        {"pi5", 27, u"MMX no"},
        // Big and little cores: processor 0 (a Cortex-A55) and its clock.
        {"rk3588", 11, u"Cortex-A55"},
        {"rk3588", 10, u"ARMv8 (64-bit) Family 8 Model D05 Revision 0"},
        {"rk3588", 13, u"1008 MHz"},
        {"rk3588", 49, u"0"},
        // A server with firmware tables: socket, family and the external clock (the timer's).
        {"ampere-altra", 11, u"Neoverse-N1"},
        {"ampere-altra", 14, u"unknown"},
        {"ampere-altra", 10, u"ARMv8 (64-bit) Family 8 Model D0C Revision 1"},
        {"ampere-altra", 16, u"3000"},
        {"ampere-altra", 50, u"120"},
        {"ampere-altra", 51, u"50 MHz"},
        {"ampere-altra", 54, u"25"},
        {"ampere-altra", 55, u"CPU01"},
        {"ampere-altra", 43, u"Family unknown"},  // ARMv8 (257) has no name in the table
        {"ampere-altra", 48, u"8"},
        {"ampere-altra", 49, u"1"},
        {"ampere-altra", 36, u"3DNow! unsupported"},
        {"ampere-altra", 1, u"06/14/22"},
        {"ampere-altra", 3, u"Ampere(R)"},
        {"ampere-altra", 4, u"TianoCore 2.10.100 (SYS: 2.10.20220531)"},
    };
    std::map<std::string_view, Texts> items;
    for (const Snapshot& snapshot : kSnapshots) items[snapshot.fixture] = ItemsOn(snapshot);
    for (const auto& [fixture, item, expected] : cases) {
        ASSERT_TRUE(items.contains(fixture)) << fixture;
        EXPECT_EQ(items[fixture].at(item), expected) << fixture << " item " << item;
    }
}

}  // namespace
}  // namespace cpuinfo
