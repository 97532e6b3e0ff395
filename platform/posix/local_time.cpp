#include "platform/local_time.h"

#include <time.h>

namespace platform {

namespace {

class RealTimeClock final : public LocalClock {
  public:
    SystemTime Now() const override {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        tm local{};
        localtime_r(&ts.tv_sec, &local);  // honours TZ
        auto field = [](long v) { return static_cast<std::uint16_t>(v); };
        return SystemTime{
            .year = field(local.tm_year + 1900L),
            .month = field(local.tm_mon + 1L),
            .dayOfWeek = field(local.tm_wday),
            .day = field(local.tm_mday),
            .hour = field(local.tm_hour),
            .minute = field(local.tm_min),
            .second = field(local.tm_sec),
            .milliseconds = field(ts.tv_nsec / 1000000L),
        };
    }
};

}  // namespace

const LocalClock& SystemLocalClock() {
    static const RealTimeClock clock;
    return clock;
}

}  // namespace platform
