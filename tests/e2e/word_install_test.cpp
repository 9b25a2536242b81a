// Installing the Word add-in ("wi"): the library registers itself, then the add-in is connected in
// the running Word or in one started for the purpose; and every way this fails.
#include "e2e/word_fixture.h"

namespace {

using namespace wordtest;

const std::vector<std::wstring> kRegistered = {L"load", L"DllRegisterServer", L"unload"};

// The calls that find the add-in as the first of Word's COM add-ins.
std::vector<std::wstring> FindFirstAddin() {
    return {L"Application.COMAddIns method|get", L"COMAddIns.Count method|get",
            L"Application.COMAddIns method|get", L"COMAddIns.Item method VT_I4 1",
            L"COMAddIn#1.ProgId method|get"};
}

void Append(std::vector<std::wstring>& to, const std::vector<std::wstring>& lines) {
    to.insert(to.end(), lines.begin(), lines.end());
}

class WordInstall : public WordTest {
protected:
    WordInstall() : WordTest(L"word install") {}

    void ExpectErrorBox(const cxtest::RunResult& run, const std::wstring& text) const {
        EXPECT_EQ(run.exitCode, kNothingDone);
        ASSERT_EQ(run.boxes.size(), 1u);
        EXPECT_EQ(run.boxes[0].caption, L"Corvane2");
        EXPECT_EQ(run.boxes[0].text, text);
    }
};

TEST_F(WordInstall, ARunningHiddenWordIsMadeVisibleAndConnectedAndKeepsRunning) {
    Scenario({L"visible=0", L"addin=CVWordAddin2.WordAddIn2", L"bar=Corvane2 Toolbar:1"});
    StartRunningWord();
    const auto run = Run(L"/wi");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.boxes.empty());
    ExpectRegisteredAndLoadedByWord();

    std::vector<std::wstring> expected = {L"Application.Visible method|get",
                                          L"Application.Visible put VT_BOOL -1",
                                          L"Application.Visible put VT_BOOL -1"};
    Append(expected, FindFirstAddin());
    Append(expected, {L"Application.CommandBars method|get",
                      L"CommandBars.Item method|get VT_BSTR \"Corvane2 Toolbar\"",
                      L"CommandBar(Corvane2 Toolbar).Controls method|get", L"Controls.Count method|get",
                      L"CommandBar(Corvane2 Toolbar).Controls method|get",
                      L"Controls.Item method|get VT_I4 1", L"Control#1.Delete method VT_BOOL 0",
                      L"CommandBar(Corvane2 Toolbar).Delete method", L"Application.NormalTemplate method|get",
                      L"NormalTemplate.Save method", L"Application.COMAddIns method|get",
                      L"COMAddIns.Item method VT_I4 1", L"COMAddIn#1.Connect put VT_BOOL -1"});
    EXPECT_EQ(WordCalls(), expected);
    // The user's Word is not closed, and everything the tool got from it was released.
    EXPECT_FALSE(WordWasStartedByCom());
    EXPECT_TRUE(WaitForWordReleased());
}

TEST_F(WordInstall, WithoutARunningWordOneIsStartedCleanedUpAndQuit) {
    Scenario({L"addin=Other.AddIn", L"addin=CVWordAddin2.WordAddIn2", L"bar=Standard:2",
              L"bar=Corvane2 Toolbar:5"});
    const auto run = Run(L"/wi");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.boxes.empty());
    ExpectRegisteredAndLoadedByWord();
    EXPECT_TRUE(WordWasStartedByCom());

    // No Visible: a Word started this way stays invisible.
    std::vector<std::wstring> expected = {kAlertsOff};
    Append(expected, FindFirstAddin());
    Append(expected, {L"Application.COMAddIns method|get", L"COMAddIns.Item method VT_I4 2",
                      L"COMAddIn#2.ProgId method|get", L"Application.CommandBars method|get",
                      L"CommandBars.Item method|get VT_BSTR \"Corvane2 Toolbar\"",
                      L"CommandBar(Corvane2 Toolbar).Controls method|get", L"Controls.Count method|get"});
    for (int k = 5; k >= 1; --k) {
        const std::wstring n = std::to_wstring(k);
        Append(expected,
               {L"CommandBar(Corvane2 Toolbar).Controls method|get", L"Controls.Item method|get VT_I4 " + n,
                L"Control#" + n + L".Delete method VT_BOOL 0"});
    }
    // Word reads what its members received: the index 2, SaveChanges 0 and the other two left out.
    Append(expected, {L"CommandBar(Corvane2 Toolbar).Delete method", L"Application.NormalTemplate method|get",
                      L"NormalTemplate.Save method", L"Application.COMAddIns method|get",
                      L"COMAddIns.Item method VT_I4 2", L"COMAddIn#2.Connect put VT_BOOL -1", kQuitCall});
    EXPECT_EQ(WordCalls(), expected);
    ExpectStartedWordsEnded();
    EXPECT_EQ(WordJournal().back(), L"exit reason=quit");
}

TEST_F(WordInstall, AWordRunningOutOfReachIsToldToRestart) {
    // Started by the user without elevation: the elevated tool does not find it in the running object
    // table, connects the add-in in a Word of its own, and says that Word must be restarted.
    Scenario({L"addin=CVWordAddin2.WordAddIn2", L"unknown_bar=null"});
    StartUnreachableWord();
    const auto run = Run(L"/wi");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.boxes.empty());
    ExpectRegisteredAndLoadedByWord();
    EXPECT_TRUE(WordWasStartedByCom());
    EXPECT_EQ(WordCalls().back(), kQuitCall);
    EXPECT_EQ(cxtest::ReadLines(Path(L"WINWORD.EXE.journal")).size(), 2u)
        << "the unreachable Word was called";
}

TEST_F(WordInstall, ARunningWordThatCannotBeMadeVisibleEndsTheInstall) {
    Scenario({L"visible=1", L"addin=CVWordAddin2.WordAddIn2", L"fail=Visible put:Word is busy."});
    StartRunningWord();
    ExpectErrorBox(Run(L"/wi"), L"Word is busy");
    EXPECT_EQ(AddinJournal(), kRegistered);
    EXPECT_EQ(WordCalls(), (std::vector<std::wstring>{
                               L"Application.Visible method|get", L"Application.Visible put VT_BOOL -1",
                               L"Application.Visible -> exception 0x80004005 \"Word is busy.\""}));
}

TEST_F(WordInstall, AWordThatCannotBeStartedStillLeavesTheLibraryRegistered) {
    MakeWordNotCreatable();
    const auto run = Run(L"/wi");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(AddinJournal(), kRegistered);
}

TEST_F(WordInstall, AWordOlderThanVersion9IsLeftAlone) {
    SetWordVersion(L"Word.Application.8");
    cxtest::WriteDword(HKEY_CURRENT_USER, kAddinKey, L"Active", 1);
    const auto keyBefore = cxtest::ExportTree(HKEY_CURRENT_USER, kAddinKey);
    StartRunningWord();
    for (const wchar_t* args : {L"/wi", L"/wu"}) {
        SCOPED_TRACE(Text(args));
        const auto run = Run(args);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.boxes.empty());
    }
    EXPECT_TRUE(AddinJournal().empty());
    EXPECT_TRUE(WordCalls().empty());
    EXPECT_EQ(cxtest::ExportTree(HKEY_CURRENT_USER, kAddinKey), keyBefore);
}

TEST_F(WordInstall, AMissingLibraryIsReportedByNameAndWordIsNotTouched) {
    ASSERT_TRUE(::DeleteFileW(Path(L"CVWordAddin2.dll").c_str()));
    StartRunningWord();
    ExpectErrorBox(Run(L"/wi"), NeedsLibraryText(32, Path(L"CVWordAddin2.dll")));
    EXPECT_TRUE(WordCalls().empty());
}

TEST_F(WordInstall, ALibraryWithoutTheEntryPointGivesTheSystemError) {
    folder_.AddStandin(L"CVWordAddin2_noentry.dll", L"CVWordAddin2.dll");
    const std::wstring text = L"System Error.  Code: 127.\r\n" + SystemText(ERROR_PROC_NOT_FOUND);
    ExpectErrorBox(Run(L"/wi"), text);
    ExpectErrorBox(Run(L"/wu"), text);
    // Loaded and freed each time; no Word was reached.
    EXPECT_EQ(AddinJournal(), (std::vector<std::wstring>{L"load", L"unload", L"load", L"unload"}));
    EXPECT_FALSE(WordWasStartedByCom());
}

TEST_F(WordInstall, AFailingRegistrationGivesTheTextOfItsResult) {
    // 0x8004C0DE has no system text anywhere.
    ASSERT_EQ(OleErrorText(static_cast<HRESULT>(0x8004C0DE)), L"OLE error 8004c0de");
    for (const HRESULT hr : {E_FAIL, static_cast<HRESULT>(0x8004C0DE)}) {
        SCOPED_TRACE(hr);
        cxtest::DeleteFileIfPresent(Path(L"CVWordAddin2.dll.journal"));
        cxtest::WriteTextFile(Path(L"CVWordAddin2.dll.hresult"), std::to_wstring(static_cast<long>(hr)));
        ExpectErrorBox(Run(L"/wi"), OleErrorText(hr));
        EXPECT_EQ(AddinJournal(), kRegistered);
        ExpectErrorBox(Run(L"/wu"), OleErrorText(hr));
    }
    EXPECT_FALSE(WordWasStartedByCom());
}

TEST_F(WordInstall, AFailingAddinListEndsTheInstallWithWordsOwnWords) {
    struct Case {
        const wchar_t* rule;
        std::wstring text;
    };
    const Case cases[] = {
        // Trailing blanks and punctuation are not part of the message.
        {L"fail=COMAddIns:Word cannot list its add-ins. ", L"Word cannot list its add-ins"},
        // No description: the text for the code.
        {L"fail=COMAddIns@0x8004C0DE:", L"OLE error 8004c0de"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Text(c.rule));
        cxtest::DeleteFileIfPresent(Path(L"CVWordAddin2.dll.journal"));
        cxtest::DeleteFileIfPresent(Path(L"WordStandin.exe.journal"));
        Scenario({L"addin=CVWordAddin2.WordAddIn2", c.rule});
        ExpectErrorBox(Run(L"/wi"), c.text);
        // The library stays registered, and the Word started for the install is told to quit all the
        // same: nothing hidden is left behind.
        EXPECT_EQ(AddinJournal(), kRegistered);
        const auto calls = WordCalls();
        ASSERT_EQ(calls.size(), 4u);
        EXPECT_EQ(calls[0], kAlertsOff);
        EXPECT_EQ(calls[1], L"Application.COMAddIns method|get");
        EXPECT_EQ(calls[3], kQuitCall);
        ExpectStartedWordsEnded();
        EXPECT_TRUE(cxtest::ProcessIdsNamed(L"WordStandin.exe").empty());
    }
}

}  // namespace
