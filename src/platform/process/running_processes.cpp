#include "platform/process/running_processes.h"

#include <algorithm>
#include <array>

#include "platform/errors.h"
#include "platform/handles.h"
#include "platform/system/system_function.h"
#include "platform/text/res_string.h"

namespace cx {
namespace {

// EnumProcesses is given room for this many identifiers.
constexpr std::size_t kMaxProcessIds = 1025;
// The NT 4.0 system process.
constexpr std::uint32_t kNt4SystemPid = 2;

template <typename F>
void Resolve(HMODULE module, const char* name, F& target) {
    target = FindSystemFunction<F>(module, name);
}

ProcessApi ResolveSystemApi() {
    ProcessApi api;
    const HMODULE kernel = Kernel32();
    Resolve(kernel, "CreateToolhelp32Snapshot", api.createSnapshot);
    Resolve(kernel, "Process32FirstW", api.firstProcess);
    Resolve(kernel, "Process32NextW", api.nextProcess);
    Resolve(kernel, "OpenProcess", api.openProcess);
    Resolve(kernel, "ProcessIdToSessionId", api.processIdToSessionId);
    const HMODULE advapi = ::LoadLibraryW(L"advapi32.dll");
    Resolve(advapi, "OpenProcessToken", api.openProcessToken);
    Resolve(advapi, "GetTokenInformation", api.tokenInformation);
    // Loaded for the rest of the process: the listing may run more than once.
    const HMODULE psapi = ::LoadLibraryW(L"psapi.dll");
    Resolve(psapi, "EnumProcesses", api.enumProcesses);
    Resolve(psapi, "GetModuleBaseNameW", api.moduleBaseName);
    return api;
}

// A fixed name from the string table. The list never fails for want of a translation: when the
// catalogue cannot be used, the English text stands in.
std::wstring SystemProcessName(unsigned id) {
    try {
        return LoadResString(id);
    } catch (const Exception&) {
        return LoadEnglishResString(id);
    }
}

std::wstring_view AfterLastDelimiter(std::wstring_view path) {
    const std::size_t at = path.find_last_of(L"\\:");
    return at == std::wstring_view::npos ? path : path.substr(at + 1);
}

std::wstring CutAtNul(const wchar_t* text, std::size_t capacity) {
    std::size_t length = 0;
    while (length < capacity && text[length] != L'\0') ++length;
    return std::wstring(text, length);
}

bool ListFromSnapshot(ProcessList& list, bool fullPath, const ProcessApi& api, VersionGroup group) {
    if (!api.createSnapshot || !api.firstProcess || !api.nextProcess) return true;
    const UniqueFile snapshot(api.createSnapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = api.firstProcess(snapshot.get(), &entry); more;
         more = api.nextProcess(snapshot.get(), &entry)) {
        const std::uint32_t pid = entry.th32ProcessID;
        const std::wstring exeFile = CutAtNul(entry.szExeFile, std::size(entry.szExeFile));
        std::wstring name;
        if (pid == 0) {
            name = SystemProcessName(IDS_SYSTEM_IDLE_PROCESS);
        } else if (group == VersionGroup::ModuleNames) {
            name = ProcessModuleName(pid, api);
            if (name.empty()) name = exeFile;
        } else {
            name = fullPath ? exeFile : std::wstring(AfterLastDelimiter(exeFile));
        }
        list.push_back({std::move(name), pid});
    }
    return true;
}

bool ListFromProcessIds(ProcessList& list, const ProcessApi& api, bool nt4) {
    if (!api.enumProcesses) return false;
    std::array<DWORD, kMaxProcessIds> pids{};
    DWORD bytes = 0;
    if (!api.enumProcesses(pids.data(), static_cast<DWORD>(sizeof pids), &bytes)) return false;
    const std::size_t count = std::min<std::size_t>(bytes / sizeof(DWORD), pids.size());
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t pid = pids[i];
        std::wstring name;
        if (pid == 0) {
            name = SystemProcessName(IDS_SYSTEM_IDLE_PROCESS);
        } else if (pid == kNt4SystemPid && nt4) {
            name = SystemProcessName(IDS_SYSTEM_PROCESS);
        } else {
            name = ProcessModuleName(pid, api);
        }
        // A process that cannot be opened is left out.
        if (!name.empty()) list.push_back({std::move(name), pid});
    }
    return true;
}

}  // namespace

const ProcessApi& SystemProcessApi() {
    static const ProcessApi api = ResolveSystemApi();
    return api;
}

WindowsVersion RunningWindowsVersion() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!::GetVersionExW(&info)) return WindowsVersion{};
    return WindowsVersion{info.dwPlatformId == VER_PLATFORM_WIN32_NT, info.dwMajorVersion,
                          info.dwMinorVersion};
}

bool GetRunningProcessNames(ProcessList& list, bool fullPath, const ProcessApi& api,
                            const WindowsVersion& version) {
    const VersionGroup group = ClassifyWindowsVersion(version);
    if (group == VersionGroup::ProcessIds) return ListFromProcessIds(list, api, IsNt4(version));
    return ListFromSnapshot(list, fullPath, api, group);
}

std::wstring ProcessModuleName(std::uint32_t pid, const ProcessApi& api) {
    if (!api.openProcess || !api.moduleBaseName) return std::wstring();
    const UniqueHandle process(api.openProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process) return std::wstring();
    wchar_t name[MAX_PATH] = {};
    const DWORD length = api.moduleBaseName(process.get(), nullptr, name, MAX_PATH);
    if (length == 0) return std::wstring();
    return CutAtNul(name, std::min<std::size_t>(length, MAX_PATH));
}

bool HasProcessNamed(const ProcessList& list, std::wstring_view name) {
    for (const RunningProcess& process : list) {
        if (::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, process.name.data(),
                             static_cast<int>(process.name.size()), name.data(),
                             static_cast<int>(name.size())) == CSTR_EQUAL) {
            return true;
        }
    }
    return false;
}

}  // namespace cx
