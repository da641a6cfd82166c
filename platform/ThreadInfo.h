#pragma once

namespace platform {

// The kernel's id of the calling thread.
long CurrentThreadId();
// True when a tracer (debugger) is attached to this process.
bool IsDebuggerAttached();
// Stops in the attached debugger.
void BreakIntoDebugger();

}  // namespace platform
