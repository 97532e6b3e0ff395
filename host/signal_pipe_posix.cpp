#include "host/signal_pipe_posix.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <iterator>

namespace host {

namespace {

int g_signalWrite = -1;

extern "C" void OnSignal(int signal) {
    const int saved = errno;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const auto n = write(g_signalWrite, &byte, 1);
    errno = saved;
}

}  // namespace

SignalPipe::SignalPipe() {
    if (pipe(fds_) != 0) return;
    for (int fd : fds_) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    g_signalWrite = fds_[1];
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (std::size_t k = 0; k < std::size(kSignals); ++k)
        sigaction(kSignals[k], &action, &saved_[k]);
}

SignalPipe::Caught SignalPipe::Take() {
    Caught caught;
    char bytes[16];
    for (ssize_t n; (n = read(fds_[0], bytes, sizeof bytes)) > 0;)
        for (ssize_t k = 0; k < n; ++k) (bytes[k] == SIGHUP ? caught.hangUp : caught.end) = true;
    return caught;
}

SignalPipe::~SignalPipe() {
    for (std::size_t k = 0; k < std::size(kSignals); ++k)
        sigaction(kSignals[k], &saved_[k], nullptr);
    g_signalWrite = -1;
    for (int fd : fds_)
        if (fd >= 0) close(fd);
}

}  // namespace host
