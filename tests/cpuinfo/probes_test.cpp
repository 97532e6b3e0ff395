// The registry read and the management query against fakes of the platform.
#include "cpuinfo/probes.h"

#include <gtest/gtest.h>

#include <new>
#include <string>

#include "com/errors.h"
#include "com/owners.h"
#include "platform/fakes/fake_management.h"
#include "platform/fakes/fake_registry.h"
#include "tests/hardening/failing_new.h"

namespace cpuinfo {
namespace {

using namespace std::string_literals;
using platform::fakes::FakeInstance;
using platform::fakes::FakeManagementService;
using platform::fakes::FakeRegistry;

constexpr char kKey[] = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
constexpr char16_t kKey16[] = u"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

struct ReadRegStringTest : ::testing::Test {
    FakeRegistry registry;
    std::u16string Read(std::u16string_view key, std::u16string_view name) {
        std::u16string text = u"unset";
        EXPECT_EQ(ReadRegString(registry, key, name, &text), S_OK);
        return text;
    }
};

TEST_F(ReadRegStringTest, ValueThenNulsTo250Characters) {
    registry.SetString(kKey, "VendorIdentifier", "GenuineIntel");
    const std::u16string text = Read(kKey16, u"VendorIdentifier");
    ASSERT_EQ(text.size(), 250u);
    EXPECT_EQ(text.substr(0, 12), u"GenuineIntel");
    EXPECT_EQ(text.find_first_not_of(u'\0', 12), std::u16string::npos);
    EXPECT_EQ(registry.lastOffered, 198u);
    EXPECT_TRUE(registry.open.empty());
    EXPECT_EQ(registry.closes, 1);
}

TEST_F(ReadRegStringTest, MultiTextKeepsItsEntriesAndClosingNul) {
    registry.SetMultiString("HARDWARE\\DESCRIPTION\\System", "SystemBiosVersion", {"A", "B"});
    const std::u16string text = Read(u"HARDWARE\\DESCRIPTION\\System", u"SystemBiosVersion");
    ASSERT_EQ(text.size(), 250u);
    EXPECT_EQ(text.substr(0, 5), u"A\0B\0\0"s);
}

TEST_F(ReadRegStringTest, MultibyteCharactersArePaddedWithBlanks) {
    // Five bytes of UTF-8 give four characters: the text ends in one blank after the NULs.
    registry.SetString(kKey, "ProcessorNameString", "Caf\xC3\xA9");
    const std::u16string text = Read(kKey16, u"ProcessorNameString");
    ASSERT_EQ(text.size(), 250u);
    EXPECT_EQ(text.substr(0, 4), u"Caf\u00e9");
    EXPECT_EQ(text.substr(4, 245), std::u16string(245, u'\0'));
    EXPECT_EQ(text.back(), u' ');
}

TEST_F(ReadRegStringTest, ReadFailuresAreTextsAndTheKeyIsClosed) {
    registry.AddKey(kKey);
    EXPECT_EQ(Read(kKey16, u"ProcessorNameString"), u"2");
    EXPECT_EQ(registry.closes, 1);

    registry.SetString(kKey, "Long", std::string(198, 'x'));  // 199 bytes with its NUL
    EXPECT_EQ(Read(kKey16, u"Long"), u"234");
    EXPECT_EQ(registry.closes, 2);
    EXPECT_TRUE(registry.open.empty());

    registry.SetString(kKey, "Fits", std::string(197, 'x'));
    EXPECT_EQ(Read(kKey16, u"Fits").substr(0, 198), std::u16string(197, u'x') + u'\0');
}

TEST_F(ReadRegStringTest, MissingKeyIsFailureOpenWithNothingClosed) {
    EXPECT_EQ(Read(u"HARDWARE\\Nowhere", u"Identifier"), u"Failure:Open");
    EXPECT_EQ(registry.queries, 0);
    EXPECT_EQ(registry.closes, 0);
}

TEST_F(ReadRegStringTest, UnavailableRegistryCallsFail) {
    registry.SetString(kKey, "Identifier", "x86");
    std::u16string text = u"unset";
    registry.openResult = E_NOTIMPL;
    EXPECT_EQ(ReadRegString(registry, kKey16, u"Identifier", &text), E_NOTIMPL);
    registry.openResult = 0;
    registry.queryResult = E_NOTIMPL;
    EXPECT_EQ(ReadRegString(registry, kKey16, u"Identifier", &text), E_NOTIMPL);
    EXPECT_TRUE(registry.open.empty()) << "the key is closed after a failed query too";
    registry.queryResult = 0;
    registry.closeResult = E_NOTIMPL;
    EXPECT_EQ(ReadRegString(registry, kKey16, u"Identifier", &text), E_NOTIMPL);
    EXPECT_EQ(text, u"unset");
}

TEST_F(ReadRegStringTest, AnAllocationFailingAfterTheOpenClosesTheKey) {
    registry.SetString(kKey, "ProcessorNameString", "Intel(R) Pentium(R) 4 CPU 2.40GHz");
    // Each allocation of the read failing in turn, the narrow copy of the value's name after the
    // open among them: the read gives up, and a key it opened is closed again.
    for (unsigned k = 1; k < 100; ++k) {
        std::u16string text;
        bool threw = false;
        hardening::FailNthNew(k);
        try {
            ReadRegString(registry, kKey16, u"ProcessorNameString", &text);
        } catch (const std::bad_alloc&) {
            threw = true;
        }
        const bool reached = !hardening::NewFailurePending();
        hardening::FailNthNew(0);
        EXPECT_TRUE(registry.open.empty()) << "a key left open at allocation " << k;
        if (!reached) {
            EXPECT_FALSE(threw);
            EXPECT_EQ(text.substr(0, 5), u"Intel");
            EXPECT_GT(k, 3u) << "the key, the value's name and the result are allocated";
            return;
        }
        EXPECT_TRUE(threw) << "allocation " << k;
    }
    ADD_FAILURE() << "the read never completed";
}

// One processor of 1800 MHz on a 133 MHz bus, as most tests see it.
FakeInstance Processor() {
    return {
        {u"AddressWidth", LONG{32}},
        {u"Architecture", LONG{0}},
        {u"CurrentClockSpeed", LONG{1800}},
        {u"ExtClock", LONG{133}},
        {u"DataWidth", LONG{64}},
        {u"Family", LONG{190}},
        {u"Level", LONG{6}},
        {u"SocketDesignation", u"  Socket 478   "},
        {u"Stepping", u"10"},
        {u"Version", u" Model 8, Stepping 10 "},
    };
}

struct Win32ProcessorTest : ::testing::Test {
    FakeManagementService service;
    void SetUp() override { service.instances = {Processor()}; }
    HRESULT Query(short selector, std::u16string* text) {
        *text = u"unset";
        return Win32Processor(service, selector, text);
    }
    std::u16string Answer(short selector) {
        std::u16string text;
        EXPECT_EQ(Query(selector, &text), S_OK) << selector;
        return text;
    }
};

TEST_F(Win32ProcessorTest, AnswersEachSelector) {
    const std::pair<short, std::u16string_view> cases[] = {
        {0, u"32"},          {1, u"x86"},  {8, u"1800"},
        {10, u"64"},         {16, u"K7"},  {21, u"6"},
        {34, u"Socket 478"}, {37, u"10"},  {42, u"Model 8, Stepping 10"},
        {51, u"13.5"},       {52, u"267"}, {53, u"133"},
    };
    for (const auto& [selector, text] : cases) EXPECT_EQ(Answer(selector), text) << selector;
    EXPECT_EQ(service.lastClass, u"Win32_Processor");
    EXPECT_EQ(service.queries, 12) << "every call queries afresh";
}

TEST_F(Win32ProcessorTest, DerivedClocks) {
    // The core and external clocks, and the multiplier, bus and clock answered.
    const std::tuple<LONG, LONG, std::u16string_view, std::u16string_view, std::u16string_view>
        cases[] = {
            {2000, 133, u"15", u"267", u"133"},
            {1800, 133, u"13.5", u"267", u"133"},
            {2200, 200, u"11", u"400", u"200"},
            {100, 133, u"0.5", u"400", u"200"},
        };
    for (const auto& [core, external, ratio, bus, clock] : cases) {
        service.instances[0][u"CurrentClockSpeed"] = core;
        service.instances[0][u"ExtClock"] = external;
        EXPECT_EQ(Answer(51), ratio) << core;
        EXPECT_EQ(Answer(52), bus) << core;
        EXPECT_EQ(Answer(53), clock) << core;
    }
}

TEST_F(Win32ProcessorTest, UnlistedSelectorsReadNothing) {
    for (short selector : {2, 43, 50, 54, 1000, -1, -32768, 32767}) {
        EXPECT_EQ(Answer(selector), u"") << selector;
    }
    EXPECT_EQ(service.reads, 0);
}

TEST_F(Win32ProcessorTest, TheLastInstanceAnswers) {
    FakeInstance second = Processor();
    service.instances[0][u"CurrentClockSpeed"] = LONG{1000};
    second[u"CurrentClockSpeed"] = LONG{1200};
    service.instances.push_back(second);
    EXPECT_EQ(Answer(8), u"1200");

    service.instances.clear();
    EXPECT_EQ(Answer(8), u"");
    EXPECT_EQ(Answer(51), u"");
}

TEST_F(Win32ProcessorTest, NullPropertiesGiveTheEmptyText) {
    for (const char16_t* property : {u"AddressWidth", u"Architecture", u"CurrentClockSpeed",
                                     u"Family", u"SocketDesignation", u"Stepping"})
        service.instances[0][property] = std::monostate{};
    for (short selector : {0, 1, 8, 16, 34, 37, 51, 52, 53})
        EXPECT_EQ(Answer(selector), u"") << selector;

    // A null answer from the last instance replaces an earlier one.
    FakeInstance first = Processor();
    service.instances.insert(service.instances.begin(), first);
    EXPECT_EQ(Answer(8), u"");
}

// An object with a reference count, for properties that hold one.
struct CountedUnknown : IUnknown {
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

TEST_F(Win32ProcessorTest, PropertiesOfOtherTypes) {
    auto any = [](VARTYPE type, auto set) {
        VARIANT v;
        VariantInit(&v);
        v.vt = type;
        set(v);
        return platform::fakes::AnyProperty(v);
    };
    service.instances[0][u"CurrentClockSpeed"] = any(VT_R8, [](VARIANT& v) { v.dblVal = 2599.6; });
    service.instances[0][u"Stepping"] = any(VT_BOOL, [](VARIANT& v) { v.boolVal = VARIANT_TRUE; });
    service.instances[0][u"Family"] = any(VT_UI2, [](VARIANT& v) { v.uiVal = 190; });
    EXPECT_EQ(Answer(8), u"2599.6");
    EXPECT_EQ(Answer(37), u"-1");
    EXPECT_EQ(Answer(16), u"K7");

    service.instances[0][u"CurrentClockSpeed"] = LONG{1800};
    com::Bstr hex(u"&H85");
    service.instances[0][u"ExtClock"] = any(VT_BSTR, [&](VARIANT& v) { v.bstrVal = hex.Get(); });
    EXPECT_EQ(Answer(51), u"13.5");
    service.instances[0][u"CurrentClockSpeed"] = any(VT_EMPTY, [](VARIANT&) {});
    EXPECT_EQ(Answer(8), u"");

    // An object is no text: a type mismatch, and every reference taken is given back.
    CountedUnknown object;
    service.instances[0][u"Level"] = any(VT_UNKNOWN, [&](VARIANT& v) { v.punkVal = &object; });
    EXPECT_EQ(object.refs, 2u) << "the property holds its own reference";
    std::u16string text;
    EXPECT_EQ(Query(21, &text), com::kTypeMismatch);
    EXPECT_EQ(object.refs, 2u);
    service.instances.clear();
    EXPECT_EQ(object.refs, 1u);
}

TEST_F(Win32ProcessorTest, ConversionFailuresCarryTheRuntimeErrors) {
    const std::tuple<const char16_t*, platform::fakes::FakeProperty, short, HRESULT> cases[] = {
        {u"Stepping", u"B2", 37, com::kTypeMismatch},
        {u"AddressWidth", u"wide", 0, com::kTypeMismatch},
        {u"Architecture", LONG{70000}, 1, com::kOverflow},
        {u"Family", LONG{-40000}, 16, com::kOverflow},
        {u"Family", u"K7", 16, com::kTypeMismatch},
        {u"CurrentClockSpeed", LONG{40000}, 51, com::kOverflow},
        {u"CurrentClockSpeed", LONG{32768}, 53, com::kOverflow},
        {u"ExtClock", LONG{0}, 51, com::kDivisionByZero},
        {u"ExtClock", LONG{0}, 52, com::kDivisionByZero},
        {u"ExtClock", std::monostate{}, 53, com::kInvalidUseOfNull},
        {u"ExtClock", u"fast", 51, com::kTypeMismatch},
    };
    for (const auto& [property, value, selector, status] : cases) {
        SetUp();
        service.instances[0][property] = value;
        std::u16string text;
        EXPECT_EQ(Query(selector, &text), status) << selector;
    }
    // A multiplier of 0 leaves nothing to divide by.
    SetUp();
    service.instances[0][u"CurrentClockSpeed"] = LONG{3};
    std::u16string text;
    EXPECT_EQ(Answer(51), u"0");
    EXPECT_EQ(Query(53, &text), com::kDivisionByZero);
    EXPECT_EQ(Query(52, &text), com::kDivisionByZero);
}

TEST_F(Win32ProcessorTest, AFailureEndsTheCallAtOnce) {
    FakeInstance bad = Processor();
    bad[u"ExtClock"] = LONG{0};
    service.instances = {bad, Processor()};
    std::u16string text;
    EXPECT_EQ(Query(51, &text), com::kDivisionByZero);
    EXPECT_EQ(service.reads, 2) << "the second instance is not visited";

    service.instances = {Processor()};
    service.instances[0].erase(u"Level");
    EXPECT_EQ(Query(21, &text), platform::kWbemNotFound);

    const HRESULT unavailable = static_cast<HRESULT>(0x80070422);
    service.failure = unavailable;
    EXPECT_EQ(Query(8, &text), unavailable);
}

}  // namespace
}  // namespace cpuinfo
