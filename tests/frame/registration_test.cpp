// Self-registration against the fakes of its platform: the registry keys written on Windows,
// the roll-back of a half-done registration, the ProgID another class took over, and the class
// record written elsewhere.
#include <gtest/gtest.h>

#include <string>

#include "com/text.h"
#include "frame/registration.h"
#include "platform/fakes/fake_class_registration.h"
#include "uptime/uptime.h"

namespace {

using platform::fakes::FakeClassRecords;
using platform::fakes::FakeRegistryWriter;
using platform::fakes::FakeTypeLibraries;
using Keys = std::map<std::u16string, FakeRegistryWriter::Values>;

const frame::Identity& Wendrikai() {
    return uptime::UptimeIdentity();
}
constexpr std::u16string_view kPath = u"C:\\Program Files\\Tessivar\\Wendrikai.dll";
const std::u16string kClsid = u"{" WENDRIKAI_CLSID "}";
const std::u16string kLibid = u"{" WENDRIKAI_LIBID "}";
const std::u16string kClsidKey = u"CLSID\\" + kClsid;
const std::u16string kInterfaceKey = u"Interface\\{" WENDRIKAI_CLASS_IID "}";
constexpr std::u16string_view kMarshaller = u"{00020424-0000-0000-C000-000000000046}";
constexpr HRESULT kAccessDenied = static_cast<HRESULT>(0x80070005);
constexpr HRESULT kCannotLoadTypeLibrary = static_cast<HRESULT>(0x80029C4A);

// Every key and value the class's registration writes itself (the type library's are the
// system's).
Keys RegisteredKeys() {
    return {
        {kClsidKey, {{u"", u"Wendrikai.Uptime"}}},
        {kClsidKey + u"\\InprocServer32",
         {{u"", std::u16string(kPath)}, {u"ThreadingModel", u"Apartment"}}},
        {kClsidKey + u"\\ProgID", {{u"", u"Wendrikai.Uptime"}}},
        {kClsidKey + u"\\VERSION", {{u"", u"1.0"}}},
        {kClsidKey + u"\\TypeLib", {{u"", kLibid}}},
        {kClsidKey + u"\\Programmable", {{u"", u""}}},
        {u"Wendrikai.Uptime", {{u"", u"Wendrikai.Uptime"}}},
        {u"Wendrikai.Uptime\\CLSID", {{u"", kClsid}}},
        {kInterfaceKey, {{u"", u"_Uptime"}}},
        {kInterfaceKey + u"\\ProxyStubClsid", {{u"", std::u16string(kMarshaller)}}},
        {kInterfaceKey + u"\\ProxyStubClsid32", {{u"", std::u16string(kMarshaller)}}},
        {kInterfaceKey + u"\\TypeLib", {{u"", kLibid}, {u"Version", u"1.0"}}},
    };
}

struct ClassKeysTest : ::testing::Test {
    FakeRegistryWriter registry;
    FakeTypeLibraries typeLibraries;
    platform::fakes::FaultPlan plan;

    HRESULT Register(std::u16string_view path = kPath) {
        return frame::RegisterClassKeys(Wendrikai(), path, registry, typeLibraries);
    }
    HRESULT Unregister() {
        return frame::UnregisterClassKeys(Wendrikai(), registry, typeLibraries);
    }
};

TEST_F(ClassKeysTest, RegistersTheTypeLibraryThenTheClassKeys) {
    ASSERT_EQ(Register(), S_OK);
    EXPECT_EQ(registry.keys, RegisteredKeys());
    ASSERT_EQ(typeLibraries.registered.size(), 1u);
    EXPECT_EQ(typeLibraries.registered[0], kPath);

    ASSERT_EQ(Unregister(), S_OK);
    EXPECT_EQ(registry.keys, Keys{});
    ASSERT_EQ(typeLibraries.unregistered.size(), 1u);
    const auto& u = typeLibraries.unregistered[0];
    EXPECT_EQ(u.libid, LIBID_Wendrikai);
    EXPECT_EQ(u.major * 100 + u.minor, 100) << "version 1.0";
    EXPECT_EQ(u.locale, 0x0409u);
}

TEST_F(ClassKeysTest, AFailedRegistrationLeavesNothingBehind) {
    typeLibraries.registerResult = kCannotLoadTypeLibrary;
    EXPECT_EQ(Register(), kCannotLoadTypeLibrary);
    EXPECT_TRUE(typeLibraries.registered.empty());
    typeLibraries.registerResult = S_OK;
    EXPECT_EQ(Register(u""), SELFREG_E_CLASS) << "no module path";
    EXPECT_TRUE(typeLibraries.registered.empty());

    // Each key failing in turn, until a registration gets through.
    registry.faults = &plan;
    plan.status = kAccessDenied;
    int failed = 0;
    for (int k = 1;; ++k) {
        plan.Arm(k);
        const HRESULT hr = Register();
        const bool reached = !plan.Pending();
        plan.Disarm();
        if (!reached) break;
        ++failed;
        EXPECT_EQ(hr, plan.status) << k;
        EXPECT_EQ(registry.keys, Keys{}) << k;
        EXPECT_TRUE(typeLibraries.registered.empty()) << k;
    }
    EXPECT_EQ(failed, 14) << "one failure per value written";
    EXPECT_EQ(registry.keys, RegisteredKeys());
}

TEST_F(ClassKeysTest, UnregisteringKeepsAProgIdAnotherClassTookOver) {
    // The ProgID's CLSID when unregistering, and whether the ProgID goes.
    const std::pair<std::u16string, bool> cases[] = {
        {kClsid, true},
        {com::FromUtf8("{f3aaa3d1-d330-4392-b24a-91db45bd2e3d}"), true},
        {u"", true},
        {u"{00000000-0000-0000-0000-000000000001}", false},
    };
    for (const auto& [owner, removed] : cases) {
        ASSERT_EQ(Register(), S_OK);
        registry.keys[u"Wendrikai.Uptime\\CLSID"][u""] = owner;
        EXPECT_EQ(Unregister(), S_OK);
        EXPECT_EQ(registry.keys.contains(u"Wendrikai.Uptime\\CLSID"), !removed)
            << com::ToUtf8(owner);
        EXPECT_FALSE(registry.keys.contains(kClsidKey)) << com::ToUtf8(owner);
        registry.keys.clear();
    }
}

TEST_F(ClassKeysTest, UnregisteringTriesEveryStepAndAnswersTheFirstFailure) {
    // What the type library's registration may leave: its version 1.0, and another version.
    registry.keys[u"TypeLib\\" + kLibid + u"\\1.0\\0\\win64"][u""] = std::u16string(kPath);
    registry.keys[u"TypeLib\\" + kLibid + u"\\2.0"][u""] = u"later";
    ASSERT_EQ(Register(), S_OK);
    typeLibraries.unregisterResult = kCannotLoadTypeLibrary;
    registry.faults = &plan;
    plan.status = kAccessDenied;
    plan.Arm(2);  // the second tree: the class interface's
    EXPECT_EQ(Unregister(), kCannotLoadTypeLibrary);
    const Keys left = registry.keys;
    EXPECT_TRUE(left.contains(kInterfaceKey)) << "the failed step";
    EXPECT_TRUE(left.contains(u"TypeLib\\" + kLibid + u"\\2.0")) << "not this class's";
    for (const auto& key : {u"TypeLib\\" + kLibid + u"\\1.0\\0\\win64", kClsidKey,
                            std::u16string(u"Wendrikai.Uptime")})
        EXPECT_FALSE(left.contains(key)) << com::ToUtf8(key);

    plan.Disarm();
    typeLibraries.unregisterResult = S_OK;
    EXPECT_EQ(Unregister(), S_OK);
    registry.keys.erase(u"TypeLib\\" + kLibid + u"\\2.0");
    EXPECT_EQ(registry.keys, Keys{});
}

TEST(ClassRecord, RecordsTheClassItsLibraryAndItsTypeLibrary) {
    FakeClassRecords records;
    ASSERT_EQ(frame::RegisterClassRecord(Wendrikai(), "/opt/tessivar/Wendrikai.so", records), S_OK);
    ASSERT_EQ(records.records.size(), 1u);
    const platform::ClassRecord& r = records.records.begin()->second;
    EXPECT_EQ(r.clsid, "{" WENDRIKAI_CLSID "}");
    EXPECT_EQ(r.progId, "Wendrikai.Uptime");
    EXPECT_EQ(r.className, "Uptime");
    EXPECT_EQ(r.path, "/opt/tessivar/Wendrikai.so");
    EXPECT_EQ(r.threadingModel, "Apartment");
    EXPECT_EQ(r.typeLib, "{" WENDRIKAI_LIBID "}");
    EXPECT_EQ(r.version, "1.0");

    records.removeResult = false;
    EXPECT_EQ(frame::UnregisterClassRecord(Wendrikai(), records), SELFREG_E_CLASS);
    records.removeResult = true;
    EXPECT_EQ(frame::UnregisterClassRecord(Wendrikai(), records), S_OK);
    EXPECT_TRUE(records.records.empty());

    EXPECT_EQ(frame::RegisterClassRecord(Wendrikai(), "", records), SELFREG_E_CLASS);
    records.writeResult = false;
    EXPECT_EQ(frame::RegisterClassRecord(Wendrikai(), "/x/Wendrikai.so", records), SELFREG_E_CLASS);
    EXPECT_TRUE(records.records.empty());
}

}  // namespace
