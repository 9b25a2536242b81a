#include "platform/run/run_log.h"

#include <oleauto.h>

#include <atomic>
#include <new>
#include <utility>

#include "platform/handles.h"
#include "platform/text/format.h"
#include "platform/text/utf8.h"
#include "platform/text/win_text.h"

namespace cx {
namespace {

// Written by the main thread before any other thread of the tool exists; entries come from the main
// thread and the deadline's watchdog, one write at a time.
struct RunLog {
    UniqueFile file;
    ULONGLONG openedAt = 0;
    SRWLOCK lock = SRWLOCK_INIT;
    // Goes out with the first entry: a run costs one write fewer.
    std::string header;
};

RunLog& Log() {
    static RunLog log;
    return log;
}

void Append(const std::wstring& text) {
    RunLog& log = Log();
    std::string bytes = EncodeUtf8(text);
    ::AcquireSRWLockExclusive(&log.lock);
    if (!log.header.empty()) bytes.insert(0, std::exchange(log.header, std::string()));
    DWORD written = 0;
    ::WriteFile(log.file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::ReleaseSRWLockExclusive(&log.lock);
}

// CR LF after every line; a line break inside the text starts a continuation line with a tab.
std::wstring AsLines(std::wstring_view text) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
        if (text[i] == L'\r' || text[i] == L'\n') {
            out += L"\r\n\t";
        } else {
            out.push_back(text[i]);
        }
    }
    return out + L"\r\n";
}

std::wstring_view RootName(HKEY root) {
    if (root == HKEY_CLASSES_ROOT) return L"HKCR";
    if (root == HKEY_CURRENT_USER) return L"HKCU";
    if (root == HKEY_LOCAL_MACHINE) return L"HKLM";
    if (root == HKEY_USERS) return L"HKU";
    return L"(key)";
}

std::wstring KeyName(HKEY root, std::wstring_view path) {
    if (!path.empty() && path[0] == L'\\') path.remove_prefix(1);
    return std::wstring(RootName(root)) + L"\\" + std::wstring(path);
}

std::wstring Outcome(LONG status) {
    return status == ERROR_SUCCESS ? std::wstring() : FormatText(L" failed: error %d", {status});
}

// A text as the log shows it: whole when short; else its two ends and its length, so that logging a
// huge value (a PATH of a hundred million characters) needs no copies of it, which a 32-bit process
// may have no room for.
std::wstring Quoted(std::wstring_view text) {
    constexpr std::size_t kWhole = 1024;
    constexpr std::size_t kEnd = 300;
    if (text.size() <= kWhole) return L"\"" + std::wstring(text) + L"\"";
    return FormatText(L"\"%s\" ... \"%s\" (%u characters)",
                      {text.substr(0, kEnd), text.substr(text.size() - kEnd), text.size()});
}

std::wstring ValueText(DWORD type, const void* data, DWORD size) {
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::wstring_view text(static_cast<const wchar_t*>(data), size / sizeof(wchar_t));
        text = text.substr(0, text.find(L'\0'));
        return (type == REG_SZ ? L"REG_SZ " : L"REG_EXPAND_SZ ") + Quoted(text);
    }
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        return FormatText(L"REG_DWORD %u", {*static_cast<const DWORD*>(data)});
    }
    return FormatText(L"type %u, %u bytes", {type, size});
}

std::wstring_view CallKind(WORD flags) {
    if (flags & DISPATCH_PROPERTYPUTREF) return L"putref";
    if (flags & DISPATCH_PROPERTYPUT) return L"put";
    if (flags & DISPATCH_PROPERTYGET) return L"get";
    return L"method";
}

std::wstring Hresult(HRESULT hr) {
    return FormatText(L"0x%.8x", {static_cast<std::int32_t>(hr)});
}

}  // namespace

LogFileOpening OpenRunLog(const std::wstring& path, std::wstring_view program) {
    RunLog& log = Log();
    LogFile opened = OpenLogFile(path);
    log.file = std::move(opened.file);
    if (!log.file) return opened.opening;
    log.openedAt = ::GetTickCount64();
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    log.header =
        EncodeUtf8(AsLines(FormatText(L"==== %.4u-%.2u-%.2u %.2u:%.2u:%.2u %s, process %u, command line: %s",
                                      {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                                       program, ::GetCurrentProcessId(), ::GetCommandLineW()})));
    return LogFileOpening::Opened;
}

bool IsRunLogOpen() {
    return static_cast<bool>(Log().file);
}

namespace {

// The thread that ends the run, once it does; 0 before.
std::atomic<DWORD> sealedFor{0};

}  // namespace

void SealRunLog() {
    sealedFor = ::GetCurrentThreadId();
}

void LogStep(std::wstring_view text) {
    if (!IsRunLogOpen()) return;
    const DWORD sealer = sealedFor;
    if (sealer != 0 && sealer != ::GetCurrentThreadId()) return;
    const ULONGLONG elapsed = ::GetTickCount64() - Log().openedAt;
    // The log never changes a run's outcome: an entry there is no memory for is left out.
    try {
        Append(FormatText(L"%8u.%.3u ", {static_cast<std::uint32_t>(elapsed / 1000),
                                         static_cast<std::uint32_t>(elapsed % 1000)}) +
               AsLines(text));
    } catch (const std::bad_alloc&) {
    }
}

void LogRegistryValue(HKEY root, std::wstring_view path, std::wstring_view name, DWORD type, const void* data,
                      DWORD size, LONG status) {
    if (!IsRunLogOpen()) return;
    LogStep(FormatText(L"registry set %s \"%s\" = %s%s",
                       {KeyName(root, path), name, ValueText(type, data, size), Outcome(status)}));
}

void LogRegistryValueDeleted(HKEY root, std::wstring_view path, std::wstring_view name, LONG status) {
    if (!IsRunLogOpen()) return;
    LogStep(FormatText(L"registry delete value %s \"%s\"%s", {KeyName(root, path), name, Outcome(status)}));
}

void LogRegistryKeyDeleted(HKEY root, std::wstring_view path, LONG status) {
    if (!IsRunLogOpen()) return;
    LogStep(FormatText(L"registry delete key %s%s", {KeyName(root, path), Outcome(status)}));
}

void LogRegistryKeyCreated(HKEY root, std::wstring_view path) {
    if (!IsRunLogOpen()) return;
    LogStep(L"registry create key " + KeyName(root, path));
}

void LogProgramStart(std::wstring_view commandLine, DWORD error) {
    if (!IsRunLogOpen()) return;
    LogStep(error == ERROR_SUCCESS
                ? FormatText(L"program started: %s", {commandLine})
                : FormatText(L"program could not be started (error %u): %s", {error, commandLine}));
}

void LogProgramEnd(std::int32_t exitCode, bool terminated) {
    if (!IsRunLogOpen()) return;
    LogStep(terminated
                ? FormatText(L"program did not end in time and was ended with exit code %d", {exitCode})
                : FormatText(L"program ended with exit code %d", {exitCode}));
}

void LogProgramOutput(std::wstring_view output) {
    if (!IsRunLogOpen()) return;
    LogStep(FormatText(L"program output: \"%s\"", {output}));
}

void LogAutomationCall(std::wstring_view member, WORD flags, HRESULT hr) {
    if (!IsRunLogOpen()) return;
    LogStep(FormatText(L"automation %s (%s): %s", {member, CallKind(flags), Hresult(hr)}));
}

void LogServerActivation(std::wstring_view what, std::wstring_view progId, HRESULT hr) {
    if (!IsRunLogOpen()) return;
    LogStep(FormatText(L"automation %s %s: %s", {what, progId, Hresult(hr)}));
}

void LogLibraryCall(std::wstring_view library, std::string_view entryPoint, HRESULT hr) {
    if (!IsRunLogOpen()) return;
    LogStep(FormatText(L"library %s %s: %s", {library, ToWide(entryPoint), Hresult(hr)}));
}

void LogServerProcess(std::wstring_view progId, std::uint32_t pid, std::wstring_view name) {
    if (!IsRunLogOpen()) return;
    LogStep(pid != 0 ? FormatText(L"automation server %s runs as process %u (%s), started for this run",
                                  {progId, pid, name})
                     : FormatText(L"automation server %s: no single new process of %s in this session, so "
                                  L"none is known to be this run's",
                                  {progId, name}));
}

void LogServerProcessEnded(std::uint32_t pid, std::wstring_view name, std::wstring_view how) {
    if (!IsRunLogOpen()) return;
    LogStep(FormatText(L"ended process %u (%s), which this run started: %s", {pid, name, how}));
}

void LogCallGivenUp(std::wstring_view what, std::uint32_t seconds) {
    if (!IsRunLogOpen()) return;
    LogStep(FormatText(L"%s has not returned after %u s: given up", {what, seconds}));
}

void LogCatalogue(std::string_view domain, std::string_view language, std::wstring_view path) {
    if (!IsRunLogOpen()) return;
    LogStep(FormatText(L"catalogue \"%s\" for %s: %s",
                       {ToWide(domain), ToWide(language), path.empty() ? std::wstring_view(L"none") : path}));
}

void LogMessageBox(std::wstring_view caption, std::wstring_view text, bool shown) {
    if (!IsRunLogOpen()) return;
    LogStep(FormatText(shown ? L"message box \"%s\" shown: %s" : L"message box \"%s\" not shown (quiet): %s",
                       {caption, text}));
}

}  // namespace cx
