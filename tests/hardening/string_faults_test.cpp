// Memory exhaustion on text: each automation string allocation of a member failing in turn.
// The member answers E_OUTOFMEMORY (late bound: in the exception record, or as Invoke's own
// status while it converts the arguments) with no result, and works again at once.
#include <gtest/gtest.h>

#include "com/com_standin_testing.h"
#include "tests/hardening/member_probes.h"

namespace hardening {
namespace {

TEST(StringAllocationFaults, TheHookFailsTheNthAllocationOnly) {
    com::standin::FailNthStringAllocation(2);
    EXPECT_TRUE(com::standin::StringAllocationFailurePending());
    BSTR first = SysAllocString(u"one");
    BSTR second = SysAllocString(u"two");
    BSTR third = SysAllocString(u"three");
    EXPECT_FALSE(com::standin::StringAllocationFailurePending());
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(second, nullptr);
    EXPECT_NE(third, nullptr);
    SysFreeString(first);
    SysFreeString(third);
    // A copy of a string variant fails with the allocation.
    com::Variant source, copy;
    ASSERT_EQ(com::ReturnText(u"text", &source), S_OK);
    com::standin::FailNthStringAllocation(1);
    EXPECT_EQ(VariantCopy(&copy, &source), E_OUTOFMEMORY);
    EXPECT_EQ(copy.vt, VT_EMPTY);
    com::standin::FailNthStringAllocation(0);
}

TEST(StringAllocationFaults, EveryMemberOfOrvantel) {
    EXPECT_GT(RunOutOfMemoryInEveryMember<CpuRig>(&AddOrvantelProbes, StringAllocations()), 0);
}

TEST(StringAllocationFaults, EveryMemberOfTamblorin) {
    EXPECT_GT(RunOutOfMemoryInEveryMember<DateRig>(&AddTamblorinProbes, StringAllocations()), 0);
}

TEST(StringAllocationFaults, EveryMemberOfWendrikai) {
    EXPECT_GT(RunOutOfMemoryInEveryMember<UptimeRig>(&AddWendrikaiProbes, StringAllocations()), 0);
}

TEST(StringAllocationFaults, EveryStringOfAnOrvantelPoll) {
    CpuRig rig;
    EXPECT_GT(FailEachStepOfAPoll(rig, StringAllocations(), FailsWith(E_OUTOFMEMORY)), 0);
}

// A configuration string that cannot be copied leaves the one held before.
TEST(StringAllocationFaults, ConfigurationStringKeepsTheOldTextWhenTheNewCannotBeCopied) {
    UptimeRig rig;
    com::Bstr old(u"old settings"), replacement(u"new settings");
    ASSERT_EQ(rig.plugin()->put_ConfigurationString(old.Get()), S_OK);
    com::standin::FailNthStringAllocation(1);
    EXPECT_EQ(rig.plugin()->put_ConfigurationString(replacement.Get()), E_OUTOFMEMORY);
    com::standin::FailNthStringAllocation(0);
    com::Bstr held;
    ASSERT_EQ(rig.plugin()->get_ConfigurationString(held.Out()), S_OK);
    EXPECT_EQ(held.View(), u"old settings");
    ASSERT_EQ(rig.plugin()->put_ConfigurationString(replacement.Get()), S_OK);
    ASSERT_EQ(rig.plugin()->get_ConfigurationString(held.Out()), S_OK);
    EXPECT_EQ(held.View(), u"new settings");
}

}  // namespace
}  // namespace hardening
