// What the live loops on POSIX systems share.
#pragma once

#include <cstdint>
#include <ostream>

#include "host/live/signal_pipe_posix.h"

namespace host {

// The timeout of poll() until `when`: at most a minute, none when it has come.
int TimeoutUntil(std::int64_t when, std::int64_t now);

// Writes why the signals cannot be watched; returns the exit status.
int NoSignals(const SignalPipe& signals, std::ostream& err);

}  // namespace host
