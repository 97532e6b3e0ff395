// The index edges of the item members of the built libraries on the real platform: outside the
// items each library gives its documented empty answer, inside a well-formed one.
#include <gtest/gtest.h>

#include <limits>

#include "tests/support/calls.h"
#include "tests/support/plugin_library.h"
#include "tests/support/plugins.h"

namespace hardening {
namespace {

using namespace testing_support;

constexpr LONG kMin = std::numeric_limits<LONG>::min();
constexpr LONG kMax = std::numeric_limits<LONG>::max();

class LibraryItemEdges : public ::testing::TestWithParam<PluginCase> {};

TEST_P(LibraryItemEdges, NameDisplayNameAndValue) {
    PluginLibrary library(GetParam().File());
    ASSERT_TRUE(library.loaded()) << library.error();
    auto provider = library.Create<ITessivar2DataProvider>(GetParam().clsid);
    ASSERT_TRUE(provider);
    provider->PollData();  // a machine may lack a fact; the items answer regardless
    const LONG count = GetParam().count;
    // Tamblorin answers the empty text and "Error" outside its items, the others nothing.
    const bool date = GetParam().name == std::string("Tamblorin");
    const Outcome nameOutside{S_OK, date ? std::optional<std::u16string>(u"") : std::nullopt};
    const Outcome valueOutside{S_OK, date ? std::optional<std::u16string>(u"Error") : std::nullopt};
    for (LONG index : std::initializer_list<LONG>{kMin, kMin + 1, -2, -1, 0, 1, count - 1, count,
                                                  count + 1, kMax - 1, kMax}) {
        SCOPED_TRACE(index);
        const auto [n, d, v] = ItemOf(provider.Get(), index);
        if (index >= 0 && index < count) {
            ASSERT_TRUE(n.hr == S_OK && n.value && !n.value->empty());
            EXPECT_EQ(d, (Outcome{S_OK, GetParam().displayPrefix + *n.value}));
            EXPECT_EQ(v.hr, S_OK);
        } else {
            EXPECT_EQ(n, nameOutside);
            EXPECT_EQ(d, nameOutside);
            EXPECT_EQ(v, valueOutside);
        }
    }
    EXPECT_EQ(Drop(provider), 0u);
    EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

INSTANTIATE_TEST_SUITE_P(Plugins, LibraryItemEdges, ::testing::ValuesIn(kPlugins), PluginName);

}  // namespace
}  // namespace hardening
