// The tool's COM message filter. A server that is busy (Word showing a dialog, or still starting) turns
// incoming calls away with "retry later"; without a filter such a call fails at once with
// RPC_E_CALL_REJECTED. The filter retries it for a bounded time, then lets it fail as before, so that a
// Word that never becomes free cannot hold the tool for ever. A call that the server accepted and does
// not answer is cancelled here once it passes its bound (platform/com/call_bound.h).
#pragma once

#include <windows.h>

namespace cx {

// How long one rejected call is retried, counted from the moment it was first made: long enough for a
// dialog to be answered or Word to finish starting, short enough that an installer waiting for the tool
// is not held indefinitely.
inline constexpr DWORD kRejectedCallRetryMs = 60000;
// The pause before each new attempt.
inline constexpr DWORD kRejectedCallRetryDelayMs = 250;
// RetryRejectedCall's answer for "give up": the call fails with RPC_E_CALL_REJECTED.
inline constexpr DWORD kCancelRejectedCall = static_cast<DWORD>(-1);

// RetryRejectedCall's decision for a call first made `elapsedMs` ago and turned away with `rejectType`
// (SERVERCALL_RETRYLATER or SERVERCALL_REJECTED): the delay before the next attempt, or
// kCancelRejectedCall. Only "retry later" is retried, and only within the bound.
DWORD RejectedCallDelay(DWORD elapsedMs, DWORD rejectType);

// Registers the filter for the calling thread's single-threaded apartment, which must exist. Raises
// nothing: without the filter, calls are simply not retried.
void RegisterMessageFilter();

}  // namespace cx
