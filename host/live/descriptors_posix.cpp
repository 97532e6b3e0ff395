#include "host/live/descriptors_posix.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>

namespace host {

bool MakeNonBlocking(int fd, std::string* error) {
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0 ||
        fcntl(fd, F_SETFD, FD_CLOEXEC) != 0) {
        *error = std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace host
