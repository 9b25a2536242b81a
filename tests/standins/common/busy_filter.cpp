#include "common/busy_filter.h"

#include <objbase.h>
#include <objidl.h>

#include <string>

#include "common/journal.h"

namespace standin {
namespace {

class BusyFilter : public IMessageFilter {
public:
    void Start(DWORD busyMs) {
        busyUntil_ = ::GetTickCount64() + busyMs;
        rejected_ = 0;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IMessageFilter) return E_NOINTERFACE;
        *out = static_cast<IMessageFilter*>(this);
        return S_OK;
    }
    // Lives as long as the server.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        if (::GetTickCount64() < busyUntil_) {
            ++rejected_;
            return SERVERCALL_RETRYLATER;
        }
        if (rejected_ > 0) {
            Journal(L"busy rejected=" + std::to_wstring(rejected_));
            rejected_ = 0;
        }
        return SERVERCALL_ISHANDLED;
    }
    // The server makes no calls of its own.
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }

private:
    ULONGLONG busyUntil_ = 0;
    long rejected_ = 0;
};

}  // namespace

void RegisterBusyFilter(DWORD busyMs) {
    static BusyFilter filter;
    filter.Start(busyMs);
    IMessageFilter* previous = nullptr;
    if (SUCCEEDED(::CoRegisterMessageFilter(&filter, &previous)) && previous) previous->Release();
}

}  // namespace standin
