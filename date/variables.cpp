#include "date/variables.h"

namespace date::Variables {

namespace {
thread_local platform::SystemTime t_pollTime{};
}

platform::SystemTime& PollTime() {
    return t_pollTime;
}

}  // namespace date::Variables
