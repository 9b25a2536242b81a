// The driver as callers see it: switch order, quoting, the interactive prompt, and the main
// application's registration from a folder with blanks.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/install_folder.h"
#include "support/text_file.h"
#include "support/tool_process.h"

namespace {

using cxtest::InstallFolder;
using cxtest::ReadLines;
using cxtest::RunProgram;

constexpr std::int32_t kNothingDone = -2;

class DriverTest : public ::testing::Test {
protected:
    DriverTest() : folder_(L"driver") { folder_.AddStandin(L"Corvane.exe"); }

    std::vector<std::wstring> AppJournal() const { return ReadLines(folder_.Path(L"Corvane.exe.journal")); }
    std::wstring AppCall(const std::wstring& word) const {
        return L"\"" + folder_.Path(L"Corvane.exe") + L"\" /" + word;
    }
    cxtest::RunResult Run(const std::wstring& args) const { return RunProgram(folder_.Tool(), args); }

    InstallFolder folder_;
};

TEST_F(DriverTest, NiAndNuStartTheMainApplicationWithItsQuotedPath) {
    const auto reg = Run(L"/ni");
    EXPECT_EQ(reg.exitCode, kNothingDone);
    EXPECT_TRUE(reg.boxes.empty());
    const auto unreg = Run(L"/nu");
    EXPECT_EQ(unreg.exitCode, kNothingDone);
    EXPECT_EQ(AppJournal(), (std::vector<std::wstring>{AppCall(L"regserver"), AppCall(L"unregserver")}));
}

TEST_F(DriverTest, NiWinsOverNuWhateverTheOrder) {
    EXPECT_EQ(Run(L"/nu /ni").exitCode, kNothingDone);
    EXPECT_EQ(AppJournal(), std::vector<std::wstring>{AppCall(L"regserver")});
}

TEST_F(DriverTest, SwitchesIgnoreCaseAndAcceptHyphenAndQuotes) {
    EXPECT_EQ(Run(L"-NI").exitCode, kNothingDone);
    EXPECT_EQ(Run(L"\"/nU\"").exitCode, kNothingDone);
    EXPECT_EQ(AppJournal(), (std::vector<std::wstring>{AppCall(L"regserver"), AppCall(L"unregserver")}));
}

TEST_F(DriverTest, AnythingElseDoesNothingAndShowsNothing) {
    for (const wchar_t* args : {L"ni", L"/nix", L"/zz", L"\\ni", L"/n", L"/ei", L"--ni"}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(args)));
        const auto run = Run(args);
        EXPECT_EQ(run.exitCode, kNothingDone);
        EXPECT_TRUE(run.boxes.empty());
    }
    EXPECT_TRUE(AppJournal().empty());
}

TEST_F(DriverTest, TheMainApplicationsResultDoesNotChangeTheExitCode) {
    cxtest::WriteTextFile(folder_.Path(L"Corvane.exe.exitcode"), L"5");
    EXPECT_EQ(Run(L"/ni").exitCode, kNothingDone);
    EXPECT_EQ(AppJournal().size(), 1u);
    ::DeleteFileW(folder_.Path(L"Corvane.exe").c_str());
    const auto missing = Run(L"/ni");
    EXPECT_EQ(missing.exitCode, kNothingDone);
    EXPECT_TRUE(missing.boxes.empty());
}

TEST_F(DriverTest, NoParametersAsksAndCancelDoesNothing) {
    // Only an empty quoted argument: not a parameter, so the prompt appears.
    for (const wchar_t* args : {L"", L"\"\""}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(args)));
        cxtest::RunOptions options;
        options.onBox = [](const cxtest::BoxInfo&) { return IDCANCEL; };
        const auto run = RunProgram(folder_.Tool(), args, options);
        EXPECT_EQ(run.exitCode, kNothingDone);
        ASSERT_EQ(run.boxes.size(), 1u);
        EXPECT_EQ(run.boxes[0].caption, L"Corvane2");
        EXPECT_EQ(run.boxes[0].text,
                  L"Click \"Yes\" to install Corvane2 addin for MS Word,\r\n"
                  L"Click \"No\" to uninstall Corvane2 addin for MS Word");
        EXPECT_EQ(run.boxes[0].ButtonIds(), (std::vector<int>{IDYES, IDNO, IDCANCEL}));
    }
    EXPECT_TRUE(AppJournal().empty());
}

}  // namespace
