#include "platform/com/message_filter.h"

#include <objbase.h>
#include <objidl.h>

#include "platform/com/call_bound.h"

namespace cx {
namespace {

// One object for the process; COM's references do not decide its lifetime.
class MessageFilter : public IMessageFilter {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IMessageFilter) return E_NOINTERFACE;
        *out = static_cast<IMessageFilter*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // The tool serves nothing of its own; whatever comes in is handled as without a filter.
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsedMs, DWORD rejectType) override {
        return RejectedCallDelay(elapsedMs, rejectType);
    }
    // No window of the tool's needs input while it waits for a reply; a call older than its bound is
    // given up (platform/com/call_bound.h).
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD elapsedMs, DWORD) override {
        return ShouldCancelCall(elapsedMs) ? PENDINGMSG_CANCELCALL : PENDINGMSG_WAITDEFPROCESS;
    }
};

}  // namespace

DWORD RejectedCallDelay(DWORD elapsedMs, DWORD rejectType) {
    if (rejectType != SERVERCALL_RETRYLATER || elapsedMs >= kRejectedCallRetryMs) return kCancelRejectedCall;
    return kRejectedCallRetryDelayMs;
}

void RegisterMessageFilter() {
    static MessageFilter filter;
    IMessageFilter* previous = nullptr;
    if (SUCCEEDED(::CoRegisterMessageFilter(&filter, &previous)) && previous) previous->Release();
}

}  // namespace cx
