// Starting another program from a command line and waiting for it. The runners raise nothing.
#pragma once

#include <cstdint>
#include <string>

#include "platform/run/program_end.h"

namespace cx {

// Exit code of a child that could not be started (or, for the capture, whose pipe could not be made).
constexpr std::int32_t kProcessStartFailed = -1;
// How much of the child's output the capture keeps.
constexpr std::size_t kCaptureLimit = 256;

// Runs `commandLine` (program path and arguments, quoted as the child expects) with the caller's
// environment and directory; waits up to `timeoutMs` (INFINITE waits without limit).
std::int32_t RunProcess(const std::wstring& commandLine, std::uint16_t showWindow, std::uint32_t timeoutMs);

struct CapturedRun {
    std::int32_t exitCode = kProcessStartFailed;
    // The first kCaptureLimit bytes of standard output and standard error, cut at a NUL, from the
    // ANSI code page.
    std::wstring output;
};

// Runs `commandLine` hidden, with standard output and standard error on one pipe, and waits for it.
CapturedRun RunProcessCapture(const std::wstring& commandLine);

}  // namespace cx
