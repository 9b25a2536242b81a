// The time limit of a quiet run. The run's waits (child programs, automation calls, library entry
// points) say what they wait for while they wait; when the limit passes, a watchdog thread writes
// that to the run's log, ends every program the run started and whatever those started (they are
// kept in one job object), and ends the process with the run's failure code. Programs that COM
// starts (Word, the office suite) are not the run's children and are left alone.
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

// WaitForSingleObject on a child program, while the deadline knows what the run waits for. Once the
// deadline has ended the child, this does not return: the run must not go on with the result of a
// program that it ended itself.
DWORD WaitForProgram(HANDLE process, std::wstring_view commandLine, DWORD timeoutMs);

}  // namespace cx
