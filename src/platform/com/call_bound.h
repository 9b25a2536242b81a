// The time bound on every automation call into another program (Word, the office suite): a server
// stuck in a dialog nobody sees must not hold the run for ever, quiet or not.
//
// A call that has not returned after the bound is given up: the tool's message filter answers
// MessagePending with PENDINGMSG_CANCELCALL once the call is older than the bound, and a watcher thread
// posts a message to the waiting thread now and then, since COM asks the filter only when a message
// arrives. Should the call still not return, the servers COM started for the run are ended a grace
// period later (their calls then fail at once), and after another grace period the run itself ends with
// its failure code, after the error is reported. A Word or suite the user started is never ended.
//
// Measured under Wine 8 with a server that never answers: MessagePending is called with the call's
// age for every message posted, but PENDINGMSG_CANCELCALL is ignored and the call goes on waiting;
// CoEnableCallCancellation answers S_OK and does nothing; CoCancelCall is not implemented (calling it
// aborts the process: "unimplemented function ole32.dll.CoCancelCall"), so the tool does not call it.
// Ending the server ends the call at once (RPC_S_CALL_FAILED). On Windows the filter's cancel returns
// the call with RPC_E_CALL_CANCELED.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace cx {

// Two minutes, as long as Windows itself waits for a server to start: enough for a Word that loads
// many add-ins or templates, or that starts for the first time after an update.
inline constexpr DWORD kDefaultCallBoundSeconds = 120;
// The environment variable that sets the bound in seconds, 1 to 3600 (tests shorten it; an installer
// may). Anything else leaves the default.
inline constexpr wchar_t kCallBoundVariable[] = L"CXADDINREG_CALL_BOUND";
// After one call was given up, the server that did not answer is not waited for again as long: later
// calls (the releases of its objects among them) get this bound.
inline constexpr DWORD kBoundAfterGiveUpMs = 2000;
// Between giving a call up and ending the servers, and between that and ending the run.
inline constexpr DWORD kGiveUpGraceMs = 3000;

// The bound in seconds that a value of the variable gives (null: not set).
DWORD CallBoundSeconds(const wchar_t* value);
// The bound in milliseconds, from the environment when first asked.
DWORD CallBoundMs();

// The message filter's decision for a call made `elapsedMs` ago: cancel it.
bool ShouldCancelCall(DWORD elapsedMs);

// How many calls of this run the bound has given up.
std::uint32_t GivenUpCalls();

// While it lives, the calling thread waits for one call, which `what` names in the log ("automation
// call COMAddIns (get)"); the bound applies to it. Never raises.
class BoundedCall {
public:
    explicit BoundedCall(std::wstring_view what);
    ~BoundedCall();
    BoundedCall(const BoundedCall&) = delete;
    BoundedCall& operator=(const BoundedCall&) = delete;

    // The bound passed during this call: whatever it returned, the call failed (RPC_E_TIMEOUT).
    bool GaveUp() const;

private:
    std::uint64_t id_;
    std::uint64_t previous_;
    ULONGLONG previousStart_;
    std::wstring previousWhat_;
    int previousStage_;
};

}  // namespace cx
