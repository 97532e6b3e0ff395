// Memory exhaustion as std::bad_alloc: each operator new of a member failing in turn, the
// fakes' own allocations included (the platform's code allocates as well). No exception may
// leave a member; the member answers E_OUTOFMEMORY with no result and works again at once.
// Creation through the built libraries' class factories fails the same way, from the first
// allocation of the process on, when the platform's set-up is still to be made.
#include <gtest/gtest.h>

#include <string>

#include "tests/hardening/failing_new.h"
#include "tests/hardening/member_probes.h"
#include "tests/support/plugin_library.h"
#include "tests/support/plugins.h"

namespace hardening {
namespace {

Injector NewCalls() {
    return {[](int n) { FailNthNew(static_cast<unsigned>(n)); }, [] { return NewFailurePending(); },
            [] { FailNthNew(0); }};
}

TEST(NewFaults, TheReplacementFailsTheNthAllocationOnly) {
    FailNthNew(2);
    auto* first = new (std::nothrow) int(1);
    auto* second = new (std::nothrow) int(2);
    EXPECT_FALSE(NewFailurePending());
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(second, nullptr);
    delete first;
    FailNthNew(1);
    EXPECT_THROW(std::u16string(100, u'x'), std::bad_alloc);
    FailNthNew(0);
}

// The stand-in's conversions read and write numbers through standard strings: exhausted memory
// there is E_OUTOFMEMORY, as the platform's call answers it, and the destination is untouched.
TEST(NewFaults, VariantChangeTypeAnswersExhaustedMemory) {
    const std::pair<Value, VARTYPE> conversions[] = {
        {Real(-1.234567890123456e-300), VT_BSTR},
        {Long(-2147483647), VT_BSTR},
        {Text(u"  -1.234567890123456E+300  "), VT_R8},
        {Text(u"&H000000000007FFFFFFF"), VT_I4},
    };
    for (const auto& [source, type] : conversions) {
        int faulted = 0;
        for (int k = 1;; ++k) {
            com::Variant dest;
            ASSERT_EQ(com::ReturnText(u"kept", &dest), S_OK);
            FailNthNew(static_cast<unsigned>(k));
            const HRESULT hr = VariantChangeType(&dest, &source, 0, type);
            const bool reached = !NewFailurePending();
            FailNthNew(0);
            if (!reached) {
                EXPECT_EQ(hr, S_OK);
                EXPECT_EQ(dest.vt, type);
                break;
            }
            ++faulted;
            EXPECT_EQ(hr, E_OUTOFMEMORY) << k;
            ASSERT_EQ(dest.vt, VT_BSTR);
            EXPECT_EQ(com::View(dest.bstrVal), u"kept");
        }
        EXPECT_GT(faulted, 0) << source.vt;
    }
}

TEST(NewFaults, EveryMemberOfOrvantel) {
    EXPECT_GT(RunOutOfMemoryInEveryMember<CpuRig>(&AddOrvantelProbes, NewCalls()), 0);
}
TEST(NewFaults, EveryMemberOfTamblorin) {
    EXPECT_GT(RunOutOfMemoryInEveryMember<DateRig>(&AddTamblorinProbes, NewCalls()), 0);
}
TEST(NewFaults, EveryMemberOfWendrikai) {
    EXPECT_GT(RunOutOfMemoryInEveryMember<UptimeRig>(&AddWendrikaiProbes, NewCalls()), 0);
}

TEST(NewFaults, EveryAllocationOfAnOrvantelPoll) {
    CpuRig rig;
    EXPECT_GT(FailEachStepOfAPoll(rig, NewCalls(), FailsWith(E_OUTOFMEMORY)), 0);
}

// Creates through `factory` with the kth allocation failing, k = 1, 2, ... until an object is
// made; every failed creation answers E_OUTOFMEMORY and leaves nothing behind (`usage`).
int FailEachCreation(IClassFactory* factory, const std::function<HRESULT()>& usage) {
    for (int k = 1; k < 10000; ++k) {
        void* object = reinterpret_cast<void*>(1);
        FailNthNew(static_cast<unsigned>(k));
        const HRESULT hr = factory->CreateInstance(nullptr, IID_ITessivar2DataProvider, &object);
        const bool reached = !NewFailurePending();
        FailNthNew(0);
        if (!reached) {
            EXPECT_EQ(hr, S_OK);
            com::ComPtr<ITessivar2DataProvider> provider;
            provider.Attach(static_cast<ITessivar2DataProvider*>(object));
            LONG count = 0;
            EXPECT_EQ(provider->get_Count(&count), S_OK);
            EXPECT_GT(count, 0);
            provider.Reset();
            EXPECT_EQ(usage(), S_OK);
            return k - 1;
        }
        EXPECT_EQ(hr, E_OUTOFMEMORY) << "allocation " << k;
        EXPECT_EQ(object, nullptr) << "allocation " << k;
        EXPECT_EQ(usage(), S_OK) << "allocation " << k;
    }
    ADD_FAILURE() << "no object made";
    return 0;
}

// The built libraries, which share this program's operator new.
class LibraryNewFaults : public ::testing::TestWithParam<PluginCase> {};

TEST_P(LibraryNewFaults, CreationFromTheFirstAllocationThenEveryMember) {
    PluginLibrary library(GetParam().File());
    ASSERT_TRUE(library.loaded()) << library.error();
    com::ComPtr<IClassFactory> factory = library.Factory(GetParam().clsid);
    ASSERT_TRUE(factory);
    EXPECT_GT(FailEachCreation(factory.Get(), [&] { return library.CanUnloadNow(); }), 0);

    // On the real platform a poll step whose registry read runs out of memory shows the
    // registry's error code as its text, as any failed read does, and a later step may then
    // fail on that text: a faulted poll may answer any status. It must not throw, and the
    // object must answer as before: the poll's own status, then every item.
    com::ComPtr<ITessivar2DataProvider> provider;
    ASSERT_EQ(factory->CreateInstance(nullptr, provider.Iid(), provider.OutVoid()), S_OK);
    factory.Reset();
    LONG count = 0;
    ASSERT_EQ(provider->get_Count(&count), S_OK);
    const HRESULT unfaulted = provider->PollData();
    for (int k = 1; k < 100000; ++k) {
        FailNthNew(static_cast<unsigned>(k));
        provider->PollData();
        const bool reached = !NewFailurePending();
        FailNthNew(0);
        if (!reached) break;
        EXPECT_EQ(provider->PollData(), unfaulted) << "after allocation " << k;
    }
    // Each item's value: a failure is exhausted memory with no result.
    Loop loop;
    loop.faulted = [](const Outcome& o, const Outcome&) {
        EXPECT_TRUE(SUCCEEDED(o.hr) || o == (Outcome{E_OUTOFMEMORY, std::nullopt})) << o;
    };
    for (LONG i = 0; i < count; ++i) {
        const Probe value{"Value(" + std::to_string(i) + ")",
                          [&, i](Raw& raw) { raw.hr = provider->get_Value(i, &raw.value); }};
        FailEachInTurn(NewCalls(), value, loop);
    }
    EXPECT_EQ(Drop(provider), 0u);
    EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

INSTANTIATE_TEST_SUITE_P(Plugins, LibraryNewFaults, ::testing::ValuesIn(kPlugins), PluginName);

}  // namespace
}  // namespace hardening
