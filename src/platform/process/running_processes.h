// The names of the running processes, for telling whether a program runs. The system functions are
// resolved at run time; a missing one means fewer names or a false result, never a failed start.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system/windows_version.h"

namespace cx {

struct RunningProcess {
    std::wstring name;
    std::uint32_t pid = 0;
};
using ProcessList = std::vector<RunningProcess>;

// The functions the listing calls, and those that tell a process's session and elevation, each null
// when the system lacks it. Tests pass their own, since no system under test reports the idle process
// or an NT 4.0 system process, nor runs a process in another session or without elevation.
struct ProcessApi {
    HANDLE(WINAPI* createSnapshot)(DWORD flags, DWORD pid) = nullptr;
    BOOL(WINAPI* firstProcess)(HANDLE snapshot, PROCESSENTRY32W* entry) = nullptr;
    BOOL(WINAPI* nextProcess)(HANDLE snapshot, PROCESSENTRY32W* entry) = nullptr;
    BOOL(WINAPI* enumProcesses)(DWORD* pids, DWORD bytes, DWORD* bytesReturned) = nullptr;
    HANDLE(WINAPI* openProcess)(DWORD access, BOOL inherit, DWORD pid) = nullptr;
    DWORD(WINAPI* moduleBaseName)(HANDLE process, HMODULE module, LPWSTR name, DWORD size) = nullptr;
    BOOL(WINAPI* processIdToSessionId)(DWORD pid, DWORD* session) = nullptr;
    BOOL(WINAPI* openProcessToken)(HANDLE process, DWORD access, HANDLE* token) = nullptr;
    BOOL(WINAPI* tokenInformation)
    (HANDLE token, TOKEN_INFORMATION_CLASS kind, void* data, DWORD size, DWORD* returned) = nullptr;
};

// The toolhelp functions from kernel32, the PSAPI ones from psapi.dll and the token ones from
// advapi32, resolved once on first use.
const ProcessApi& SystemProcessApi();

// The version the system reports.
WindowsVersion RunningWindowsVersion();
inline VersionGroup ClassifyWindowsVersion() {
    return ClassifyWindowsVersion(RunningWindowsVersion());
}

// Appends one entry per running process, in the system's order, to `list` (earlier entries stay).
// Names are file names without directory; with `fullPath` the snapshot's executable field is kept as
// the system gives it. The idle process (identifier 0) is "System Idle Process" from the string table
// (in English when the catalogue cannot be used).
// False when the enumeration could not be started. Raises nothing.
bool GetRunningProcessNames(ProcessList& list, bool fullPath, const ProcessApi& api = SystemProcessApi(),
                            const WindowsVersion& version = RunningWindowsVersion());

// The base name of the process's main module; empty when the process cannot be opened or read.
std::wstring ProcessModuleName(std::uint32_t pid, const ProcessApi& api = SystemProcessApi());

// Whether `list` holds an entry equal to `name` under the user locale's case-insensitive comparison
// (a name with a directory in front does not count).
bool HasProcessNamed(const ProcessList& list, std::wstring_view name);

}  // namespace cx
