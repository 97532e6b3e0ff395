// The time base of the panel and its loops: milliseconds of a monotonic clock.
#pragma once

#include <chrono>
#include <cstdint>

namespace host {

inline std::int64_t SteadyMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace host
