#include "platform/run/run_deadline.h"

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

#include "platform/handles.h"
#include "platform/run/program_end.h"
#include "platform/run/run_log.h"
#include "platform/text/format.h"

namespace cx {
namespace {

// `running` is set on the main thread before the watchdog exists and never changes afterwards; the
// rest is shared with the watchdog under `lock`.
struct Deadline {
    bool running = false;
    std::uint32_t seconds = 0;
    std::int32_t exitCode = 0;
    SRWLOCK lock = SRWLOCK_INIT;
    bool stopped = false;
    std::wstring waitingFor;
    HANDLE waitedProcess = nullptr;
    UniqueHandle job;
    std::vector<RunCleanup*> cleanups;
    // Set once the run is being ended: the first of the ways to end it wins.
    bool ending = false;
    std::int32_t failureCode = -2;
    void (*report)(const std::wstring&) = nullptr;
};

Deadline& State() {
    static Deadline deadline;
    return deadline;
}

class Hold {
public:
    Hold() { ::AcquireSRWLockExclusive(&State().lock); }
    ~Hold() { ::ReleaseSRWLockExclusive(&State().lock); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
};

// Its programs die with the tool, however the tool ends.
UniqueHandle CreateRunJob() {
    UniqueHandle job(::CreateJobObjectW(nullptr, nullptr));
    if (!job) return job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return job;
}

// Taken for ending the run, which may start on a thread that faulted while it held the lock: after a
// few seconds the run is ended without it.
bool HoldForEnd() {
    for (int i = 0; i < 200; ++i) {
        if (::TryAcquireSRWLockExclusive(&State().lock)) return true;
        ::Sleep(10);
    }
    return false;
}

void EndCleanups(Deadline& deadline) {
    // A copy: a clean-up may not unregister itself here, but it must not see the list change either.
    const std::vector<RunCleanup*> cleanups = deadline.cleanups;
    for (RunCleanup* cleanup : cleanups) cleanup->EndForRun();
}

// On the watchdog's thread, where nothing may escape: when memory has run out (the main thread may
// hold all there is), the entry is left out and the deadline still ends the run.
void LogFormatted(std::wstring_view format, std::initializer_list<FormatArg> args) {
    try {
        LogStep(FormatText(format, args));
    } catch (const std::bad_alloc&) {
    }
}

// The process ends here, not by ExitProcess: the main thread is somewhere in the middle of its work,
// and neither the runtime's clean-up nor DLL detach code may run behind its back. The log has
// nothing buffered; each entry was written when it was made. `held`: the lock could be taken.
[[noreturn]] void EndWithLock(std::wstring_view why, const std::wstring& message, bool held) {
    Deadline& deadline = State();
    if (deadline.ending) {
        if (held) ::ReleaseSRWLockExclusive(&deadline.lock);
        for (;;) ::Sleep(INFINITE);
    }
    deadline.ending = true;
    SealRunLog();
    LogFormatted(L"%s", {why});
    if (deadline.job || deadline.waitedProcess) {
        if (deadline.job) ::TerminateJobObject(deadline.job.get(), static_cast<UINT>(kProcessTerminated));
        if (deadline.waitedProcess)
            ::TerminateProcess(deadline.waitedProcess, static_cast<UINT>(kProcessTerminated));
        LogStep(L"ended the programs this run started");
    }
    EndCleanups(deadline);
    const std::int32_t exitCode = deadline.running ? deadline.exitCode : deadline.failureCode;
    // Reported without the lock: a box waits for its reader, and the main thread may need the lock to
    // get that far in its own unwinding.
    if (held) ::ReleaseSRWLockExclusive(&deadline.lock);
    if (!message.empty() && deadline.report) deadline.report(message);
    LogFormatted(L"exit code %d", {exitCode});
    ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(exitCode));
    for (;;) ::Sleep(INFINITE);
}

void Expire() {
    Deadline& deadline = State();
    const bool held = HoldForEnd();
    if (deadline.stopped) {
        if (held) ::ReleaseSRWLockExclusive(&deadline.lock);
        return;
    }
    std::wstring why;
    try {
        why = FormatText(
            L"deadline of %u s passed while waiting for %s",
            {deadline.seconds, deadline.waitingFor.empty()
                                   ? std::wstring_view(L"nothing the run records (its last step is above)")
                                   : std::wstring_view(deadline.waitingFor)});
    } catch (const std::bad_alloc&) {
    }
    EndWithLock(why, std::wstring(), held);
}

DWORD WINAPI Watchdog(void* milliseconds) {
    ::Sleep(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(milliseconds)));
    Expire();
    return 0;
}

}  // namespace

void StartRunDeadline(std::uint32_t seconds, std::int32_t exitCode) {
    Deadline& deadline = State();
    deadline.running = true;
    deadline.seconds = seconds;
    deadline.exitCode = exitCode;
    // Below INFINITE, which Sleep would take as no limit: about 49 days at most.
    constexpr std::uint32_t kLongest = (INFINITE - 1) / 1000;
    const DWORD milliseconds = (seconds < kLongest ? seconds : kLongest) * 1000;
    const UniqueHandle thread(::CreateThread(nullptr, 64 * 1024, &Watchdog,
                                             reinterpret_cast<void*>(static_cast<UINT_PTR>(milliseconds)),
                                             STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!thread)
        LogStep(FormatText(L"no watchdog (error %u): the time limit cannot be kept", {::GetLastError()}));
}

void StopRunDeadline() {
    if (!State().running) return;
    const Hold hold;
    State().stopped = true;
}

ChildLaunch::ChildLaunch() : active_(State().running) {
    if (active_) ::AcquireSRWLockExclusive(&State().lock);
}

ChildLaunch::~ChildLaunch() {
    if (active_) ::ReleaseSRWLockExclusive(&State().lock);
}

DWORD ChildLaunch::CreationFlags() const {
    return active_ ? CREATE_SUSPENDED : 0;
}

void ChildLaunch::Adopt(HANDLE process, HANDLE thread) const {
    if (!active_) return;
    Deadline& deadline = State();
    if (!deadline.job) deadline.job = CreateRunJob();
    // A tool that already runs in a job of its caller's may not be able to nest one (before Windows 8):
    // the child then runs outside, and the wait for it still ends it at the deadline.
    if (deadline.job) ::AssignProcessToJobObject(deadline.job.get(), process);
    ::ResumeThread(thread);
}

ScopedWait::ScopedWait(std::wstring_view what, std::wstring_view subject, HANDLE process)
    : active_(State().running) {
    if (!active_) return;
    std::wstring now = std::wstring(what) + std::wstring(subject);
    const Hold hold;
    previous_ = std::exchange(State().waitingFor, std::move(now));
    previousProcess_ = std::exchange(State().waitedProcess, process);
}

ScopedWait::~ScopedWait() {
    if (!active_) return;
    const Hold hold;
    State().waitingFor = std::move(previous_);
    State().waitedProcess = previousProcess_;
}

void RegisterRunCleanup(RunCleanup* cleanup) {
    const Hold hold;
    State().cleanups.push_back(cleanup);
}

void UnregisterRunCleanup(RunCleanup* cleanup) {
    const Hold hold;
    std::erase(State().cleanups, cleanup);
}

void EndRunCleanups() {
    const Hold hold;
    EndCleanups(State());
}

void SetRunFailure(std::int32_t exitCode, void (*report)(const std::wstring& message)) {
    const Hold hold;
    State().failureCode = exitCode;
    State().report = report;
}

void EndRunNow(std::wstring_view why, const std::wstring& message) {
    EndWithLock(why, message, HoldForEnd());
}

DWORD WaitForProgram(HANDLE process, std::wstring_view commandLine, DWORD timeoutMs) {
    const ScopedWait wait(L"the program to end: ", commandLine, process);
    return ::WaitForSingleObject(process, timeoutMs);
}

}  // namespace cx
