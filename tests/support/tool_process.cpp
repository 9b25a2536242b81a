#include "support/tool_process.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <map>

namespace cxtest {
namespace {

// The caller's environment with the changes applied, as a sorted Unicode environment block.
std::wstring EnvironmentBlock(const RunOptions& options) {
    std::map<std::wstring, std::wstring, bool (*)(const std::wstring&, const std::wstring&)> vars(
        [](const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) < 0; });
    wchar_t* block = ::GetEnvironmentStringsW();
    for (const wchar_t* p = block; *p; p += wcslen(p) + 1) {
        const std::wstring entry = p;
        const std::size_t eq = entry.find(L'=', 1);
        if (eq != std::wstring::npos) vars[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    ::FreeEnvironmentStringsW(block);
    // The tool picks its language from LANG, which Wine passes on from the Linux shell: every run gets
    // English unless the test says otherwise.
    vars[L"LANG"] = L"C";
    for (const auto& [name, value] : options.env) {
        if (value) {
            vars[name] = *value;
        } else {
            vars.erase(name);
        }
    }
    std::wstring out;
    for (const auto& [name, value] : vars) out += name + L"=" + value + L'\0';
    out += L'\0';
    return out;
}

}  // namespace

RunResult RunCommandLine(const std::wstring& commandLine, const RunOptions& options) {
    RunResult result;
    std::wstring mutableLine = commandLine;
    std::wstring env = EnvironmentBlock(options);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const BOOL started = ::CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE,
                                          CREATE_UNICODE_ENVIRONMENT, env.data(),
                                          options.currentDir.empty() ? nullptr : options.currentDir.c_str(),
                                          &startup, &info);
    if (!started) {
        ADD_FAILURE_AT(__FILE__, __LINE__);
        result.exitCode = -1;
        return result;
    }
    ::CloseHandle(info.hThread);
    const ULONGLONG deadline = ::GetTickCount64() + options.timeoutMs;
    HWND lastBox = nullptr;
    for (;;) {
        if (::WaitForSingleObject(info.hProcess, 20) == WAIT_OBJECT_0) break;
        if (::GetTickCount64() >= deadline) {
            result.timedOut = true;
            ::TerminateProcess(info.hProcess, 0xDEAD);
            ::WaitForSingleObject(info.hProcess, 5000);
            break;
        }
        auto box = FindBox(info.dwProcessId);
        if (!box || box->hwnd == lastBox) continue;
        ::Sleep(50);  // let the box finish filling its controls
        box = FindBox(info.dwProcessId);
        if (!box) continue;
        lastBox = box->hwnd;
        result.boxes.push_back(*box);
        int button = box->buttons.empty() ? IDOK : box->buttons.front().id;
        if (options.onBox) button = options.onBox(*box);
        PressButton(*box, button);
    }
    DWORD code = 0;
    ::GetExitCodeProcess(info.hProcess, &code);
    ::CloseHandle(info.hProcess);
    result.exitCode = static_cast<std::int32_t>(code);
    return result;
}

HANDLE StartProgram(const std::wstring& commandLine, DWORD* pid) {
    std::wstring mutableLine = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info)) {
        ADD_FAILURE() << "cannot start " << ::testing::PrintToString(commandLine) << ": " << ::GetLastError();
        return nullptr;
    }
    ::CloseHandle(info.hThread);
    if (pid) *pid = info.dwProcessId;
    return info.hProcess;
}

std::vector<DWORD> ProcessIdsNamed(const std::wstring& exeName) {
    std::vector<DWORD> ids;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, exeName.c_str()) == 0) ids.push_back(entry.th32ProcessID);
    }
    ::CloseHandle(snapshot);
    return ids;
}

RunResult RunProgram(const std::wstring& exe, const std::wstring& arguments, const RunOptions& options) {
    std::wstring line = L"\"" + exe + L"\"";
    if (!arguments.empty()) line += L" " + arguments;
    return RunCommandLine(line, options);
}

}  // namespace cxtest
