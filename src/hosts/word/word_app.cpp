#include "hosts/word/word_app.h"

#include <objbase.h>

#include <optional>

#include "hosts/word/word_class.h"
#include "platform/com/automation.h"
#include "platform/com/call_bound.h"
#include "platform/com/com_apartment.h"
#include "platform/errors.h"
#include "platform/process/process_session.h"
#include "platform/process/running_processes.h"
#include "platform/run/run_deadline.h"
#include "platform/run/run_log.h"

namespace cx {
namespace {

// An object that does not answer Word's application interface is no Word: the query's status is of
// no further interest.
ComPtr<IDispatch> AsWordApp(const ComPtr<IDispatch>& object) {
    return object.As<IDispatch>(kWordApplicationIid);
}

}  // namespace

ComPtr<IDispatch> GetRunningWordApp() {
    EnsureComApartment();
    const std::uint32_t givenUpBefore = GivenUpCalls();
    try {
        const std::optional<WordClass> wordClass = FindWordClass();
        if (!wordClass) return {};
        ComPtr<IDispatch> word;
        {
            const BoundedCall bound(L"attaching to the running " + std::wstring(kWordProgId));
            ComPtr<IUnknown> running;
            const HRESULT hr = ::GetActiveObject(wordClass->clsid, nullptr, running.put());
            LogServerActivation(L"attach to running", kWordProgId, hr);
            if (FAILED(hr)) return {};
            word = AsWordApp(running.As<IDispatch>(IID_IDispatch));
        }
        if (!word) return {};
        if (!AsBool(GetProperty(word.get(), L"Visible")))
            PutProperty(word.get(), L"Visible", Variant::Bool(true));
        return word;
    } catch (const Exception&) {
        // A Word that does not answer is not "no Word": another one must not be started beside it.
        if (GivenUpCalls() != givenUpBefore) throw;
        return {};
    }
}

bool IsWordProcessRunning() {
    ProcessList processes;
    if (!GetRunningProcessNames(processes, false)) return false;
    ProcessList ownSession;
    for (RunningProcess& process : processes) {
        if (RunsInOwnSession(process.pid)) ownSession.push_back(std::move(process));
    }
    return HasProcessNamed(ownSession, kWordProcessName);
}

ComPtr<IDispatch> CreateWordApp() {
    EnsureComApartment();
    const std::optional<WordClass> wordClass = FindWordClass();
    if (!wordClass) return {};
    const ScopedWait wait(L"the automation server to start: ", kWordProgId);
    const BoundedCall bound(L"starting " + std::wstring(kWordProgId));
    ComPtr<IDispatch> created;
    const HRESULT hr =
        ::CoCreateInstance(wordClass->clsid, nullptr, wordClass->context, IID_IDispatch, created.put_void());
    LogServerActivation(L"start", kWordProgId, hr);
    if (FAILED(hr)) return {};
    return AsWordApp(created);
}

}  // namespace cx
