#include "platform/local_time.h"

#include <windows.h>

namespace platform {

static_assert(sizeof(SystemTime) == sizeof(SYSTEMTIME), "the date record is the platform's");

namespace {

class WindowsLocalClock final : public LocalClock {
  public:
    SystemTime Now() const override {
        SYSTEMTIME st{};
        GetLocalTime(&st);
        return SystemTime{st.wYear, st.wMonth,  st.wDayOfWeek, st.wDay,
                          st.wHour, st.wMinute, st.wSecond,    st.wMilliseconds};
    }
};

}  // namespace

const LocalClock& SystemLocalClock() {
    static const WindowsLocalClock clock;
    return clock;
}

}  // namespace platform
