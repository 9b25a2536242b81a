#include "selftest/harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "support/install_folder.h"
#include "support/text_file.h"

namespace selftest {

Folder::Folder(const std::wstring& leaf) : dir_(L"C:\\Program Files\\Standin Selftest\\" + leaf + L"\\") {
    const std::wstring bare = dir_.substr(0, dir_.size() - 1);
    cxtest::RemoveTree(bare);
    cxtest::MakeDirs(bare);
}

Folder::~Folder() {
    cxtest::RemoveTree(dir_.substr(0, dir_.size() - 1));
}

void Folder::Add(const std::wstring& standin, const std::wstring& asName) const {
    const std::wstring source = cxtest::StandinPath(standin);
    ASSERT_TRUE(::CopyFileW(source.c_str(), Path(asName.empty() ? standin : asName).c_str(), FALSE))
        << "copy " << ::testing::PrintToString(source) << " failed: " << ::GetLastError();
}

void Folder::Write(const std::wstring& name, const std::wstring& text) const {
    cxtest::WriteTextFile(Path(name), text);
}

std::vector<std::wstring> Folder::Lines(const std::wstring& name) const {
    return cxtest::ReadLines(Path(name));
}

Process::Process(Process&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

Process::~Process() {
    Close();
}

void Process::Close() {
    if (!handle_) return;
    if (!WaitExit(0)) ::TerminateProcess(handle_, 99);
    ::CloseHandle(handle_);
    handle_ = nullptr;
}

Process Process::Start(const std::wstring& commandLine) {
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info)) {
        return {};
    }
    ::CloseHandle(info.hThread);
    return Process(info.hProcess);
}

Process Process::Open(DWORD id) {
    return Process(
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, id));
}

bool Process::WaitExit(DWORD ms) const {
    return handle_ && ::WaitForSingleObject(handle_, ms) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
    DWORD code = 0;
    ::GetExitCodeProcess(handle_, &code);
    return code;
}

long RunToEnd(const std::wstring& commandLine, DWORD timeoutMs) {
    Process process = Process::Start(commandLine);
    if (!process || !process.WaitExit(timeoutMs)) return -1;
    return static_cast<long>(process.ExitCode());
}

namespace {

struct Drain {
    HANDLE pipe;
    std::string bytes;

    static DWORD WINAPI Run(void* self) {
        auto* drain = static_cast<Drain*>(self);
        char chunk[65536];
        DWORD got = 0;
        while (::ReadFile(drain->pipe, chunk, sizeof chunk, &got, nullptr) && got > 0)
            drain->bytes.append(chunk, got);
        return 0;
    }
};

}  // namespace

Captured RunCapture(const std::wstring& commandLine) {
    Captured result;
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return result;
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    PROCESS_INFORMATION info{};
    const BOOL started = ::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                          nullptr, nullptr, &startup, &info);
    ::CloseHandle(writeEnd);
    if (!started) {
        ::CloseHandle(readEnd);
        return result;
    }
    Drain drain{readEnd, {}};
    HANDLE thread = ::CreateThread(nullptr, 0, &Drain::Run, &drain, 0, nullptr);
    ::WaitForSingleObject(info.hProcess, 60000);
    ::WaitForSingleObject(thread, 10000);
    ::GetExitCodeProcess(info.hProcess, &result.exitCode);
    ::CloseHandle(thread);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    ::CloseHandle(readEnd);
    result.output = std::move(drain.bytes);
    return result;
}

bool WaitForLine(const Folder& folder, const std::wstring& journal, const std::wstring& line, DWORD timeoutMs,
                 int times) {
    const double deadline = NowMs() + timeoutMs;
    do {
        const auto lines = folder.Lines(journal);
        if (std::count(lines.begin(), lines.end(), line) >= times) return true;
        ::Sleep(10);
    } while (NowMs() < deadline);
    return false;
}

DWORD StartedPid(const std::vector<std::wstring>& journal, const std::wstring& mode) {
    const std::wstring prefix = L"start mode=" + mode + L" pid=";
    DWORD pid = 0;
    for (const auto& line : journal) {
        if (line.rfind(prefix, 0) == 0)
            pid = static_cast<DWORD>(std::wcstoul(line.c_str() + prefix.size(), nullptr, 10));
    }
    return pid;
}

std::vector<std::wstring> LinesAfter(const std::vector<std::wstring>& journal, const std::wstring& prefix) {
    auto from = journal.begin();
    for (auto it = journal.begin(); it != journal.end(); ++it) {
        if (it->rfind(prefix, 0) == 0) from = it + 1;
    }
    return {from, journal.end()};
}

std::vector<std::wstring> CallLines(const std::vector<std::wstring>& journal) {
    std::vector<std::wstring> calls;
    for (const auto& line : journal) {
        const bool lifecycle = line.rfind(L"start ", 0) == 0 || line.rfind(L"exit ", 0) == 0 ||
                               line.rfind(L"regserver ", 0) == 0 || line.rfind(L"unregserver ", 0) == 0 ||
                               line == L"ready" || line == L"released" || line == L"CreateInstance";
        if (!lifecycle) calls.push_back(line);
    }
    return calls;
}

double NowMs() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace selftest
