#include "platform/process/process_runner.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "support/install_folder.h"

namespace cx {
namespace {

std::wstring Child(const std::wstring& args) { return L"\"" + cxtest::StandinPath(L"cx_child.exe") + L"\" " + args; }

TEST(RunProcess, PassesTheExitCodeThrough) {
    EXPECT_EQ(RunProcess(Child(L"--exit 7"), SW_HIDE, INFINITE), 7);
    EXPECT_EQ(RunProcess(Child(L"--exit -3"), SW_HIDE, INFINITE), -3);
    EXPECT_EQ(RunProcess(Child(L"--exit 2147483647"), SW_HIDE, INFINITE), kProcessTerminated);
}

TEST(RunProcess, AMissingProgramGivesMinusOne) {
    EXPECT_EQ(RunProcess(L"\"C:\\no such dir\\none.exe\" /x", SW_HIDE, INFINITE), kProcessStartFailed);
    const CapturedRun run = RunProcessCapture(L"\"C:\\no such dir\\none.exe\" /x");
    EXPECT_EQ(run.exitCode, kProcessStartFailed);
    EXPECT_EQ(run.output, L"");
}

TEST(RunProcess, AChildStillRunningAtTheTimeOutIsTerminated) {
    EXPECT_EQ(RunProcess(Child(L"--sleep 20000"), SW_HIDE, 200), kProcessTerminated);
}

TEST(RunProcessCapture, KeepsTheFirst256BytesOfEitherStream) {
    const CapturedRun run = RunProcessCapture(Child(L"--bytes 300 --chunk 7 --exit 3"));
    EXPECT_EQ(run.exitCode, 3);
    ASSERT_EQ(run.output.size(), 256u);
    EXPECT_EQ(run.output.substr(0, 3), L"abc");
    EXPECT_EQ(run.output[255], static_cast<wchar_t>(L'a' + 255 % 26));
    EXPECT_EQ(RunProcessCapture(Child(L"--bytes 5 --stderr")).output, L"abcde");
}

TEST(RunProcessCapture, SilentChildGivesEmptyOutput) {
    const CapturedRun run = RunProcessCapture(Child(L""));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, L"");
}

TEST(RunProcessCapture, ANulEndsTheOutput) {
    EXPECT_EQ(RunProcessCapture(Child(L"--bytes 40 --nul-at 4")).output, L"abcd");
}

TEST(RunProcessCapture, AChildWritingMegabytesDoesNotHang) {
    const CapturedRun run = RunProcessCapture(Child(L"--bytes 10485760 --exit 5"));
    EXPECT_EQ(run.exitCode, 5);
    EXPECT_EQ(run.output.size(), 256u);
}

// A background program that inherited the pipe outlives the child: once the child has ended, the
// capture waits out its grace for it and no longer, flooding or silent, and keeps what it read.
TEST(RunProcessCapture, AGrandchildHoldingThePipeCostsTheGraceAtMost) {
    constexpr ULONGLONG kGraceMs = 5000;
    constexpr ULONGLONG kSlackMs = 4000;
    struct Case {
        const wchar_t* grandchild;
        std::size_t kept;
    };
    // Both end by themselves, should the capture not let go of them: the silent one soon after the
    // grace, since whatever else inherited this program's handles waits for it too.
    for (const Case& c : {Case{L"--bytes 100000000000 --for-ms 30000", 256}, Case{L"--sleep 8000", 0}}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.grandchild)));
        const ULONGLONG start = ::GetTickCount64();
        const CapturedRun run =
            RunProcessCapture(Child(L"--exit 4 --spawn \"" + std::wstring(c.grandchild) + L"\""));
        EXPECT_LT(::GetTickCount64() - start, kGraceMs + kSlackMs);
        EXPECT_EQ(run.exitCode, 4);
        EXPECT_EQ(run.output.size(), c.kept);
    }
}

}  // namespace
}  // namespace cx
