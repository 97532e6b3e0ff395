// Module-wide data of the date library: the local date and time of the latest poll.
#pragma once

#include "platform/local_time.h"

namespace date::Variables {

// The stored poll time of the calling thread: one record per thread, shared by every object of
// the class on that thread; all zeros until the first poll on the thread.
platform::SystemTime& PollTime();

}  // namespace date::Variables
