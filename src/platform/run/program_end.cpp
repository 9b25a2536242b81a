#include "platform/run/program_end.h"

namespace cx {
namespace {

struct CloseRequest {
    DWORD pid;
    int windows = 0;
};

BOOL CALLBACK AskToClose(HWND window, LPARAM context) {
    auto* request = reinterpret_cast<CloseRequest*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    // Posted, not sent: a program that does not answer must not hold the caller.
    if (owner == request->pid && ::PostMessageW(window, WM_CLOSE, 0, 0)) ++request->windows;
    return TRUE;
}

}  // namespace

ProgramEnd CloseOrTerminate(HANDLE process, DWORD pid, DWORD graceMs) {
    if (::WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return ProgramEnd::AlreadyEnded;
    CloseRequest request{pid};
    ::EnumWindows(&AskToClose, reinterpret_cast<LPARAM>(&request));
    if (request.windows > 0 && ::WaitForSingleObject(process, graceMs) == WAIT_OBJECT_0)
        return ProgramEnd::Closed;
    if (::TerminateProcess(process, static_cast<UINT>(kProcessTerminated))) {
        // Terminating is asynchronous; a moment more lets a caller find it gone.
        ::WaitForSingleObject(process, 1000);
        return ProgramEnd::Terminated;
    }
    return ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0 ? ProgramEnd::Closed : ProgramEnd::Failed;
}

}  // namespace cx
