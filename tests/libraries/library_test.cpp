// The built plug-in libraries as a host loads them, through their exported entry points, their
// class records and lcdhost: one suite over the three, then what is particular to each. The
// machine's own processor strings, date and uptime are not known here: the tests check the
// shapes of the answers, or bound them by the system's own view.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "date/custom_date.h"
#include "platform/posix/class_records.h"
#include "tests/support/calls.h"
#include "tests/support/plugin_library.h"
#include "tests/support/plugins.h"
#include "tests/support/process.h"

namespace {

using namespace testing_support;

const std::string kHost = TESS_LCDHOST;

// A library for the test; nothing of it may be in use when the test ends.
class LoadedLibrary {
  protected:
    explicit LoadedLibrary(const PluginCase& plugin) : plugin(plugin), library(plugin.File()) {}
    void Check() { ASSERT_TRUE(library.loaded()) << library.error(); }
    void CheckUnused() {
        if (library.loaded()) {
            EXPECT_EQ(library.CanUnloadNow(), S_OK);
        }
    }
    // A new object of the class through the class factory.
    template <class I>
    com::ComPtr<I> Create(REFIID iid = com::IidOf<I>()) {
        return library.Create<I>(plugin.clsid, iid);
    }

    const PluginCase& plugin;
    PluginLibrary library;
};

struct Library : ::testing::TestWithParam<PluginCase>, LoadedLibrary {
    Library() : LoadedLibrary(GetParam()) {}
    void SetUp() override { Check(); }
    void TearDown() override { CheckUnused(); }
};

// The four entry points are found by name and are the only symbols the library exports.
TEST_P(Library, ExportsExactlyTheFourEntryPoints) {
    for (const char* name :
         {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"})
        EXPECT_NE(library.Entry<void*>(name), nullptr) << name;
    for (const char* name : {"SysAllocString", "VariantClear", "_ZN5frame13ModuleUsageEv"})
        EXPECT_EQ(library.Entry<void*>(name), nullptr) << name << " must stay inside the library";
    const Result nm = RunShell("nm -D --defined-only " + library.path());
    ASSERT_EQ(nm.status, 0) << nm.err;
    std::set<std::string> exported;
    std::istringstream lines(nm.out);
    for (std::string address, type, name; lines >> address >> type >> name;)
        exported.insert(type + " " + name);
    EXPECT_EQ(exported, (std::set<std::string>{"T DllCanUnloadNow", "T DllGetClassObject",
                                               "T DllRegisterServer", "T DllUnregisterServer"}));
}

// A host's cycle through the class factory: the constants, every item's names and value, and the
// library held while the object lives.
TEST_P(Library, RunsTheHostCycle) {
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(library.GetClassObject(IID_ITessivar2Plugin, IID_IClassFactory, &none),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(none, nullptr);
    const auto object = Create<IUnknown>();
    ASSERT_TRUE(object);
    EXPECT_EQ(library.CanUnloadNow(), S_FALSE);
    const auto host = object.As<ITessivar2Plugin>();
    const auto provider = object.As<ITessivar2DataProvider>();
    ASSERT_TRUE(host && provider);
    com::ComPtr<IUnknown> classInterface;
    EXPECT_EQ(object->QueryInterface(plugin.classIid, classInterface.OutVoid()), S_OK);
    ASSERT_EQ(
        ConstantsOf(host.Get(), provider.Get()),
        (Constants{plugin.count, plugin.pollFreqency, plugin.pollMethod, plugin.description}));
    const LONG count = plugin.count;
    for (LONG i = 0; i < count; ++i) {
        const Item item = ItemOf(provider.Get(), i);
        ASSERT_EQ(item.name.hr, S_OK);
        EXPECT_FALSE(item.name.value.value_or(u"").empty()) << i;
        EXPECT_EQ(item.display, Ok(plugin.displayPrefix + item.name.value.value_or(u""))) << i;
    }
    // A machine may lack a fact: a poll may fail then, and every step that can runs regardless.
    const HRESULT polled = provider->PollData();
    if (plugin.pollAlwaysSucceeds) {
        EXPECT_EQ(polled, S_OK);
    }
    for (LONG i = 0; i < count; ++i) ValueOf(provider.Get(), i);
    EXPECT_EQ(ValueOf(provider.Get(), count), plugin.valueOutside);
}

// DllRegisterServer writes the class record by which a host creates the class, by ProgID and by
// CLSID; DllUnregisterServer removes it.
TEST_P(Library, RegistersFindsAndUnregistersItsClassRecord) {
    const ScopedRegistry registry;
    ASSERT_EQ(library.Register(), S_OK);
    for (const char* key : {plugin.progId, plugin.clsidText}) {
        const auto record = platform::FindClassRecord(key);
        ASSERT_TRUE(record) << key;
        EXPECT_EQ(record->clsid, plugin.clsidText);
        EXPECT_EQ(record->progId, plugin.progId);
        EXPECT_EQ(record->className, plugin.className);
        EXPECT_EQ(record->path, std::filesystem::canonical(library.path()).string());
        EXPECT_EQ(record->threadingModel, "Apartment");
        EXPECT_EQ(record->typeLib, plugin.libidText);
        EXPECT_EQ(record->version, "1.0");
    }
    const std::string progId = plugin.progId, clsid = "'" + std::string(plugin.clsidText) + "'";
    for (const std::string& key : {progId, clsid}) {
        const Result info = RunShell(kHost + " info " + key, registry.env);
        EXPECT_EQ(info.status, 0) << info.err;
        EXPECT_NE(info.out.find("Description: " + com::ToUtf8(plugin.description) + "\n"),
                  std::string::npos)
            << info.out;
    }
    if (plugin.HasMethods()) {
        const Result call = RunShell(kHost + " call " + progId + " " + plugin.call, registry.env);
        EXPECT_EQ(call.status, 0) << call.err;
        EXPECT_EQ(call.out, plugin.answer);
    }

    ASSERT_EQ(library.Unregister(), S_OK);
    EXPECT_FALSE(platform::FindClassRecord(plugin.progId));
    EXPECT_FALSE(platform::FindClassRecord(plugin.clsidText));
    const Result gone = RunShell(kHost + " info " + progId, registry.env);
    EXPECT_NE(gone.status, 0);
    EXPECT_NE(gone.err.find("0x80040154"), std::string::npos) << gone.err;
}

INSTANTIATE_TEST_SUITE_P(Plugins, Library, ::testing::ValuesIn(kPlugins), PluginName);

// What is particular to one library, the one named `kName`.
template <const char* kName>
struct OneLibrary : ::testing::Test, LoadedLibrary {
    OneLibrary() : LoadedLibrary(Plugin(kName)) {}
    void SetUp() override { Check(); }
    void TearDown() override { CheckUnused(); }
};

constexpr char kOrvantel[] = "Orvantel", kTamblorin[] = "Tamblorin", kWendrikai[] = "Wendrikai";
using OrvantelLibrary = OneLibrary<kOrvantel>;
using TamblorinLibrary = OneLibrary<kTamblorin>;
using WendrikaiLibrary = OneLibrary<kWendrikai>;

// On this machine's registry stand-in, feature test and management service.
TEST_F(OrvantelLibrary, ItemsHaveTheShapesOfTheirSources) {
    const auto provider = Create<ITessivar2DataProvider>();
    ASSERT_TRUE(provider);
    provider->PollData();
    const auto value = [&](LONG i) { return ValueOf(provider.Get(), i); };

    // The instruction-extension items always come from the feature test.
    const std::set<std::u16string> yesNo = {u"yes", u"no"};
    for (LONG i = 17; i <= 40; i += 4) {
        const std::u16string answer = value(i);
        ASSERT_EQ(yesNo.count(answer), 1u) << i;
        EXPECT_EQ(value(i + 1), answer == u"yes" ? u"supported" : u"unsupported");
    }
    EXPECT_EQ(value(19).substr(0, 4), u"SSE ");

    // Registry texts: the raw value of 250 characters, or a read failure's text.
    for (LONG i : {1, 11, 12}) {
        const std::u16string text = value(i);
        EXPECT_TRUE(text.size() == 250 || text.find(u'\0') == std::u16string::npos) << i;
    }
    const std::set<std::u16string> vendors = {u"AMD",   u"Intel",        u"INTEL",  u"IBM",
                                              u"Cyrix", u"CentaurHauls", u"unknown"};
    EXPECT_EQ(vendors.count(value(14)), 1u);

    // Suffixed and prefixed items follow their plain ones.
    if (value(16) != u"<empty>") {
        EXPECT_EQ(value(13), value(16) + u" MHz");
    }
    EXPECT_EQ(value(42), u"Architecture " + value(46));
    EXPECT_EQ(value(45), u"Stepping " + value(49));
}

TEST(OrvantelHost, ValuesListsEveryItem) {
    auto r = RunShell(kHost + " values Orvantel");
    ASSERT_EQ(r.status, 0) << r.err;
    std::size_t lines = 0;
    for (char c : r.out) lines += c == '\n' ? 1 : 0;
    EXPECT_GE(lines, 56u);  // two-line items add their second line
    EXPECT_NE(r.out.find("Orvantel\\Instruction Extension\\SSE\\SSE yes/no"), std::string::npos);
}

TEST(OrvantelHost, CallsThePublicMethodsByName) {
    auto sse = RunShell(kHost + " call Orvantel fnFeatureSupport 6 'SSE yes' 'SSE no'");
    ASSERT_EQ(sse.status, 0) << sse.err;
    EXPECT_TRUE(sse.out == "SSE yes\n" || sse.out == "SSE no\n") << sse.out;

    auto mmx = RunShell(kHost + " call Orvantel fnFeatureSupport 3 1 0");
    ASSERT_EQ(mmx.status, 0) << mmx.err;
    EXPECT_TRUE(mmx.out == "1\n" || mmx.out == "0\n") << mmx.out;

    auto unlisted = RunShell(kHost + " call Orvantel fnWin32Processor 43");
    ASSERT_EQ(unlisted.status, 0) << unlisted.err;
    EXPECT_EQ(unlisted.out, "\n");

    auto printable = RunShell(kHost + " call Orvantel fnDualLine 'all printable'");
    EXPECT_NE(printable.status, 0);
    EXPECT_NE(printable.err.find("0x800A0005"), std::string::npos) << printable.err;
}

// On a thread of its own, whose poll time starts unset whatever ran before.
TEST_F(TamblorinLibrary, ObjectsShareThePollTimeOfTheirThread) {
    std::thread([&] {
        const auto first = Create<ITessivar2DataProvider>();
        const auto second = Create<ITessivar2DataProvider>();
        ASSERT_TRUE(first && second);
        EXPECT_EQ(library.CanUnloadNow(), S_FALSE);
        EXPECT_EQ(ValueOf(second.Get(), 0), u"Error");  // nothing polled on this thread yet

        const std::time_t before = std::time(nullptr);
        ASSERT_EQ(first->PollData(), S_OK);
        const std::time_t after = std::time(nullptr);
        const std::string year = com::ToUtf8(ValueOf(second.Get(), 8));
        char years[2][8];
        tm local{};
        std::strftime(years[0], sizeof years[0], "%Y", localtime_r(&before, &local));
        std::strftime(years[1], sizeof years[1], "%Y", localtime_r(&after, &local));
        EXPECT_TRUE(year == years[0] || year == years[1]) << year;
        for (LONG i = 0; i < 29; ++i) EXPECT_NE(ValueOf(first.Get(), i), u"Error") << i;
    }).join();
}

TEST_F(TamblorinLibrary, ClassInterfaceIsDualAndInOrder) {
    const auto custom = Create<_CustomDate>(plugin.classIid);
    ASSERT_TRUE(custom);
    com::Bstr text;
    EXPECT_EQ(custom->GetDaySuffix(23, text.Out()), S_OK);
    EXPECT_EQ(text.View(), u"rd");
    EXPECT_EQ(custom->GetMonthLong(2, text.Out()), S_OK);
    EXPECT_EQ(text.View(), u"February");
    EXPECT_EQ(custom->GetDayLong(4, text.Out()), S_OK);
    EXPECT_EQ(text.View(), u"Thursday");
    const auto host = custom.As<ITessivar2Plugin>();
    ASSERT_TRUE(host);
    EXPECT_EQ(host->get_Description(text.Out()), S_OK);
    EXPECT_EQ(text.View(), u"Tamblorin v1.5");
}

double ProcUptimeSeconds() {
    std::ifstream in("/proc/uptime");
    double seconds = -1;
    in >> seconds;
    return seconds;
}

// Every item is a text, and the accumulated seconds are the system's own.
TEST_F(WendrikaiLibrary, ValuesFollowTheSystemsUptime) {
    const auto provider = Create<ITessivar2DataProvider>();
    ASSERT_TRUE(provider);
    const double before = ProcUptimeSeconds();
    ASSERT_EQ(provider->PollData(), S_OK);
    const double after = ProcUptimeSeconds();
    for (LONG i = 0; i < plugin.count; ++i) {
        com::Variant v;
        ASSERT_EQ(provider->get_Value(i, v.Out()), S_OK);
        ASSERT_EQ(v.vt, VT_BSTR) << i;
        EXPECT_FALSE(com::View(v.bstrVal).empty()) << i;
    }
    const double polled = std::stod(com::ToUtf8(ValueOf(provider.Get(), 6)));
    EXPECT_GE(polled, before - 1.5);
    EXPECT_LE(polled, after + 1.5);
}

}  // namespace
