// Stand-in for the suite's package tool "unopkg.com" (a console program; CreateProcessW runs it by its
// full path despite the name).
//
// Journal "unopkg.com.journal" beside it:
//   cmdline=<the exact command line, GetCommandLineW>
//   PATH=<the PATH variable it inherited>
//   wrote <n> bytes to <stdout|stderr>      or   write-error <code> after <n> bytes to <stream>
//   exit <code>
// Settings beside it:
//   unopkg.com.output    key=value lines; absent or empty: it prints nothing
//     stream=stdout|stderr   where to write (default stdout)
//     text=<line>            writes the line and CR LF; repeatable, in file order
//     bytes=<n>              then writes n filler bytes (lines of letters ending in LF), e.g. 10485760
//     sleep_ms=<ms>          waits that long before exiting
//     start=<command line>   first starts that program in the background, with this tool's standard
//                            handles, as the real tool starts the office process behind it; journals
//                            "started <command line>" or "start-failed <command line>"
//     launch=<file name>     first runs that program beside it with the same arguments and waits for
//                            it, as the suite's console launchers do for the program that does the work
//                            (it reads its own "<file name>.output"); journals "launched <pid>"
//   unopkg.com.exitcode  the exit code, C notation (default 0)
// Its command line is checked as the real tool documents it ("unopkg add|remove [options] <file or
// identifier>..."; options -f/--force, -v/--verbose, -s/--suppress-license, --shared, --bundled,
// --log-file <file>, --deployment-context <context>): anything else prints "ERROR: ..." to standard
// error, journals "usage-error <reason>" and ends with 1 before any setting applies.
#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "common/background.h"
#include "common/journal.h"
#include "common/scenario.h"
#include "platform/text/utf8.h"

namespace {

using standin::Journal;

struct Writer {
    HANDLE stream;
    unsigned long long written = 0;
    DWORD error = 0;

    bool Write(const std::string& bytes) {
        std::size_t offset = 0;
        while (offset < bytes.size()) {
            DWORD done = 0;
            if (!::WriteFile(stream, bytes.data() + offset, static_cast<DWORD>(bytes.size() - offset), &done,
                             nullptr)) {
                error = ::GetLastError();
                return false;
            }
            offset += done;
            written += done;
        }
        return true;
    }
};

std::string Filler(std::size_t size) {
    std::string text(size, 'x');
    for (std::size_t i = 0; i < size; ++i) text[i] = (i % 64 == 63) ? '\n' : static_cast<char>('a' + i % 26);
    return text;
}

// Starts `name` from this program's folder with this program's arguments and waits for it to end.
void Launch(const std::wstring& name) {
    const std::wstring self = standin::OwnModulePath();
    const std::wstring path = self.substr(0, self.find_last_of(L'\\') + 1) + name;
    // The arguments: the command line after the program path, quoted or not, from the blank on.
    const std::wstring line = ::GetCommandLineW();
    const std::size_t end = line[0] == L'"' ? line.find(L'"', 1) + 1 : line.find(L' ');
    std::wstring command = L"\"" + path + L"\"" + (end >= line.size() ? L"" : line.substr(end));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &info)) {
        Journal(L"launch-error " + std::to_wstring(::GetLastError()));
        return;
    }
    Journal(L"launched " + std::to_wstring(info.dwProcessId));
    ::WaitForSingleObject(info.hProcess, INFINITE);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
}

bool IsFlag(const std::wstring& arg) {
    for (const wchar_t* flag :
         {L"-f", L"--force", L"-v", L"--verbose", L"-s", L"--suppress-license", L"--shared", L"--bundled"}) {
        if (arg == flag) return true;
    }
    return false;
}

// Why the command line is not one the real tool takes; nullopt when it is.
std::optional<std::wstring> UsageError() {
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!argv) return L"the command line cannot be split";
    const std::vector<std::wstring> args(argv + 1, argv + count);
    ::LocalFree(argv);
    if (args.empty() || (args[0] != L"add" && args[0] != L"remove")) return L"no command add or remove";
    int operands = 0;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (arg == L"--log-file" || arg == L"--deployment-context") {
            if (++i == args.size()) return L"option " + arg + L" without its value";
        } else if (!arg.empty() && arg[0] == L'-') {
            if (!IsFlag(arg)) return L"unknown option " + arg;
        } else {
            ++operands;
        }
    }
    if (operands == 0) return L"no extension named";
    return std::nullopt;
}

void Print(const standin::Scenario& output) {
    const bool toStderr = output.Get("stream").value_or(L"stdout") == L"stderr";
    const std::wstring streamName = toStderr ? L"stderr" : L"stdout";
    Writer writer{::GetStdHandle(toStderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE)};
    bool ok = true;
    for (const auto& line : output.GetAll("text")) {
        if (ok) ok = writer.Write(cx::EncodeUtf8(line) + "\r\n");
    }
    constexpr std::size_t kChunk = 64 * 1024;
    const std::string chunk = Filler(kChunk);
    for (long left = output.Number("bytes", 0); ok && left > 0;) {
        const std::size_t n =
            static_cast<std::size_t>(left) < kChunk ? static_cast<std::size_t>(left) : kChunk;
        ok = writer.Write(chunk.substr(0, n));
        left -= static_cast<long>(n);
    }
    if (ok) {
        if (writer.written > 0)
            Journal(L"wrote " + std::to_wstring(writer.written) + L" bytes to " + streamName);
    } else {
        Journal(L"write-error " + std::to_wstring(writer.error) + L" after " +
                std::to_wstring(writer.written) + L" bytes to " + streamName);
    }
}

}  // namespace

int wmain() {
    Journal(std::wstring(L"cmdline=") + ::GetCommandLineW());
    wchar_t path[32768] = {};
    ::GetEnvironmentVariableW(L"PATH", path, 32768);
    Journal(std::wstring(L"PATH=") + path);
    if (const auto error = UsageError()) {
        Journal(L"usage-error " + *error);
        Writer{::GetStdHandle(STD_ERROR_HANDLE)}.Write("ERROR: " + cx::EncodeUtf8(*error) + "\r\n");
        Journal(L"exit 1");
        return 1;
    }

    const auto outputText = standin::ReadSetting(L"output");
    const auto output = standin::Scenario::Parse(outputText.value_or(""));
    for (const auto& program : output.GetAll("start")) {
        Journal((standin::StartInBackground(program) ? L"started " : L"start-failed ") + program);
    }
    if (const auto name = output.Get("launch")) Launch(*name);
    Print(output);
    if (const long sleepMs = output.Number("sleep_ms", 0); sleepMs > 0) ::Sleep(static_cast<DWORD>(sleepMs));

    const auto codeText = standin::ReadSetting(L"exitcode");
    const long code = codeText ? standin::ParseNumber(*codeText).value_or(0) : 0;
    Journal(L"exit " + std::to_wstring(code));
    return static_cast<int>(code);
}
