#pragma once
#include <csignal>

namespace testsite {

// Blocks SIGINT and SIGTERM in the calling thread and in every thread it starts afterwards, so
// that only WaitForStopSignal takes them and a signal sent before the wait is not lost.
// Call before any server thread starts.
sigset_t BlockStopSignals();
// Waits until SIGINT or SIGTERM arrives.
void WaitForStopSignal(const sigset_t& stopSignals);

}  // namespace testsite
