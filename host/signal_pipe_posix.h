// SIGINT, SIGTERM and SIGHUP as a byte in a pipe that a poll() loop watches, for as long as the
// object lives; the previous handlers come back when it goes.
#pragma once

#include <signal.h>

namespace host {

class SignalPipe {
  public:
    SignalPipe();
    ~SignalPipe();
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    // The end to watch for reading; negative when the pipe could not be made.
    int fd() const { return fds_[0]; }

    // The signals that came since the last call: SIGHUP asks for a reload, the others for the
    // end.
    struct Caught {
        bool end = false;
        bool hangUp = false;
    };
    Caught Take();

  private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    int fds_[2] = {-1, -1};
    struct sigaction saved_[3]{};
};

}  // namespace host
