// "ov", "oi" and "ou" as callers see them: where the package tool is found, the exact command lines it
// gets, and how its behaviour and a running Writer decide the exit code.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "e2e/writer_suite.h"

namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;
using writertest::WriterScene;

class WriterExtension : public ::testing::Test {
protected:
    std::wstring Tool() const { return WriterScene::SuitePath(L"unopkg.com"); }
    WriterScene scene_;
};

TEST_F(WriterExtension, ProbeLooksBesideTheExactSofficeExeOfTheSuitesServer) {
    EXPECT_EQ(scene_.Run(L"/ov").exitCode, 1) << "nothing registered";
    scene_.InstallSuite();
    EXPECT_EQ(scene_.Run(L"/ov").exitCode, 0);
    EXPECT_EQ(scene_.Run(L"-OV").exitCode, 0);

    const std::wstring suite = WriterScene::SuitePath(L"");
    const struct {
        std::wstring command;
        int expected;
    } cases[] = {
        {suite + L"soffice.exe", 0},
        {suite + L"soffice.exe -nodefault -nologo", 0},
        {suite + L"SOFFICE.EXE -nodefault", 1},
        {suite + L"Soffice.exe", 1},
        {L"\"" + suite + L"soffice.exe\" -nodefault", 1},
        // "\soffice.exe" at the first character: C:\unopkg.com exists, yet it is no package tool.
        {L"\\soffice.exe -nodefault", 1},
        {suite + L"soffice.bin", 1},
    };
    ASSERT_TRUE(::CopyFileW(Tool().c_str(), L"C:\\unopkg.com", FALSE));
    cxtest::RunOptions inRoot;
    inRoot.currentDir = L"C:\\";
    for (const auto& [command, expected] : cases) {
        SCOPED_TRACE(::testing::PrintToString(command));
        WriterScene::RegisterSuite(command);
        EXPECT_EQ(scene_.Run(L"/ov", inRoot).exitCode, expected);
    }
    ::DeleteFileW(L"C:\\unopkg.com");

    WriterScene::RegisterSuite(suite + L"soffice.exe -nodefault", REG_EXPAND_SZ);
    EXPECT_EQ(scene_.Run(L"/ov").exitCode, 0) << "an expandable string is read as it is";
    ::DeleteFileW(Tool().c_str());
    ::CreateDirectoryW(Tool().c_str(), nullptr);
    EXPECT_EQ(scene_.Run(L"/ov").exitCode, 1) << "a directory named unopkg.com";
    EXPECT_TRUE(WriterScene::ToolJournal().empty());
    EXPECT_FALSE(WriterScene::UserPath().has_value() &&
                 WriterScene::UserPath()->Text().find(scene_.DirEntry()) != std::wstring::npos);
}

TEST_F(WriterExtension, InstallAndRemovalRunThePackageToolWithTheirCommandLines) {
    scene_.InstallSuite();
    EXPECT_EQ(scene_.Run(L"/oi").exitCode, 0);
    EXPECT_EQ(scene_.Run(L"/ou").exitCode, 0);
    EXPECT_EQ(WriterScene::ToolCommandLines(), scene_.InstallAndRemoveCommands(Tool()));
}

TEST_F(WriterExtension, AnythingButASilentSuccessfulRunIsAFailure) {
    scene_.InstallSuite();
    const struct {
        const wchar_t* what;
        std::wstring output;
        int exitCode;
        int expected;
    } cases[] = {
        {L"silent success", L"", 0, 0},
        {L"a message on stdout", L"text=ERROR: extension is already installed", 0, 1},
        {L"a message on stderr", L"stream=stderr\ntext=x", 0, 1},
        {L"a message and exit 0 after a pause", L"text=done\nsleep_ms=300", 0, 1},
        {L"silent, exit 3", L"", 3, 1},
        {L"silent, exit -1", L"", -1, 1},
    };
    const std::wstring log = scene_.Folder().Path(L"run.log");
    for (const auto& [what, output, exitCode, expected] : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(what)));
        WriterScene::ToolOutput(output);
        WriterScene::ToolExitCode(exitCode);
        EXPECT_EQ(scene_.Run(L"/oi \"/lo" + log + L"\"").exitCode, expected);
        EXPECT_EQ(scene_.Run(L"/ou").exitCode, expected);
    }
    EXPECT_EQ(WriterScene::ToolCommandLines().size(), 2 * std::size(cases));
    EXPECT_EQ(cxtest::CountLinesWith(log, L"the package tool failed"), 5);
}

TEST_F(WriterExtension, APackageToolThatCannotStartOrIsMissingIsAFailure) {
    scene_.InstallSuite();
    // An empty file passes for the tool but cannot be started.
    cxtest::WriteTextFile(Tool(), L"");
    const std::wstring log = scene_.Folder().Path(L"run.log");
    EXPECT_EQ(scene_.Run(L"/oi \"/lo" + log + L"\"").exitCode, 1);
    EXPECT_EQ(scene_.Run(L"/ou").exitCode, 1);
    ::DeleteFileW(Tool().c_str());
    EXPECT_EQ(scene_.Run(L"/oi \"/lo" + log + L"\"").exitCode, 1);
    EXPECT_EQ(scene_.Run(L"/ou").exitCode, 1);
    EXPECT_EQ(cxtest::CountLinesWith(log, L"the package tool failed with exit code -1"), 1);
}

TEST_F(WriterExtension, AChattyPackageToolDoesNotHangTheRun) {
    scene_.InstallSuite();
    WriterScene::ToolOutput(L"bytes=10485760");
    cxtest::RunOptions options;
    options.timeoutMs = 30000;
    const auto run = scene_.Run(L"/oi", options);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(WriterScene::ToolJournal(), Contains(L"wrote 10485760 bytes to stdout"));
}

// The tool leaves a program behind that inherited its output and floods it (it stops by itself after a
// minute, or when the pipe breaks): "oi" ends within the capture's 5 s grace and a few seconds, and
// what that program wrote counts as the tool's output.
TEST_F(WriterExtension, ABackgroundProgramFloodingTheOutputDoesNotHoldTheRun) {
    scene_.InstallSuite();
    const std::wstring flood =
        L"\"" + cxtest::StandinPath(L"cx_child.exe") + L"\" --bytes 100000000000 --for-ms 60000";
    WriterScene::ToolOutput(L"start=" + flood);
    cxtest::RunOptions options;
    options.timeoutMs = 12000;
    const auto run = scene_.Run(L"/oi", options);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(WriterScene::ToolJournal(), Contains(L"started " + flood));
}

TEST_F(WriterExtension, WriterRunningWithATextDocumentGivesTwo) {
    scene_.InstallSuite();
    scene_.StartOffice(L"component=text\n");
    EXPECT_EQ(scene_.Run(L"/oi").exitCode, 2);
    EXPECT_EQ(scene_.Run(L"/ou").exitCode, 2);
    // A failing package tool is reported as such, Writer or not.
    WriterScene::ToolOutput(L"text=failed");
    EXPECT_EQ(scene_.Run(L"/oi").exitCode, 1);
    WriterScene::ToolOutput(L"");

    const struct {
        const wchar_t* component;
        bool asksForServices;
    } others[] = {{L"spreadsheet", true}, {L"none", false}, {L"null", false}, {L"number", false}};
    for (const auto& [component, asksForServices] : others) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(component)));
        WriterScene::OfficeScenario(std::wstring(L"component=") + component + L"\n");
        ::DeleteFileW(WriterScene::SuitePath(L"OfficeStandin.exe.journal").c_str());
        EXPECT_EQ(scene_.Run(L"/oi").exitCode, 0);
        const auto journal = WriterScene::OfficeJournal();
        EXPECT_THAT(journal, Contains(L"Desktop.GetCurrentComponent method|get"));
        if (asksForServices) {
            EXPECT_THAT(
                journal,
                Contains(HasSubstr(L".SupportsService method VT_BSTR \"com.sun.star.text.TextDocument\"")));
        } else {
            EXPECT_THAT(journal, Not(Contains(HasSubstr(L"SupportsService"))));
        }
    }
}

TEST_F(WriterExtension, TheToolReleasesTheSuitesObjects) {
    scene_.InstallSuite();
    scene_.StartOffice(L"component=text\n");
    EXPECT_EQ(scene_.Run(L"/oi").exitCode, 2);
    std::vector<std::wstring> journal;
    for (int i = 0; i < 100; ++i) {
        journal = WriterScene::OfficeJournal();
        if (!journal.empty() && journal.back().rfind(L"exit reason=", 0) == 0) break;
        ::Sleep(50);
    }
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(journal.back(), L"exit reason=released");
}

}  // namespace
