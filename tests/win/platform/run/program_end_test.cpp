// Ending a program the run started: asked to close first when it has a window, terminated when it does
// not close, left alone when it has ended.
#include "platform/run/program_end.h"

#include <gtest/gtest.h>

#include "support/install_folder.h"
#include "support/tool_process.h"

namespace cx {
namespace {

struct WindowSearch {
    DWORD pid;
    bool found = false;
};

BOOL CALLBACK CheckOwner(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    search->found = search->found || owner == search->pid;
    return TRUE;
}

bool HasWindow(DWORD pid) {
    WindowSearch search{pid};
    ::EnumWindows(&CheckOwner, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST(ProgramEnd, AProgramIsAskedToCloseAndTerminatedOnlyWhenItDoesNot) {
    const struct {
        const wchar_t* args;
        ProgramEnd end;
        DWORD exitCode;
    } cases[] = {
        {L"--window --sleep 30000", ProgramEnd::Closed, 0x57},
        {L"--sleep 30000", ProgramEnd::Terminated, static_cast<DWORD>(kProcessTerminated)},
        {L"--exit 3", ProgramEnd::AlreadyEnded, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.args)));
        DWORD pid = 0;
        const HANDLE process =
            cxtest::StartProgram(L"\"" + cxtest::StandinPath(L"cx_child.exe") + L"\" " + c.args, &pid);
        ASSERT_TRUE(process);
        if (c.end == ProgramEnd::AlreadyEnded) ::WaitForSingleObject(process, 10000);
        for (int i = 0; i < 500 && c.end == ProgramEnd::Closed && !HasWindow(pid); ++i) ::Sleep(20);
        EXPECT_EQ(CloseOrTerminate(process, pid, 10000), c.end);
        EXPECT_EQ(::WaitForSingleObject(process, 0), static_cast<DWORD>(WAIT_OBJECT_0));
        DWORD exitCode = 0;
        ::GetExitCodeProcess(process, &exitCode);
        EXPECT_EQ(exitCode, c.exitCode);
        ::CloseHandle(process);
    }
}

}  // namespace
}  // namespace cx
