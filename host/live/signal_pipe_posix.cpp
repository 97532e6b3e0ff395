#include "host/live/signal_pipe_posix.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host/live/descriptors_posix.h"

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

SignalPipe::SignalPipe(std::vector<int> signals) : signals_(std::move(signals)) {
    if (!Open()) {
        Restore();
        Close();
    }
}

bool SignalPipe::Open() {
    if (pipe(fds_) != 0) return error_ = std::strerror(errno), false;
    for (int fd : fds_)
        if (!MakeNonBlocking(fd, &error_)) return false;
    g_signalWrite = fds_[1];
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : signals_) {
        struct sigaction previous {};
        if (sigaction(signal, &action, &previous) != 0)
            return error_ = "signal " + std::to_string(signal) + ": " + std::strerror(errno), false;
        saved_.push_back(previous);
    }
    return true;
}

SignalPipe::Caught SignalPipe::Take() {
    Caught caught;
    char bytes[16];
    for (ssize_t n; (n = read(fds_[0], bytes, sizeof bytes)) > 0;)
        for (ssize_t k = 0; k < n; ++k) (bytes[k] == SIGHUP ? caught.hangUp : caught.end) = true;
    return caught;
}

void SignalPipe::Restore() {
    // Back to the handlers that were there; setting a handler read from the same signal cannot
    // fail.
    for (std::size_t k = 0; k < saved_.size(); ++k) sigaction(signals_[k], &saved_[k], nullptr);
    saved_.clear();
}

void SignalPipe::Close() {
    g_signalWrite = -1;
    for (int& fd : fds_) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
}

SignalPipe::~SignalPipe() {
    Restore();
    Close();
}

}  // namespace host
