// "wv" and "pv": the version registrations of Word and WPS as the tool reads them, with the user
// locale's decimal separator.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "support/install_folder.h"
#include "support/registry_probe.h"
#include "support/text_file.h"
#include "support/tool_process.h"

namespace {

constexpr std::int32_t kNothingDone = -2;
const HKEY kClasses = HKEY_CLASSES_ROOT;
const std::wstring kInternational = L"Control Panel\\International";

class VersionProbeTest : public ::testing::Test {
protected:
    VersionProbeTest()
        : folder_(L"version"),
          word_(kClasses, L"Word.Application"),
          wps_(kClasses, L"WPS.Application"),
          decimal_(cxtest::ReadString(HKEY_CURRENT_USER, kInternational, L"sDecimal")) {
        folder_.AddStandin(L"Corvane.exe");
        SetDecimalSeparator(L".");
    }
    ~VersionProbeTest() override {
        if (decimal_) SetDecimalSeparator(*decimal_);
    }

    static void SetDecimalSeparator(const std::wstring& separator) {
        cxtest::WriteString(HKEY_CURRENT_USER, kInternational, L"sDecimal", separator);
    }
    // The program's "CurVer" default value; nullopt removes the program's key altogether.
    static void SetCurVer(const std::wstring& progId, const std::optional<std::wstring>& value) {
        cxtest::DeleteTree(kClasses, progId);
        if (value) cxtest::WriteString(kClasses, progId + L"\\CurVer", L"", *value);
    }
    cxtest::RunResult Run(const std::wstring& args) const { return cxtest::RunProgram(folder_.Tool(), args); }
    // Runs and expects no message box.
    std::int32_t ExitCode(const std::wstring& args) const {
        const auto run = Run(args);
        EXPECT_TRUE(run.boxes.empty()) << "first box: " << ::testing::PrintToString(run.boxes.front().text);
        return run.exitCode;
    }

    cxtest::InstallFolder folder_;

private:
    cxtest::SavedTree word_;
    cxtest::SavedTree wps_;
    std::optional<std::wstring> decimal_;
};

struct VersionCase {
    const wchar_t* curVer;
    std::int32_t exitCode;
};

TEST_F(VersionProbeTest, WvIsZeroForWord9AndLater) {
    const VersionCase cases[] = {
        {L"Word.Application.8", 1},
        {L"Word.Application.9", 0},
        {L"Word.Application.12", 0},
        {L"Word.Application.16", 0},
        // 16 and 17 characters: nothing left to read.
        {L"Word.Application", 1},
        {L"Word.Application.", 1},
        // Ties round to the even neighbour: 8.5 is 8, 8.6 is 9.
        {L"Word.Application.8.5", 1},
        {L"Word.Application.8.6", 0},
        // The first 17 characters are dropped unread.
        {L"Xxxx.Yyyyyyyyyyy!9", 0},
        {L"Word.Application. 9 ", 0},
    };
    for (const VersionCase& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.curVer)));
        SetCurVer(L"Word.Application", c.curVer);
        EXPECT_EQ(ExitCode(L"/wv"), c.exitCode);
    }
}

TEST_F(VersionProbeTest, PvIsZeroForWps6AndLater) {
    const VersionCase cases[] = {
        {L"WPS.Application.5", 1},
        {L"WPS.Application.6", 0},
        {L"WPS.Application.8", 0},
        {L"WPS.Application", 1},
        {L"WPS.Application.", 1},
        // 5.5 rounds to the even 6, 6.5 to 6 as well.
        {L"WPS.Application.5.5", 0},
        {L"WPS.Application.4.5", 1},
    };
    for (const VersionCase& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.curVer)));
        SetCurVer(L"WPS.Application", c.curVer);
        EXPECT_EQ(ExitCode(L"-PV"), c.exitCode);
    }
}

TEST_F(VersionProbeTest, NoUsableRegistrationIsOne) {
    SetCurVer(L"Word.Application", std::nullopt);
    SetCurVer(L"WPS.Application", std::nullopt);
    EXPECT_EQ(ExitCode(L"/wv"), 1);
    EXPECT_EQ(ExitCode(L"/pv"), 1);
    // The program key without "CurVer", then "CurVer" without a default value.
    cxtest::CreateKey(kClasses, L"Word.Application");
    cxtest::CreateKey(kClasses, L"WPS.Application");
    EXPECT_EQ(ExitCode(L"/wv"), 1);
    EXPECT_EQ(ExitCode(L"/pv"), 1);
    cxtest::WriteString(kClasses, L"Word.Application\\CurVer", L"other", L"Word.Application.16");
    cxtest::WriteString(kClasses, L"WPS.Application\\CurVer", L"other", L"WPS.Application.8");
    EXPECT_EQ(ExitCode(L"/wv"), 1);
    EXPECT_EQ(ExitCode(L"/pv"), 1);
}

TEST_F(VersionProbeTest, ANonStringCurVerIsAnErrorBox) {
    SetCurVer(L"Word.Application", std::nullopt);
    SetCurVer(L"WPS.Application", std::nullopt);
    cxtest::WriteDword(kClasses, L"Word.Application\\CurVer", L"", 16);
    cxtest::WriteDword(kClasses, L"WPS.Application\\CurVer", L"", 8);
    for (const wchar_t* args : {L"/wv", L"/pv"}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(args)));
        const auto run = Run(args);
        EXPECT_EQ(run.exitCode, kNothingDone);
        ASSERT_EQ(run.boxes.size(), 1u);
        EXPECT_EQ(run.boxes[0].caption, L"Corvane2");
        EXPECT_EQ(run.boxes[0].text, L"Invalid data type for ''");
    }
}

TEST_F(VersionProbeTest, TheUserLocalesDecimalSeparatorIsUsed) {
    SetCurVer(L"Word.Application", L"Word.Application.11.0");
    SetCurVer(L"WPS.Application", L"WPS.Application.8,4");
    EXPECT_EQ(ExitCode(L"/wv"), 0);

    SetDecimalSeparator(L",");
    const auto word = Run(L"/wv");
    EXPECT_EQ(word.exitCode, kNothingDone);
    ASSERT_EQ(word.boxes.size(), 1u);
    EXPECT_EQ(word.boxes[0].text, L"'11.0' is not a valid floating point value");
    // The same separator makes a comma version readable: 8,4 is 8.
    EXPECT_EQ(ExitCode(L"/pv"), 0);
    SetCurVer(L"WPS.Application", L"WPS.Application.5,4");
    EXPECT_EQ(ExitCode(L"/pv"), 1);
}

TEST_F(VersionProbeTest, ProbesAreTestedFirstAndEndTheRun) {
    SetCurVer(L"Word.Application", L"Word.Application.8");
    SetCurVer(L"WPS.Application", L"WPS.Application.6");
    // "wv" comes before "pv" whatever the command line's order, and both before "ni".
    EXPECT_EQ(ExitCode(L"/ni /pv /wv"), 1);
    EXPECT_EQ(ExitCode(L"/nu /pv"), 0);
    EXPECT_TRUE(cxtest::ReadLines(folder_.Path(L"Corvane.exe.journal")).empty());
}

}  // namespace
