// The CustomDate class's identity, item names and class interface, early and late bound.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/calls.h"
#include "tests/support/rigs.h"

namespace {

using namespace testing_support;

struct ClassInterfaceTest : ::testing::Test, DateRig {
    _CustomDate* custom = cls();
};

TEST_F(ClassInterfaceTest, Constants) {
    EXPECT_EQ(ConstantsOf(plugin(), provider()), (Constants{29, 10000, 1, u"Tamblorin v1.5"}));
    com::ComPtr<_CustomDate> found;
    ASSERT_EQ(object->QueryInterface(IID__CustomDate, found.OutVoid()), S_OK);
    EXPECT_EQ(found.Get(), custom);
}

TEST_F(ClassInterfaceTest, NamesAndDisplayNames) {
    const std::pair<LONG, std::u16string> cases[] = {
        {0, u"Custom\\Day 2 digit with leading"},
        {3, u"Custom\\Day Long"},
        {9, u"Custom\\Year 2K"},
        {10, u"Custom\\day suffix"},
        {16, u"Predefined\\2 digit dmy\\mm dd yy"},
        {21, u"Predefined\\2 digit dy & char m\\dd mmm yy"},
        {28, u"Predefined\\2 digit d, char m, 4 digit Y\\mmm dd yyyy"},
    };
    for (const auto& [index, name] : cases) {
        const Item item = ItemOf(provider(), index);
        EXPECT_EQ(item.name, Ok(name)) << index;
        EXPECT_EQ(item.display, Ok(u"Tamblorin\\" + name)) << index;
    }
    for (LONG index : {29L, -1L, 1000L}) {
        EXPECT_EQ(ItemOf(provider(), index).name, Ok(u"")) << index;
        EXPECT_EQ(ItemOf(provider(), index).display, Ok(u"")) << index;
    }
}

TEST_F(ClassInterfaceTest, CalendarWordsThroughTheVtable) {
    using Member = HRESULT (STDMETHODCALLTYPE _CustomDate::*)(SHORT, BSTR*);
    const std::tuple<Member, SHORT, std::u16string> cases[] = {
        {&_CustomDate::GetDayShort, 0, u"Sun"},      {&_CustomDate::GetDayShort, 6, u"Sat"},
        {&_CustomDate::GetDayShort, 7, u""},         {&_CustomDate::GetDayShort, -1, u""},
        {&_CustomDate::GetDayLong, 3, u"Wednesday"}, {&_CustomDate::GetDayLong, 7, u""},
        {&_CustomDate::GetMonthShort, 1, u"Jan"},    {&_CustomDate::GetMonthShort, 12, u"Dec"},
        {&_CustomDate::GetMonthShort, 0, u""},       {&_CustomDate::GetMonthShort, 5, u"May"},
        {&_CustomDate::GetMonthLong, 5, u"May"},     {&_CustomDate::GetMonthLong, 9, u"September"},
        {&_CustomDate::GetMonthLong, 13, u""},       {&_CustomDate::GetMonthLong, -12, u""},
    };
    for (const auto& [member, argument, expected] : cases) {
        com::Bstr got;
        EXPECT_EQ((custom->*member)(argument, got.Out()), S_OK);
        EXPECT_EQ(got.View(), expected) << argument;
    }
}

TEST_F(ClassInterfaceTest, DaySuffixTable) {
    const std::pair<SHORT, std::u16string> cases[] = {
        {1, u"st"},  {2, u"nd"},  {3, u"rd"},  {4, u"th"},  {11, u"th"}, {12, u"th"},
        {13, u"th"}, {21, u"st"}, {22, u"nd"}, {23, u"rd"}, {30, u"th"}, {31, u"st"},
        {0, u"th"},  {32, u"th"}, {41, u"th"}, {-1, u"th"}, {-21, u"th"}};
    for (const auto& [day, expected] : cases) {
        com::Bstr got;
        EXPECT_EQ(custom->GetDaySuffix(day, got.Out()), S_OK);
        EXPECT_EQ(got.View(), expected) << day;
    }
}

TEST_F(ClassInterfaceTest, Check128) {
    const std::pair<std::u16string, VARIANT_BOOL> cases[] = {
        {u"", VARIANT_FALSE},
        {u"June 2003", VARIANT_FALSE},
        {u"d\u00E9c.", VARIANT_TRUE},
        {u"\u0438\u044E\u043D\u044C", VARIANT_TRUE},
        {u"\x7F", VARIANT_FALSE}};
    for (const auto& [text, expected] : cases) {
        com::Bstr s(text);
        VARIANT_BOOL got = 0;
        EXPECT_EQ(custom->Check128(s.Get(), &got), S_OK);
        EXPECT_EQ(got, expected);
    }
    VARIANT_BOOL got = VARIANT_TRUE;
    EXPECT_EQ(custom->Check128(nullptr, &got), S_OK);
    EXPECT_EQ(got, VARIANT_FALSE);
}

TEST_F(ClassInterfaceTest, MethodsByNameAndMemberId) {
    const std::pair<std::u16string, DISPID> ids[] = {
        {u"Check128", 0x6003000A},     {u"GetDayShort", 0x6003000B},
        {u"GetDayLong", 0x6003000C},   {u"GetMonthShort", 0x6003000D},
        {u"getmonthlong", 0x6003000E}, {u"GETDAYSUFFIX", 0x6003000F}};
    for (const auto& [name, id] : ids) EXPECT_EQ(IdOf(dispatch(), name), id) << com::ToUtf8(name);

    std::u16string method = u"GetDaySuffix", param = u"nDayOfMonth";
    LPOLESTR names[] = {method.data(), param.data()};
    DISPID got[2] = {};
    EXPECT_EQ(dispatch()->GetIDsOfNames(IID_NULL, names, 2, 0, got), S_OK);
    EXPECT_EQ(got[1], 0);

    EXPECT_EQ(Invoke(dispatch(), 0x6003000B, Short(1)).result, Ok(u"Mon"));
    EXPECT_EQ(Invoke(dispatch(), 0x6003000C, Short(-1)).result, Ok(u""));
    EXPECT_EQ(Invoke(dispatch(), 0x6003000D, Short(2)).result, Ok(u"Feb"));
    EXPECT_EQ(Invoke(dispatch(), 0x6003000E, Short(11)).result, Ok(u"November"));
    com::Bstr text(u"22");  // converted to a 16-bit integer; the caller keeps its text
    EXPECT_EQ(Invoke(dispatch(), 0x6003000F, Borrowed(text.Get())).result, Ok(u"nd"));
    EXPECT_EQ(text.View(), u"22");
    EXPECT_EQ(Invoke(dispatch(), 0x6003000A, Text(u"f\u00E9vr.")).result, Ok(u"True"));
    EXPECT_EQ(Invoke(dispatch(), 0x6003000A, Borrowed(text.Get())).result, Ok(u"False"));
    // A 16-bit parameter does not take 40000.
    EXPECT_EQ(Invoke(dispatch(), 0x6003000F, Long(40000)).hr, DISP_E_OVERFLOW);
}

}  // namespace
