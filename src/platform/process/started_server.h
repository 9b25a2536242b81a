// The process of an automation server that COM starts for the run (a hidden Word, an office suite).
// COM does not say which process serves an object, so the run lists the processes of the server's
// registered program in its own session before it asks COM for the object, and again afterwards:
// exactly one new process is the one COM started. A program the user started before, or a start that
// several new processes make ambiguous, is never named; then no process is known, and none is ended.
// While known, the process is a run clean-up: the run's deadline, a call that passes its bound and a
// fault of the tool end it (platform/run/run_deadline.h).
#pragma once

#include <objbase.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/handles.h"
#include "platform/process/running_processes.h"
#include "platform/run/run_deadline.h"

namespace cx {

class StartedServer final : public RunCleanup {
public:
    StartedServer(UniqueHandle process, std::uint32_t pid, std::wstring name);
    // Stops being a clean-up; the process itself is left as it is.
    ~StartedServer();
    StartedServer(const StartedServer&) = delete;
    StartedServer& operator=(const StartedServer&) = delete;

    std::uint32_t Pid() const { return pid_; }
    const std::wstring& Name() const { return name_; }
    // Waits up to `ms` for the process to end by itself (a server told to quit); true when it did.
    bool WaitForEnd(DWORD ms) const;
    // Asks it to close, terminates it when it does not within a few seconds, and logs how it ended;
    // nothing when it has ended already. Never raises.
    void End();
    void EndForRun() noexcept override;

private:
    void EndNow();

    UniqueHandle process_;
    std::uint32_t pid_;
    std::wstring name_;
    bool registered_ = true;
};

// Held around asking COM for an object of class `clsid` (`progId`'s, for the log), which may start its
// server.
class ServerLaunch final : public RunCleanup {
public:
    // Lists the processes of the class's registered program (LocalServer32, read where the tool trusts
    // class registrations, in each registry view COM uses) in the tool's session. A null class lists
    // nothing and finds nothing. Never raises.
    ServerLaunch(std::wstring_view progId, const CLSID& clsid);
    ~ServerLaunch();
    ServerLaunch(const ServerLaunch&) = delete;
    ServerLaunch& operator=(const ServerLaunch&) = delete;

    // After the request, successful or not: the one new process of the program, logged with its id
    // (and null, logged, when there is not exactly one). Never raises.
    std::unique_ptr<StartedServer> Identify();
    // The request has not returned when the run ends: its one new process is ended.
    void EndForRun() noexcept override;

private:
    // The processes of the program that did not run before, in the tool's session.
    ProcessList NewProcesses() const;

    std::wstring progId_;
    std::vector<std::wstring> names_;
    ProcessList before_;
    bool listed_ = false;
    bool registered_ = false;
};

}  // namespace cx
