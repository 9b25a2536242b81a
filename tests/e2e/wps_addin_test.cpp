// "pi" and "pu": the WPS add-in key under HKEY_LOCAL_MACHINE.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "support/install_folder.h"
#include "support/registry_probe.h"
#include "support/tool_process.h"

namespace {

const HKEY kMachine = HKEY_LOCAL_MACHINE;
const std::wstring kKingsoft = L"SOFTWARE\\Kingsoft";
const std::wstring kAddins = kKingsoft + L"\\Office\\WPS\\Addins";
const std::wstring kAddin = kAddins + L"\\CVWPSAddin2.TCVWPSAddin2";

class WpsAddinTest : public ::testing::Test {
protected:
    WpsAddinTest() { cxtest::DeleteTree(kMachine, kKingsoft); }
    ~WpsAddinTest() override { cxtest::DeleteTree(kMachine, kKingsoft); }

    static cxtest::RunResult Run(const std::wstring& args) {
        return cxtest::RunProgram(cxtest::ToolExePath(), args);
    }

    // The add-in key's values as "name type data" lines.
    static std::vector<std::wstring> AddinValues() {
        std::vector<std::wstring> lines = cxtest::ExportTree(kMachine, kAddin);
        if (!lines.empty()) lines.erase(lines.begin());  // the key's own line
        return lines;
    }
};

// Export lines of the values "pi" writes: "" REG_SZ empty, two DWORDs and the friendly name.
std::vector<std::wstring> ExpectedValues() {
    const std::wstring key = L"[" + kAddin + L"] ";
    return {key + L"\"\" type 1 0000", key + L"\"CommandLineSafe\" type 4 01000000",
            key + L"\"FriendlyName\" type 1 54004300560057005000530041006400640069006e0032000000",
            key + L"\"LoadBehavior\" type 4 03000000"};
}

TEST_F(WpsAddinTest, PiWritesTheFourValuesAndAgainTheSame) {
    const auto first = Run(L"/pi");
    EXPECT_EQ(first.exitCode, 0);
    EXPECT_TRUE(first.boxes.empty());
    EXPECT_EQ(AddinValues(), ExpectedValues());
    EXPECT_EQ(Run(L"-PI").exitCode, 0);
    EXPECT_EQ(AddinValues(), ExpectedValues());
}

TEST_F(WpsAddinTest, PiOverwritesItsValuesAndKeepsForeignOnes) {
    cxtest::WriteString(kMachine, kAddin, L"", L"old default");
    cxtest::WriteDword(kMachine, kAddin, L"LoadBehavior", 0);
    cxtest::WriteString(kMachine, kAddin, L"FriendlyName", L"Old name");
    cxtest::WriteString(kMachine, kAddin, L"Description", L"kept");
    cxtest::CreateKey(kMachine, kAddin + L"\\Sub");
    EXPECT_EQ(Run(L"/pi").exitCode, 0);
    EXPECT_EQ(cxtest::ReadString(kMachine, kAddin, L""), L"");
    EXPECT_EQ(cxtest::ReadDword(kMachine, kAddin, L"LoadBehavior"), 3u);
    EXPECT_EQ(cxtest::ReadString(kMachine, kAddin, L"FriendlyName"), L"TCVWPSAddin2");
    EXPECT_EQ(cxtest::ReadString(kMachine, kAddin, L"Description"), L"kept");
    EXPECT_TRUE(cxtest::KeyExists(kMachine, kAddin + L"\\Sub"));
}

TEST_F(WpsAddinTest, PiThatCannotWriteIsOneWithoutABox) {
    cxtest::CreateKey(kMachine, kAddin);
    // Deny setting values on the add-in key: the first value write fails.
    cxtest::SetKeyDacl(kMachine, kAddin, L"D:(D;;0x2;;;WD)(A;;KA;;;WD)");

    const auto run = Run(L"/pi");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(AddinValues(), std::vector<std::wstring>{});
}

TEST_F(WpsAddinTest, PuRemovesTheKeyThenHasNothingToRemove) {
    ASSERT_EQ(Run(L"/pi").exitCode, 0);
    const auto run = Run(L"/pu");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_FALSE(cxtest::KeyExists(kMachine, kAddin));
    EXPECT_TRUE(cxtest::KeyExists(kMachine, kAddins));
    EXPECT_EQ(Run(L"/pu").exitCode, 1);
}

TEST_F(WpsAddinTest, PuRemovesSubKeysAndLeavesSiblings) {
    for (const wchar_t* sub : {L"\\a\\b\\c", L"\\a\\d", L"\\e"})
        cxtest::WriteDword(kMachine, kAddin + sub, L"v", 1);
    cxtest::CreateKey(kMachine, kAddins + L"\\Other.Addin");
    EXPECT_EQ(Run(L"/pu").exitCode, 0);
    EXPECT_FALSE(cxtest::KeyExists(kMachine, kAddin));
    EXPECT_EQ(cxtest::SubKeys(kMachine, kAddins), std::vector<std::wstring>{L"Other.Addin"});
}

TEST_F(WpsAddinTest, PiThenPuLeavesOnlyTheParentKeys) {
    const auto userBefore = cxtest::ExportTree(HKEY_CURRENT_USER, L"Software");
    ASSERT_EQ(Run(L"/pi").exitCode, 0);
    ASSERT_EQ(Run(L"/pu").exitCode, 0);
    std::vector<std::wstring> parents = {L"[" + kKingsoft + L"]", L"[" + kKingsoft + L"\\Office]",
                                         L"[" + kKingsoft + L"\\Office\\WPS]", L"[" + kAddins + L"]"};
    std::sort(parents.begin(), parents.end());  // ExportTree's order
    EXPECT_EQ(cxtest::ExportTree(kMachine, kKingsoft), parents);
    EXPECT_EQ(cxtest::ExportTree(HKEY_CURRENT_USER, L"Software"), userBefore);
}

}  // namespace
