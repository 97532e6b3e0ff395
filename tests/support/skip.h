// Skipping a test that lacks something of the machine (a locale, LCDd). Where the test command
// installed all of it, TESS_FAIL_SKIPS=1 in the environment makes such a skip a failure.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>

namespace testing_support {

inline bool SkipsFail() {
    const char* value = std::getenv("TESS_FAIL_SKIPS");
    return value != nullptr && std::string_view(value) == "1";
}

}  // namespace testing_support

// Ends the running test as skipped for `reason`, or as failed under TESS_FAIL_SKIPS=1. Used as a
// statement, like GTEST_SKIP(), in a function that returns nothing.
#define TESS_SKIP(reason)                                                                         \
    do {                                                                                          \
        if (::testing_support::SkipsFail()) {                                                     \
            ADD_FAILURE() << "would skip, but TESS_FAIL_SKIPS=1 expects it to run: " << (reason); \
            return;                                                                               \
        }                                                                                         \
        GTEST_SKIP() << (reason);                                                                 \
    } while (false)
