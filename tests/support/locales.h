// Installed locales and the fixed dates that the locale tests format.
#pragma once

#include <memory>

#include "platform/posix/locale_date_formatter.h"
#include "tests/support/skip.h"

namespace testing_support {

inline constexpr platform::SystemTime kMonday2June2003{2003, 6, 1, 2, 12, 30, 0, 0};
inline constexpr platform::SystemTime kTuesday2December2003{2003, 12, 2, 2, 9, 0, 0, 0};

// The formatter of an installed locale; null where the locale is not installed.
inline std::unique_ptr<platform::LocaleDateFormatter> Load(const char* name) {
    return platform::LocaleDateFormatter::ForLocale(name);
}

}  // namespace testing_support

// Skips the test (or fails it, see skip.h) where the locale `name` is not installed.
#define REQUIRE_LOCALE(formatter, name) \
    if (formatter == nullptr) TESS_SKIP(name " is not installed")
