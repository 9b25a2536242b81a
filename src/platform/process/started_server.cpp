#include "platform/process/started_server.h"

#include <objbase.h>

#include <algorithm>

#include "platform/process/own_process.h"
#include "platform/process/process_session.h"
#include "platform/registry/class_registration.h"
#include "platform/run/program_end.h"
#include "platform/run/run_log.h"
#include "platform/text/format.h"
#include "platform/text/path_text.h"
#include "platform/text/server_program.h"

namespace cx {
namespace {

// The program names the class's server is registered under, where COM looks for them for this
// process: a 32-bit tool on 64-bit Windows sees the 32-bit view of the class keys, and COM may start a
// 64-bit server registered in the other one.
std::vector<std::wstring> ServerProgramNames(const CLSID& clsid) {
    std::vector<std::wstring> names;
    wchar_t text[40] = {};
    if (clsid == CLSID{} || ::StringFromGUID2(clsid, text, 40) == 0) return names;
    const ClassesLookup lookup = OwnClassesLookup();
    const std::wstring key = L"CLSID\\" + std::wstring(text) + L"\\LocalServer32";
    for (const REGSAM view : ClassesViews(lookup)) {
        const std::wstring name = ExtractPathName(ServerProgram(ReadClassesDefault(lookup, key, view)));
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

std::wstring Joined(const std::vector<std::wstring>& names) {
    std::wstring text;
    for (const std::wstring& name : names) text += (text.empty() ? L"" : L" or ") + name;
    return text.empty() ? std::wstring(L"its registered program") : text;
}

// The processes of one of `names` in the tool's session; false when they cannot be listed.
bool ListServerProcesses(const std::vector<std::wstring>& names, ProcessList& out) {
    ProcessList all;
    if (names.empty() || !GetRunningProcessNames(all, false)) return false;
    for (const RunningProcess& process : all) {
        const bool named = std::any_of(names.begin(), names.end(), [&](const std::wstring& name) {
            return HasProcessNamed({process}, name);
        });
        const auto session = named ? ProcessSession(process.pid) : std::nullopt;
        if (named && session && session == ProcessSession(::GetCurrentProcessId())) out.push_back(process);
    }
    return true;
}

// Asks, then terminates, and logs how it went.
void EndServerProcess(HANDLE process, std::uint32_t pid, const std::wstring& name) {
    switch (CloseOrTerminate(process, pid)) {
        case ProgramEnd::AlreadyEnded:
            break;
        case ProgramEnd::Closed:
            LogServerProcessEnded(pid, name, L"closed when asked");
            break;
        case ProgramEnd::Terminated:
            LogServerProcessEnded(pid, name, L"terminated");
            break;
        case ProgramEnd::Failed:
            LogServerProcessEnded(pid, name,
                                  FormatText(L"could not be terminated (error %u)", {::GetLastError()}));
            break;
    }
}

}  // namespace

StartedServer::StartedServer(UniqueHandle process, std::uint32_t pid, std::wstring name)
    : process_(std::move(process)), pid_(pid), name_(std::move(name)) {
    RegisterRunCleanup(this);
}

StartedServer::~StartedServer() {
    if (registered_) UnregisterRunCleanup(this);
}

bool StartedServer::WaitForEnd(DWORD ms) const {
    return ::WaitForSingleObject(process_.get(), ms) == WAIT_OBJECT_0;
}

void StartedServer::End() {
    // No longer the run's to end: it is ended here, and the deadline must not do it again meanwhile.
    if (registered_) UnregisterRunCleanup(this);
    registered_ = false;
    EndNow();
}

void StartedServer::EndForRun() noexcept {
    EndNow();
}

void StartedServer::EndNow() {
    EndServerProcess(process_.get(), pid_, name_);
}

ServerLaunch::ServerLaunch(std::wstring_view progId, const CLSID& clsid)
    : progId_(progId), names_(ServerProgramNames(clsid)) {
    listed_ = ListServerProcesses(names_, before_);
    if (!listed_) return;
    RegisterRunCleanup(this);
    registered_ = true;
}

ServerLaunch::~ServerLaunch() {
    if (registered_) UnregisterRunCleanup(this);
}

ProcessList ServerLaunch::NewProcesses() const {
    ProcessList now;
    if (!listed_ || !ListServerProcesses(names_, now)) return {};
    std::erase_if(now, [&](const RunningProcess& process) {
        return std::any_of(before_.begin(), before_.end(),
                           [&](const RunningProcess& old) { return old.pid == process.pid; });
    });
    return now;
}

std::unique_ptr<StartedServer> ServerLaunch::Identify() {
    if (registered_) UnregisterRunCleanup(this);
    registered_ = false;
    const ProcessList started = NewProcesses();
    UniqueHandle process;
    if (started.size() == 1)
        process.reset(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION,
                                    FALSE, started.front().pid));
    if (!process) {
        LogServerProcess(progId_, 0, Joined(names_));
        return nullptr;
    }
    LogServerProcess(progId_, started.front().pid, started.front().name);
    return std::make_unique<StartedServer>(std::move(process), started.front().pid, started.front().name);
}

void ServerLaunch::EndForRun() noexcept {
    const ProcessList started = NewProcesses();
    if (started.size() != 1) return;
    const UniqueHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, started.front().pid));
    if (process) EndServerProcess(process.get(), started.front().pid, started.front().name);
}

}  // namespace cx
