// Signals as bytes in a pipe that a poll() loop watches, for as long as the object lives; the
// previous handlers come back when it goes.
#pragma once

#include <signal.h>

#include <string>
#include <vector>

namespace host {

class SignalPipe {
  public:
    // Catches `signals`: SIGHUP asks for a reload, any other for the end.
    explicit SignalPipe(std::vector<int> signals = {SIGINT, SIGTERM, SIGHUP});
    ~SignalPipe();
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    // The end to watch for reading; negative when the signals cannot be watched (see error()).
    int fd() const { return fds_[0]; }
    // Why the signals cannot be watched, in the system's words: "signal 9: Invalid argument".
    const std::string& error() const { return error_; }

    // The signals that came since the last call.
    struct Caught {
        bool end = false;
        bool hangUp = false;
    };
    Caught Take();

  private:
    bool Open();
    void Restore();
    void Close();

    std::vector<int> signals_;
    std::vector<struct sigaction> saved_;  // of each signal caught so far
    int fds_[2] = {-1, -1};
    std::string error_;
};

}  // namespace host
