// Processes, folders and journals for the stand-ins' self-test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace selftest {

// A folder "C:\Program Files\Standin Selftest\<leaf>\" (its path holds blanks, as installs do), emptied
// first and removed at the end, into which stand-ins are copied.
class Folder {
public:
    explicit Folder(const std::wstring& leaf);
    ~Folder();
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    std::wstring Path(const std::wstring& name) const { return dir_ + name; }
    // Copies a built stand-in in, under another name if given.
    void Add(const std::wstring& standin, const std::wstring& asName = {}) const;
    void Write(const std::wstring& name, const std::wstring& text) const;
    std::vector<std::wstring> Lines(const std::wstring& name) const;

private:
    std::wstring dir_;
};

// A started program. Still running at destruction (a failed test), it is terminated, so that no server
// outlives its test.
class Process {
public:
    Process() = default;
    explicit Process(HANDLE process) : handle_(process) {}
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    ~Process();

    static Process Start(const std::wstring& commandLine);
    static Process Open(DWORD id);

    explicit operator bool() const { return handle_ != nullptr; }
    // True when the process ended within `ms`.
    bool WaitExit(DWORD ms) const;
    DWORD ExitCode() const;
    DWORD Id() const { return handle_ ? ::GetProcessId(handle_) : 0; }

private:
    void Close();

    HANDLE handle_ = nullptr;
};

// Runs a command line to its end; its exit code, or -1 when it did not start or end within the timeout.
long RunToEnd(const std::wstring& commandLine, DWORD timeoutMs = 30000);

struct Captured {
    DWORD exitCode = 0;
    std::string output;
};
// Runs a command line hidden, standard output and error on one pipe that a second thread drains.
Captured RunCapture(const std::wstring& commandLine);

// Polls a journal until it holds `line` `times` times; false after `timeoutMs`.
bool WaitForLine(const Folder& folder, const std::wstring& journal, const std::wstring& line, DWORD timeoutMs,
                 int times = 1);
// The process id in a journal's last "start mode=<mode> pid=<id>" line; 0 when there is none.
DWORD StartedPid(const std::vector<std::wstring>& journal, const std::wstring& mode);
// The lines after the last one that starts with `prefix` (all of them when none does).
std::vector<std::wstring> LinesAfter(const std::vector<std::wstring>& journal, const std::wstring& prefix);
// The journal lines without the lifecycle lines (start, regserver, unregserver, ready, CreateInstance,
// released, exit).
std::vector<std::wstring> CallLines(const std::vector<std::wstring>& journal);

// A monotonic clock in milliseconds, for timings.
double NowMs();

}  // namespace selftest
