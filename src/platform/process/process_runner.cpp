#include "platform/process/process_runner.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/handles.h"
#include "platform/run/run_deadline.h"
#include "platform/run/run_log.h"
#include "platform/text/win_text.h"

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
// for a reader; keeps only the first kCaptureLimit bytes. The runner and the reader's thread share it,
// each holding a reference, so that a reader the runner stops waiting for touches nothing freed.
struct PipeReader {
    UniqueHandle pipe;
    // Set by the runner: the reader ends after its current read, whatever the pipe still holds.
    std::atomic<bool> stop{false};
    char kept[kCaptureLimit];
    // Bytes below this count are final; the runner may take them while the reader goes on.
    std::atomic<std::size_t> keptSize{0};

    static DWORD WINAPI Run(void* param) {
        const std::unique_ptr<std::shared_ptr<PipeReader>> self(
            static_cast<std::shared_ptr<PipeReader>*>(param));
        PipeReader& reader = **self;
        char chunk[4096];
        DWORD got = 0;
        while (!reader.stop && ::ReadFile(reader.pipe.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) {
            const std::size_t size = reader.keptSize.load(std::memory_order_relaxed);
            const std::size_t take = std::min<std::size_t>(got, kCaptureLimit - size);
            std::memcpy(reader.kept + size, chunk, take);
            reader.keptSize.store(size + take, std::memory_order_release);
        }
        return 0;
    }

    std::string Kept() const { return std::string(kept, keptSize.load(std::memory_order_acquire)); }
};

// A grandchild that inherited the write end can keep the pipe open after the child ended, silent or
// writing without end: the reader is given this long to reach the end of the output...
constexpr DWORD kDrainAfterExitMs = 5000;
// ...and then this long to stop, after which the run goes on without it.
constexpr DWORD kStopReaderMs = 1000;

// Ends the reader within kDrainAfterExitMs + kStopReaderMs. A cancel reaches only a read pending at
// that instant, so the stop flag and repeated cancels together end a reader that is between reads, in
// a read, or about to start one.
void EndReader(HANDLE thread, PipeReader& reader) {
    if (::WaitForSingleObject(thread, kDrainAfterExitMs) == WAIT_OBJECT_0) return;
    reader.stop = true;
    const ULONGLONG deadline = ::GetTickCount64() + kStopReaderMs;
    do {
        ::CancelSynchronousIo(thread);
    } while (::WaitForSingleObject(thread, 20) == WAIT_TIMEOUT && ::GetTickCount64() < deadline);
}

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
    const auto reader = std::make_shared<PipeReader>();
    UniqueHandle writeEnd;
    if (!::CreatePipe(reader->pipe.put(), writeEnd.put(), &inheritable, 0)) return run;
    // The child needs only the write end; an inherited read end would keep the pipe from breaking.
    ::SetHandleInformation(reader->pipe.get(), HANDLE_FLAG_INHERIT, 0);
    // The reader starts first: without one, a child that fills the pipe would wait for ever.
    auto* threadShare = new std::shared_ptr<PipeReader>(reader);
    const UniqueHandle thread(::CreateThread(nullptr, 0, &PipeReader::Run, threadShare, 0, nullptr));
    if (!thread) {
        delete threadShare;
        return run;
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = writeEnd.get();
    UniqueHandle process;
    // Either way the write end goes, which ends the reader once the child's copies are gone too.
    if (!StartProcess(commandLine, startup, process)) return run;

    const DWORD waited = WaitForProgram(process.get(), commandLine, INFINITE);
    writeEnd.reset();
    if (waited != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), static_cast<UINT>(kProcessTerminated));
        run.exitCode = kProcessTerminated;
        LogProgramEnd(kProcessTerminated, true);
    } else {
        run.exitCode = ExitCodeOf(process.get());
    }
    EndReader(thread.get(), *reader);
    if (waited != WAIT_OBJECT_0) return run;
    std::string bytes = reader->Kept();
    const std::size_t nul = bytes.find('\0');
    if (nul != std::string::npos) bytes.resize(nul);
    run.output = ToWide(bytes);
    LogProgramOutput(run.output);
    return run;
}

}  // namespace cx
