// File descriptors of the live loops: non-blocking, and closed in any program lcdhost starts.
#pragma once

#include <string>

namespace host {

// Sets O_NONBLOCK and FD_CLOEXEC on `fd`; on failure returns false and sets `error` to the
// system's words.
bool MakeNonBlocking(int fd, std::string* error);

}  // namespace host
