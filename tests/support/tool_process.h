// Runs a Windows program from a test and answers the message boxes it shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/message_box_driver.h"

namespace cxtest {

struct RunOptions {
    // Environment changes for the child: a value, or nullopt to remove the variable. LANG is "C"
    // unless changed here.
    std::vector<std::pair<std::wstring, std::optional<std::wstring>>> env;
    std::wstring currentDir;
    DWORD timeoutMs = 60000;
    // Called for each box the program shows; returns the button to press. Without it every box is
    // recorded and dismissed with its first button.
    std::function<int(const BoxInfo&)> onBox;
};

struct RunResult {
    std::int32_t exitCode = 0;
    bool timedOut = false;
    std::vector<BoxInfo> boxes;
};

// Starts `exe` with `arguments` (the command line is the quoted exe, a blank, then `arguments` as
// given) and waits for it, answering its boxes.
RunResult RunProgram(const std::wstring& exe, const std::wstring& arguments, const RunOptions& options = {});

// Starts `commandLine` without waiting for it: the process handle, which the caller closes, or null
// after recording a test failure. `pid` receives the process identifier when given.
HANDLE StartProgram(const std::wstring& commandLine, DWORD* pid = nullptr);

// Identifiers of the running processes whose executable is named `exeName` (any letter case).
std::vector<DWORD> ProcessIdsNamed(const std::wstring& exeName);

// The raw form, when a test must control the whole command line.
RunResult RunCommandLine(const std::wstring& commandLine, const RunOptions& options = {});

}  // namespace cxtest
