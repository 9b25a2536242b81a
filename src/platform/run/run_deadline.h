// The time limit of a quiet run, and every other way the run ends at once. The run's waits (child
// programs, automation calls, library entry points) say what they wait for while they wait; when the
// limit passes, a watchdog thread writes that to the run's log, ends every program the run started and
// whatever those started (they are kept in one job object), ends the servers COM started for the run
// (Word, the office suite: registered as run clean-ups), and ends the process with the run's failure
// code. An automation call that cannot be given up and a fault of the tool's own process end the run
// the same way.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace cx {

// Starts the watchdog: the process ends with `exitCode` `seconds` after this call unless
// StopRunDeadline comes first. Without this call nothing here costs anything and no job exists.
void StartRunDeadline(std::uint32_t seconds, std::int32_t exitCode);
// The run is over: the deadline no longer applies.
void StopRunDeadline();

// Held around starting one child program: a child created with CreationFlags() is put into the run's
// job by Adopt before it runs any code of its own (and could start programs outside the job), and the
// deadline cannot pass in between. The job ends its programs also when the tool itself is ended from
// outside (an installer's own time-out). Without a deadline it does nothing and the flags are 0.
class ChildLaunch {
public:
    ChildLaunch();
    ~ChildLaunch();
    ChildLaunch(const ChildLaunch&) = delete;
    ChildLaunch& operator=(const ChildLaunch&) = delete;

    DWORD CreationFlags() const;
    // Puts the child into the job and lets it run.
    void Adopt(HANDLE process, HANDLE thread) const;

private:
    bool active_;
};

// While it lives, the run waits for what `what` and `subject` name together (formed only while a
// deadline runs). `process`, when given, is ended at the deadline even if it escaped the job. Its end
// waits while the deadline is ending the run.
class ScopedWait {
public:
    ScopedWait(std::wstring_view what, std::wstring_view subject, HANDLE process = nullptr);
    ~ScopedWait();
    ScopedWait(const ScopedWait&) = delete;
    ScopedWait& operator=(const ScopedWait&) = delete;

private:
    bool active_;
    std::wstring previous_;
    HANDLE previousProcess_ = nullptr;
};

// Something the run started outside its job that must not outlive an early end of the run: a server
// COM started for it. While registered, EndForRun is called when the deadline passes, when an
// automation call to such a server does not return (EndRunCleanups), or when the tool's process faults.
// It runs on that thread, with the run's lock held, and must neither raise nor wait long.
class RunCleanup {
public:
    virtual void EndForRun() noexcept = 0;

protected:
    ~RunCleanup() = default;
};
void RegisterRunCleanup(RunCleanup* cleanup);
// Waits while the run is being ended.
void UnregisterRunCleanup(RunCleanup* cleanup);
// Ends what every registered clean-up holds, now; from any thread.
void EndRunCleanups();

// How the run ends when it must end at once: with `exitCode`, after `report` was given the failure's
// text (the driver's error box, which a quiet run only logs). Set once, before the driver runs; until
// then such an end gives exit code -2 and reports nothing.
void SetRunFailure(std::int32_t exitCode, void (*report)(const std::wstring& message));

// Ends the run at once, from any thread: writes `why` to the log, ends the run's programs and
// clean-ups, reports `message` (when it is not empty), logs the exit code and ends the process with
// the failure code, without the runtime's clean-up. A second caller waits for the first to finish.
[[noreturn]] void EndRunNow(std::wstring_view why, const std::wstring& message = std::wstring());

// WaitForSingleObject on a child program, while the deadline knows what the run waits for. Once the
// deadline has ended the child, this does not return: the run must not go on with the result of a
// program that it ended itself.
DWORD WaitForProgram(HANDLE process, std::wstring_view commandLine, DWORD timeoutMs);

}  // namespace cx
