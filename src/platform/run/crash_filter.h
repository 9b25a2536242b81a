// A fault inside the tool's own process (an add-in library whose entry point crashes, say) must not
// outlast the run's deadline: the system's handling attaches its debugger, or shows a box nobody sees,
// and the process then hangs with every thread stopped, the deadline's watchdog among them.
#pragma once

namespace cx {

// From now on an unhandled fault in any thread is written to the run's log and ends the run at once
// with its failure code, after the programs and servers it started (EndRunNow). For quiet runs only:
// otherwise the system's own handling stays, so that a user at the screen sees what happened.
void InstallCrashFilter();

}  // namespace cx
