// The object frame that every plug-in class shares, exercised through the uptime class.
#include <gtest/gtest.h>

#include <string>

#include "com/owners.h"
#include "frame/module.h"
#include "tests/support/calls.h"
#include "tests/support/rigs.h"

namespace {

using com::Bstr;

class FrameTest : public ::testing::Test, protected testing_support::UptimeRig {};

TEST_F(FrameTest, ConfigurationStringRoundTrips) {
    Bstr got;
    ASSERT_EQ(plugin()->get_ConfigurationString(got.Out()), S_OK);
    EXPECT_EQ(got.View(), u"") << "fresh object";

    Bstr abc(u"abc");
    ASSERT_EQ(plugin()->put_ConfigurationString(abc.Get()), S_OK);
    abc.Reset();  // the caller's string stays the caller's; the object holds its own copy
    ASSERT_EQ(plugin()->get_ConfigurationString(got.Out()), S_OK);
    EXPECT_EQ(got.View(), u"abc");

    Bstr again;
    ASSERT_EQ(plugin()->get_ConfigurationString(again.Out()), S_OK);
    EXPECT_NE(again.Get(), got.Get()) << "every get hands out a new copy";

    ASSERT_EQ(plugin()->put_ConfigurationString(nullptr), S_OK);
    ASSERT_EQ(plugin()->get_ConfigurationString(got.Out()), S_OK);
    EXPECT_EQ(got.View(), u"");
}

TEST_F(FrameTest, ConfigureEmptiesTheStringAndAnswersFalse) {
    Bstr text(u"settings");
    ASSERT_EQ(plugin()->put_ConfigurationString(text.Get()), S_OK);
    VARIANT_BOOL answer = 123;
    ASSERT_EQ(plugin()->Configure(&answer), S_OK);
    EXPECT_EQ(answer, VARIANT_FALSE);
    Bstr got;
    ASSERT_EQ(plugin()->get_ConfigurationString(got.Out()), S_OK);
    EXPECT_EQ(got.View(), u"");
}

TEST_F(FrameTest, ConstantsHoldWhateverCameBefore) {
    const testing_support::Constants constants{26, 1000, 2, u"Wendrikai v1.0"};
    EXPECT_EQ(testing_support::ConstantsOf(plugin(), provider()), constants);
    Bstr text(u"x");
    plugin()->put_ConfigurationString(text.Get());
    clock.now = 123456789;
    provider()->PollData();
    VARIANT_BOOL answer;
    plugin()->Configure(&answer);
    EXPECT_EQ(testing_support::ConstantsOf(plugin(), provider()), constants);
}

TEST_F(FrameTest, NullOutPointersAreRefused) {
    EXPECT_EQ(provider()->get_Count(nullptr), E_POINTER);
    EXPECT_EQ(plugin()->get_Description(nullptr), E_POINTER);
    EXPECT_EQ(plugin()->Configure(nullptr), E_POINTER);
    EXPECT_EQ(provider()->get_Name(0, nullptr), E_POINTER);
    EXPECT_EQ(provider()->get_Value(0, nullptr), E_POINTER);
}

TEST_F(FrameTest, DescriptionShowsProductAndTwoVersionParts) {
    Bstr text;
    ASSERT_EQ(plugin()->get_Description(text.Out()), S_OK);
    EXPECT_EQ(text.View(), u"Wendrikai v1.0");
}

TEST(Description, UsesPlainNumbers) {
    EXPECT_EQ(frame::DescriptionText(u"Orvantel", {1, 1, 0, 84}), u"Orvantel v1.1");
    EXPECT_EQ(frame::DescriptionText(u"Orvantel", {2, 10, 0, 3}), u"Orvantel v2.10");
    EXPECT_EQ(frame::DescriptionText(u"Tamblorin", {1, 5, 0, 116}), u"Tamblorin v1.5");
}

TEST(Check128, FindsACharacterAbove127) {
    const std::pair<std::u16string, VARIANT_BOOL> cases[] = {
        {u"", VARIANT_FALSE},
        {u"a", VARIANT_FALSE},
        {u"\u007f", VARIANT_FALSE},
        {u"\u0080", VARIANT_TRUE},
        {u"\u00e9", VARIANT_TRUE},
        {u"ab\u00e9", VARIANT_TRUE},
        {u"\u00e9abc", VARIANT_TRUE},
        {u"\u041c\u0430\u0439", VARIANT_TRUE},
        {std::u16string(100000, u'a'), VARIANT_FALSE},  // no length limit
        {std::u16string(40000, u'a') + u"\u00fc", VARIANT_TRUE},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(frame::HasCharAbove127(text), expected) << com::ToUtf8(text).size();
}

TEST_F(FrameTest, QueryInterfaceKeepsOneIdentity) {
    com::ComPtr<IUnknown> identity;
    ASSERT_EQ(cls()->QueryInterface(IID_IUnknown, identity.OutVoid()), S_OK);
    const IID* iids[] = {&IID_IUnknown, &IID_IDispatch, &IID__Uptime, &IID_ITessivar2Plugin,
                         &IID_ITessivar2DataProvider};
    IUnknown* starts[] = {plugin(), provider(), cls()};
    for (IUnknown* start : starts) {
        for (const IID* iid : iids) {
            com::ComPtr<IUnknown> itf, back;
            ASSERT_EQ(start->QueryInterface(*iid, itf.OutVoid()), S_OK);
            ASSERT_EQ(itf->QueryInterface(IID_IUnknown, back.OutVoid()), S_OK);
            EXPECT_EQ(back.Get(), identity.Get());
        }
    }
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(plugin()->QueryInterface(IID_IClassFactory, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(plugin()->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

TEST(Module, CountsObjectsAndLocks) {
    const frame::ClassEntry entry{uptime::UptimeIdentity(), &uptime::CreateUptime};
    ASSERT_EQ(frame::CanUnloadNow(), S_OK);

    com::ComPtr<IClassFactory> factory;
    ASSERT_EQ(frame::GetClassObject(entry, CLSID_Uptime, factory.Iid(), factory.OutVoid()), S_OK);
    ITessivar2DataProvider* provider = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_ITessivar2DataProvider,
                                      reinterpret_cast<void**>(&provider)),
              S_OK);
    EXPECT_EQ(frame::CanUnloadNow(), S_FALSE);
    provider->AddRef();
    EXPECT_EQ(provider->Release(), 1u);
    EXPECT_EQ(provider->Release(), 0u);
    EXPECT_EQ(frame::CanUnloadNow(), S_OK);

    factory->LockServer(TRUE);
    EXPECT_EQ(frame::CanUnloadNow(), S_FALSE);
    factory->LockServer(FALSE);
    EXPECT_EQ(frame::CanUnloadNow(), S_OK);

    void* out = nullptr;
    EXPECT_EQ(factory->CreateInstance(factory.Get(), IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(frame::CanUnloadNow(), S_OK) << "a refused creation leaves no object behind";
}

TEST(Module, AnswersOnlyForItsOwnClass) {
    const frame::ClassEntry entry{uptime::UptimeIdentity(), &uptime::CreateUptime};
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(frame::GetClassObject(entry, IID__Uptime, IID_IClassFactory, &out),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
}

}  // namespace
