// The built Tamblorin library through its exported entry points.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "date/custom_date.h"
#include "platform/posix/class_records.h"
#include "tests/support/plugin_library.h"
#include "tests/support/process.h"

namespace {

class TamblorinLibrary : public ::testing::Test {
  protected:
    testing_support::PluginLibrary library{"Tamblorin.so"};
    void SetUp() override { ASSERT_TRUE(library.loaded()) << library.error(); }
    // A new object of the class, as the interface `iid`.
    template <class I>
    I* Create(REFIID iid) {
        return library.Create<I>(CLSID_CustomDate, iid);
    }
};

std::string Text(const VARIANT& v) {
    return v.vt == VT_BSTR ? com::ToUtf8(com::View(v.bstrVal)) : "<not text>";
}

TEST_F(TamblorinLibrary, ObjectsShareThePollTimeOfTheirThread) {
    auto* first = Create<ITessivar2DataProvider>(IID_ITessivar2DataProvider);
    auto* second = Create<ITessivar2DataProvider>(IID_ITessivar2DataProvider);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(library.CanUnloadNow(), S_FALSE);

    com::Variant v;
    ASSERT_EQ(second->get_Value(0, v.Out()), S_OK);
    EXPECT_EQ(Text(v), "Error");  // nothing polled on this thread yet

    const std::time_t before = std::time(nullptr);
    ASSERT_EQ(first->PollData(), S_OK);
    const std::time_t after = std::time(nullptr);
    ASSERT_EQ(second->get_Value(8, v.Out()), S_OK);
    char year[2][8];
    tm local{};
    std::strftime(year[0], sizeof year[0], "%Y", localtime_r(&before, &local));
    std::strftime(year[1], sizeof year[1], "%Y", localtime_r(&after, &local));
    EXPECT_TRUE(Text(v) == year[0] || Text(v) == year[1]) << Text(v);
    for (LONG i = 0; i < 29; ++i) {
        ASSERT_EQ(first->get_Value(i, v.Out()), S_OK);
        EXPECT_NE(Text(v), "Error") << i;
    }
    first->Release();
    second->Release();
    EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

TEST_F(TamblorinLibrary, ClassInterfaceIsDualAndInOrder) {
    auto* custom = Create<_CustomDate>(IID__CustomDate);
    ASSERT_NE(custom, nullptr);
    com::Bstr text;
    EXPECT_EQ(custom->GetDaySuffix(23, text.Out()), S_OK);
    EXPECT_EQ(text.View(), u"rd");
    EXPECT_EQ(custom->GetMonthLong(2, text.Out()), S_OK);
    EXPECT_EQ(text.View(), u"February");
    EXPECT_EQ(custom->GetDayLong(4, text.Out()), S_OK);
    EXPECT_EQ(text.View(), u"Thursday");

    ITessivar2Plugin* plugin = nullptr;
    ASSERT_EQ(custom->QueryInterface(IID_ITessivar2Plugin, reinterpret_cast<void**>(&plugin)),
              S_OK);
    EXPECT_EQ(plugin->get_Description(text.Out()), S_OK);
    EXPECT_EQ(text.View(), u"Tamblorin v1.5");
    plugin->Release();
    custom->Release();
}

TEST_F(TamblorinLibrary, RegistersItsClassRecord) {
    const std::string folder = testing_support::MakeTempFolder();
    setenv("TESSIVAR_REGISTRY", folder.c_str(), 1);
    ASSERT_EQ(library.Register(), S_OK);
    auto record = platform::FindClassRecord("Tamblorin.CustomDate");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->clsid, "{" TAMBLORIN_CLSID "}");
    EXPECT_EQ(record->typeLib, "{" TAMBLORIN_LIBID "}");
    EXPECT_EQ(record->threadingModel, "Apartment");

    auto byProgId = testing_support::RunShell(
        std::string(TESS_LCDHOST) + " call Tamblorin.CustomDate GetDaySuffix 22",
        "TESSIVAR_REGISTRY=" + folder + " ");
    EXPECT_EQ(byProgId.status, 0) << byProgId.err;
    EXPECT_EQ(byProgId.out, "nd\n");

    ASSERT_EQ(library.Unregister(), S_OK);
    EXPECT_FALSE(platform::FindClassRecord("Tamblorin.CustomDate"));
    unsetenv("TESSIVAR_REGISTRY");
}

}  // namespace
