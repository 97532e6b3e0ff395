// The built Orvantel library driven through its exported entry points and through lcdhost, on
// this machine's registry stand-in, feature test and management service. The machine's own
// processor strings are not known here: the tests check the shapes of the answers.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "com/guid.h"
#include "com/owners.h"
#include "cpuinfo/orvantel_class.h"
#include "frame/host_interfaces.h"
#include "tests/support/plugin_library.h"
#include "tests/support/process.h"

namespace {

constexpr CLSID kCPUInfo = com::GuidFromText(ORVANTEL_CLSID);
constexpr IID kClassInterface = com::GuidFromText(ORVANTEL_CLASS_IID);

const std::string kHost = TESS_LCDHOST;

class OrvantelLibrary : public ::testing::Test {
  protected:
    testing_support::PluginLibrary library{"Orvantel.so"};
    IUnknown* object = nullptr;
    ITessivar2DataProvider* provider = nullptr;

    void SetUp() override {
        ASSERT_TRUE(library.loaded()) << library.error();
        object = library.Create<IUnknown>(kCPUInfo, IID_IUnknown);
        ASSERT_NE(object, nullptr);
        ASSERT_EQ(
            object->QueryInterface(IID_ITessivar2DataProvider, reinterpret_cast<void**>(&provider)),
            S_OK);
    }
    void TearDown() override {
        if (provider != nullptr) provider->Release();
        if (object != nullptr) object->Release();
        if (library.loaded()) {
            EXPECT_EQ(library.CanUnloadNow(), S_OK);
        }
    }

    // The item's text; "<empty>" for the empty variant.
    std::u16string Value(LONG index) {
        com::Variant v;
        EXPECT_EQ(provider->get_Value(index, v.Out()), S_OK);
        if (v.vt == VT_EMPTY) return u"<empty>";
        EXPECT_EQ(v.vt, VT_BSTR) << index;
        return std::u16string(com::View(v.bstrVal));
    }
};

TEST_F(OrvantelLibrary, AnswersTheHostCycle) {
    LONG count = 0;
    ASSERT_EQ(provider->get_Count(&count), S_OK);
    ASSERT_EQ(count, 56);
    ITessivar2Plugin* plugin = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_ITessivar2Plugin, reinterpret_cast<void**>(&plugin)),
              S_OK);
    com::Bstr description;
    ASSERT_EQ(plugin->get_Description(description.Out()), S_OK);
    EXPECT_EQ(description.View(), u"Orvantel v1.1");
    plugin->Release();
    IUnknown* classInterface = nullptr;
    ASSERT_EQ(object->QueryInterface(kClassInterface, reinterpret_cast<void**>(&classInterface)),
              S_OK);
    classInterface->Release();

    // A poll may report a fact this machine lacks; every step that can runs regardless.
    provider->PollData();

    // The instruction-extension items always come from the feature test.
    const std::set<std::u16string> yesNo = {u"yes", u"no"};
    for (LONG i = 17; i <= 40; i += 4) {
        const std::u16string answer = Value(i);
        ASSERT_EQ(yesNo.count(answer), 1u) << i;
        EXPECT_EQ(Value(i + 1), answer == u"yes" ? u"supported" : u"unsupported");
    }
    EXPECT_EQ(Value(19).substr(0, 4), u"SSE ");

    // Registry texts: the raw value of 250 characters, or a read failure's text.
    for (LONG i : {1, 11, 12}) {
        const std::u16string text = Value(i);
        EXPECT_TRUE(text.size() == 250 || text.find(u'\0') == std::u16string::npos) << i;
    }
    const std::set<std::u16string> vendors = {u"AMD",   u"Intel",        u"INTEL",  u"IBM",
                                              u"Cyrix", u"CentaurHauls", u"unknown"};
    EXPECT_EQ(vendors.count(Value(14)), 1u);

    // Suffixed and prefixed items follow their plain ones.
    if (Value(16) != u"<empty>") {
        EXPECT_EQ(Value(13), Value(16) + u" MHz");
    }
    EXPECT_EQ(Value(42), u"Architecture " + Value(46));
    EXPECT_EQ(Value(45), u"Stepping " + Value(49));
    EXPECT_EQ(Value(56), u"<empty>");
}

TEST(OrvantelHost, ValuesListsEveryItem) {
    auto r = testing_support::RunShell(kHost + " values Orvantel");
    ASSERT_EQ(r.status, 0) << r.err;
    std::size_t lines = 0;
    for (char c : r.out) lines += c == '\n' ? 1 : 0;
    EXPECT_GE(lines, 56u);  // two-line items add their second line
    EXPECT_NE(r.out.find("Orvantel\\Instruction Extension\\SSE\\SSE yes/no"), std::string::npos);
}

TEST(OrvantelHost, CallsThePublicMethodsByName) {
    auto sse = testing_support::RunShell(kHost +
                                         " call Orvantel fnFeatureSupport 6 'SSE yes' "
                                         "'SSE no'");
    ASSERT_EQ(sse.status, 0) << sse.err;
    EXPECT_TRUE(sse.out == "SSE yes\n" || sse.out == "SSE no\n") << sse.out;

    auto mmx = testing_support::RunShell(kHost + " call Orvantel fnFeatureSupport 3 1 0");
    ASSERT_EQ(mmx.status, 0) << mmx.err;
    EXPECT_TRUE(mmx.out == "1\n" || mmx.out == "0\n") << mmx.out;

    auto unlisted = testing_support::RunShell(kHost + " call Orvantel fnWin32Processor 43");
    ASSERT_EQ(unlisted.status, 0) << unlisted.err;
    EXPECT_EQ(unlisted.out, "\n");

    auto printable = testing_support::RunShell(kHost + " call Orvantel fnDualLine 'all printable'");
    EXPECT_NE(printable.status, 0);
    EXPECT_NE(printable.err.find("0x800A0005"), std::string::npos) << printable.err;
}

}  // namespace
