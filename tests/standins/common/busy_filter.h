// A server that is busy for a while: its message filter answers every incoming call with
// SERVERCALL_RETRYLATER until the time is up, as a program does while it starts or while it shows a
// dialog. What happens to the rejected call is the caller's message filter's choice. Wine 8 consults the
// filter but runs such a call all the same ("retry call later not implemented"), so under Wine the
// rejection never reaches the caller.
//
// Journal line: "busy rejected=<n>" when the first call is accepted after n were turned away.
#pragma once

#include <windows.h>

namespace standin {

// Registers the filter for the calling thread's apartment; busy from now for `busyMs`.
void RegisterBusyFilter(DWORD busyMs);

}  // namespace standin
