// The class registry that stands in for the system registry on Linux.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "com/guid.h"
#include "platform/posix/class_records.h"
#include "tests/support/process.h"
#include "uptime/wendrikai_class.h"

namespace {

TEST(Guid, RoundTripsTheRegistryForm) {
    GUID g;
    ASSERT_TRUE(com::ParseGuid("{a1b2c3d4-e5f6-4789-8abc-0d1e2f30415f}", &g));
    EXPECT_EQ(g.Data1, 0xA1B2C3D4u);
    EXPECT_EQ(g.Data4[7], 0x5F);
    EXPECT_EQ(com::GuidToString(g), "{A1B2C3D4-E5F6-4789-8ABC-0D1E2F30415F}");
    EXPECT_TRUE(com::ParseGuid("A1B2C3D4-E5F6-4789-8ABC-0D1E2F30415F", &g));
    EXPECT_FALSE(com::ParseGuid("{A1B2C3D4-E5F6-4789-8ABC-0D1E2F30415}", &g));
    EXPECT_FALSE(com::ParseGuid("{A1B2C3D4xE5F6-4789-8ABC-0D1E2F30415F}", &g));
    EXPECT_FALSE(com::ParseGuid("{G1B2C3D4-E5F6-4789-8ABC-0D1E2F30415F}", &g));
    static_assert(com::GuidFromText("A1B2C3D4-E5F6-4789-8ABC-0D1E2F30415F").Data3 == 0x4789);
}

struct ClassRecordsTest : ::testing::Test {
    const testing_support::ScopedRegistry registry;
    const std::filesystem::path folder = registry.folder;
    const std::string clsid = "{" WENDRIKAI_CLSID "}", libid = "{" WENDRIKAI_LIBID "}";
};

TEST_F(ClassRecordsTest, WrittenRecordsAreFoundByProgIdAndClsid) {
    platform::ClassRecord r{
        clsid, "Wendrikai.Uptime", "Uptime", "/opt/x/Wendrikai.so", "Apartment", libid, "1.0"};
    EXPECT_FALSE(platform::FindClassRecord("Wendrikai.Uptime"));
    ASSERT_TRUE(platform::WriteClassRecord(r));
    auto byProgId = platform::FindClassRecord("Wendrikai.Uptime");
    ASSERT_TRUE(byProgId);
    EXPECT_EQ(byProgId->path, "/opt/x/Wendrikai.so");
    EXPECT_EQ(byProgId->threadingModel, "Apartment");
    auto byClsid = platform::FindClassRecord("{f3aaa3d1-d330-4392-b24a-91db45bd2e3d}");
    ASSERT_TRUE(byClsid);
    EXPECT_EQ(byClsid->progId, "Wendrikai.Uptime");
    EXPECT_FALSE(platform::FindClassRecord("Wendrikai.Other"));

    r.path = "/elsewhere/Wendrikai.so";
    ASSERT_TRUE(platform::WriteClassRecord(r)) << "registering again replaces the record";
    EXPECT_EQ(platform::FindClassRecord("Wendrikai.Uptime")->path, "/elsewhere/Wendrikai.so");

    ASSERT_TRUE(platform::RemoveClassRecord(r.clsid));
    EXPECT_FALSE(platform::FindClassRecord("Wendrikai.Uptime"));
    EXPECT_TRUE(platform::RemoveClassRecord(r.clsid)) << "removing nothing is no failure";
}

TEST_F(ClassRecordsTest, AFailedReplacementIsReportedAndLeavesNoTemporaryRecord) {
    // A folder where the record should go makes the final rename fail.
    std::filesystem::create_directories(folder / (clsid + ".class") / "occupied");
    EXPECT_FALSE(platform::WriteClassRecord(
        {clsid, "Wendrikai.Uptime", "Uptime", "/x/Wendrikai.so", "Apartment", clsid, "1.0"}));
    EXPECT_FALSE(std::filesystem::exists(folder / (clsid + ".class.tmp")));
}

TEST_F(ClassRecordsTest, DamagedRecordsAreIgnored) {
    EXPECT_FALSE(platform::ParseClassRecord("garbage"));
    EXPECT_FALSE(platform::ParseClassRecord("CLSID=nope\nPath=/x\n"));
    EXPECT_FALSE(platform::ParseClassRecord("CLSID={" WENDRIKAI_CLSID "}\n"));
}

TEST(ClassRegistryFolder, FollowsTheEnvironment) {
    unsetenv("TESSIVAR_REGISTRY");
    const char* oldData = std::getenv("XDG_DATA_HOME");
    const std::string saved = oldData ? oldData : "";
    setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(platform::ClassRegistryFolder(), "/data/tessivar/classes");
    unsetenv("XDG_DATA_HOME");
    if (const char* home = std::getenv("HOME")) {
        EXPECT_EQ(platform::ClassRegistryFolder(),
                  std::filesystem::path(home) / ".local/share/tessivar/classes");
    }
    setenv("TESSIVAR_REGISTRY", "/own", 1);
    EXPECT_EQ(platform::ClassRegistryFolder(), "/own");
    unsetenv("TESSIVAR_REGISTRY");
    if (!saved.empty()) setenv("XDG_DATA_HOME", saved.c_str(), 1);
}

}  // namespace
