// The built Wendrikai library driven through its exported entry points, as the host drives it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "com/guid.h"
#include "com/owners.h"
#include "frame/host_interfaces.h"
#include "platform/posix/class_records.h"
#include "tests/support/plugin_library.h"
#include "tests/support/process.h"
#include "uptime/wendrikai_class.h"

namespace {

constexpr CLSID kUptime = com::GuidFromText(WENDRIKAI_CLSID);

class WendrikaiLibrary : public ::testing::Test {
  protected:
    testing_support::PluginLibrary library{"Wendrikai.so"};
    void SetUp() override { ASSERT_TRUE(library.loaded()) << library.error(); }
    template <class F>
    F Entry(const char* name) {
        return library.Entry<F>(name);
    }
};

TEST_F(WendrikaiLibrary, ExportsTheFourEntryPointsOnly) {
    for (const char* name :
         {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"})
        EXPECT_NE(Entry<void*>(name), nullptr) << name;
    for (const char* name : {"SysAllocString", "VariantClear", "_ZN5frame13ModuleUsageEv"})
        EXPECT_EQ(Entry<void*>(name), nullptr) << name << " must stay inside the library";
}

double ProcUptimeSeconds() {
    std::ifstream in("/proc/uptime");
    double seconds = -1;
    in >> seconds;
    return seconds;
}

TEST_F(WendrikaiLibrary, RunsTheHostCycle) {
    void* none = nullptr;
    EXPECT_EQ(library.GetClassObject(IID_ITessivar2Plugin, IID_IClassFactory, &none),
              CLASS_E_CLASSNOTAVAILABLE);

    IClassFactory* factory = nullptr;
    ASSERT_EQ(
        library.GetClassObject(kUptime, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
        S_OK);
    IUnknown* object = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)),
              S_OK);
    factory->Release();
    EXPECT_EQ(library.CanUnloadNow(), S_FALSE);

    ITessivar2Plugin* plugin = nullptr;
    ITessivar2DataProvider* provider = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_ITessivar2Plugin, reinterpret_cast<void**>(&plugin)),
              S_OK);
    ASSERT_EQ(
        object->QueryInterface(IID_ITessivar2DataProvider, reinterpret_cast<void**>(&provider)),
        S_OK);

    LONG count = 0;
    ASSERT_EQ(provider->get_Count(&count), S_OK);
    ASSERT_EQ(count, 26);
    for (LONG i = 0; i < count; ++i) {
        com::Bstr name, display;
        ASSERT_EQ(provider->get_Name(i, name.Out()), S_OK);
        ASSERT_EQ(provider->get_DisplayName(i, display.Out()), S_OK);
        EXPECT_EQ(name.View(), display.View());
    }

    const double before = ProcUptimeSeconds();
    ASSERT_EQ(provider->PollData(), S_OK);
    const double after = ProcUptimeSeconds();
    for (LONG i = 0; i < count; ++i) {
        com::Variant v;
        ASSERT_EQ(provider->get_Value(i, v.Out()), S_OK);
        ASSERT_EQ(v.vt, VT_BSTR) << i;
        EXPECT_FALSE(com::View(v.bstrVal).empty()) << i;
    }
    com::Variant seconds;
    ASSERT_EQ(provider->get_Value(6, seconds.Out()), S_OK);
    const double polled = std::stod(com::ToUtf8(com::View(seconds.bstrVal)));
    EXPECT_GE(polled, before - 1.5);
    EXPECT_LE(polled, after + 1.5);

    com::Variant outside;
    EXPECT_EQ(provider->get_Value(26, outside.Out()), S_OK);
    EXPECT_EQ(outside.vt, VT_EMPTY);

    plugin->Release();
    provider->Release();
    object->Release();
    EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

TEST_F(WendrikaiLibrary, RegistersAndUnregistersItsClassRecord) {
    const std::string folder = testing_support::MakeTempFolder();
    setenv("TESSIVAR_REGISTRY", folder.c_str(), 1);
    ASSERT_EQ(library.Register(), S_OK);
    auto record = platform::FindClassRecord("Wendrikai.Uptime");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->clsid, "{" WENDRIKAI_CLSID "}");
    EXPECT_EQ(record->path, std::filesystem::canonical(library.path()).string());
    EXPECT_EQ(record->threadingModel, "Apartment");
    EXPECT_EQ(record->typeLib, "{" WENDRIKAI_LIBID "}");
    EXPECT_EQ(record->version, "1.0");

    // A host now creates the class by ProgID and by CLSID.
    const std::string env = "TESSIVAR_REGISTRY=" + folder + " ";
    auto byProgId =
        testing_support::RunShell(std::string(TESS_LCDHOST) + " info Wendrikai.Uptime", env);
    EXPECT_EQ(byProgId.status, 0) << byProgId.err;
    EXPECT_NE(byProgId.out.find("Description: Wendrikai v1.0"), std::string::npos);
    auto byClsid =
        testing_support::RunShell(std::string(TESS_LCDHOST) + " info '{" WENDRIKAI_CLSID "}'", env);
    EXPECT_EQ(byClsid.status, 0) << byClsid.err;

    ASSERT_EQ(library.Unregister(), S_OK);
    EXPECT_FALSE(platform::FindClassRecord("Wendrikai.Uptime"));
    auto gone =
        testing_support::RunShell(std::string(TESS_LCDHOST) + " info Wendrikai.Uptime", env);
    EXPECT_NE(gone.status, 0);
    EXPECT_NE(gone.err.find("0x80040154"), std::string::npos) << gone.err;
    unsetenv("TESSIVAR_REGISTRY");
    std::filesystem::remove_all(folder);
}

}  // namespace
