// How the run ends a program it started: by terminating it with this exit code, whether a wait of the
// process runner gave up or the run's deadline passed; and, for a program with windows of its own (a
// server COM started), by asking it to close first. Both the runner and the deadline use it, so it
// lives below both.
#pragma once

#include <windows.h>

#include <cstdint>

namespace cx {

// Exit code given to a child terminated because the wait did not end with it.
constexpr std::int32_t kProcessTerminated = 0x7FFFFFFF;

// How long a program asked to close gets before it is terminated: a few seconds, so that a deadline
// that passed is not overrun by much.
constexpr DWORD kCloseGraceMs = 3000;

enum class ProgramEnd {
    AlreadyEnded,  // it had ended before it was asked
    Closed,        // it ended when asked to close
    Terminated,    // it was terminated
    Failed,        // it could not be terminated (it may have ended in between)
};

// Asks the process `pid` (whose handle `process` has SYNCHRONIZE and PROCESS_TERMINATE) to close, the
// way Windows asks programs at log-off: WM_CLOSE to each of its top-level windows, hidden ones and
// dialogs included; waits up to `graceMs` for it to end; then terminates it with kProcessTerminated.
// A process without windows is terminated at once. From any thread; never raises.
ProgramEnd CloseOrTerminate(HANDLE process, DWORD pid, DWORD graceMs = kCloseGraceMs);

}  // namespace cx
