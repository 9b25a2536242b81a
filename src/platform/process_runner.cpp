#include "platform/process_runner.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/handles.h"
#include "platform/run_deadline.h"
#include "platform/run_log.h"
#include "platform/win_text.h"

namespace cx {
namespace {

// CreateProcessW may write into the command-line buffer, so it gets a private copy.
bool StartProcess(const std::wstring& commandLine, STARTUPINFOW& startup, UniqueHandle& process) {
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    PROCESS_INFORMATION info{};
    const ChildLaunch launch;
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, TRUE, launch.CreationFlags(), nullptr,
                          nullptr, &startup, &info)) {
        LogProgramStart(commandLine, ::GetLastError());
        return false;
    }
    UniqueHandle thread(info.hThread);
    process.reset(info.hProcess);
    LogProgramStart(commandLine, ERROR_SUCCESS);
    launch.Adopt(info.hProcess, info.hThread);
    return true;
}

std::int32_t ExitCodeOf(HANDLE process) {
    DWORD code = 0;
    const std::int32_t exitCode =
        ::GetExitCodeProcess(process, &code) ? static_cast<std::int32_t>(code) : kProcessStartFailed;
    LogProgramEnd(exitCode, false);
    return exitCode;
}

// Drains the pipe while the child runs, so that a child writing more than the pipe holds never waits
// for a reader; keeps only the first kCaptureLimit bytes.
struct PipeReader {
    HANDLE pipe;
    std::string kept;

    static DWORD WINAPI Run(void* self) {
        auto* reader = static_cast<PipeReader*>(self);
        char chunk[4096];
        DWORD got = 0;
        while (::ReadFile(reader->pipe, chunk, sizeof chunk, &got, nullptr) && got > 0) {
            const std::size_t room = kCaptureLimit - reader->kept.size();
            reader->kept.append(chunk, got < room ? got : room);
        }
        return 0;
    }
};

// A grandchild that inherited the write end can keep the pipe open after the child ended; the read is
// then given this long before it is cancelled.
constexpr DWORD kDrainAfterExitMs = 5000;

}  // namespace

std::int32_t RunProcess(const std::wstring& commandLine, std::uint16_t showWindow, std::uint32_t timeoutMs) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showWindow;
    UniqueHandle process;
    if (!StartProcess(commandLine, startup, process)) return kProcessStartFailed;
    if (WaitForProgram(process.get(), commandLine, timeoutMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), static_cast<UINT>(kProcessTerminated));
        LogProgramEnd(kProcessTerminated, true);
        return kProcessTerminated;
    }
    return ExitCodeOf(process.get());
}

CapturedRun RunProcessCapture(const std::wstring& commandLine) {
    CapturedRun run;
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    UniqueHandle readEnd;
    UniqueHandle writeEnd;
    if (!::CreatePipe(readEnd.put(), writeEnd.put(), &inheritable, 0)) return run;
    // The child needs only the write end; an inherited read end would keep the pipe from breaking.
    ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = writeEnd.get();
    UniqueHandle process;
    if (!StartProcess(commandLine, startup, process)) return run;

    PipeReader reader{readEnd.get(), {}};
    UniqueHandle thread(::CreateThread(nullptr, 0, &PipeReader::Run, &reader, 0, nullptr));
    const DWORD waited = WaitForProgram(process.get(), commandLine, INFINITE);
    writeEnd.reset();  // the read then ends when the child's copies are gone
    if (waited != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), static_cast<UINT>(kProcessTerminated));
        run.exitCode = kProcessTerminated;
        LogProgramEnd(kProcessTerminated, true);
    } else {
        run.exitCode = ExitCodeOf(process.get());
    }
    if (thread) {
        if (::WaitForSingleObject(thread.get(), kDrainAfterExitMs) != WAIT_OBJECT_0) {
            ::CancelSynchronousIo(thread.get());
            ::WaitForSingleObject(thread.get(), INFINITE);
        }
    } else {
        PipeReader::Run(&reader);  // no thread: read what the ended child left
    }
    if (waited != WAIT_OBJECT_0) return run;
    std::string bytes = reader.kept;
    const std::size_t nul = bytes.find('\0');
    if (nul != std::string::npos) bytes.resize(nul);
    run.output = ToWide(bytes);
    LogProgramOutput(run.output);
    return run;
}

}  // namespace cx
