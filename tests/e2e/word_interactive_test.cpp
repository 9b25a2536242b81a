// The Word add-in from the interactive prompt and beside other switches: the order of the main
// application's server registration around the add-in steps, and the result messages.
//
// The order is read from one journal that the main application, the add-in library and Word all write
// into (hard links to one file), so it is the order in which the events happened.
#include "e2e/word_fixture.h"

namespace {

using namespace wordtest;

const std::wstring kInstalled = L"MS Word Addin has been successfully installed";
const std::wstring kInstallFailed =
    L"MS Word Addin installation failed, please check that your MS Word version is Office2000 or higher";
const std::wstring kRestart =
    L"MS Word Addin installation succeed, you need to restart MS Word to activate addin";
const std::wstring kRemoved = L"MS Word Addin has been removed";

// Position of the first line that starts with `prefix`; the journal's size when there is none.
std::size_t Where(const std::vector<std::wstring>& lines, const std::wstring& prefix) {
    const auto it = std::find_if(lines.begin(), lines.end(),
                                 [&](const std::wstring& line) { return StartsWith(line, prefix); });
    return static_cast<std::size_t>(it - lines.begin());
}

class WordInteractive : public WordTest {
protected:
    WordInteractive() : WordTest(L"word interactive") {}

    void SetUp() override {
        WordTest::SetUp();
        Scenario({L"addin=CVWordAddin2.WordAddIn2", L"unknown_bar=null"});
        ShareJournal({L"Corvane.exe", L"CVWordAddin2.dll", L"WordStandin.exe"});
    }

    // The prompt, then at most one more box; returns the result message's text (empty for none).
    static std::wstring ResultMessage(const cxtest::RunResult& run) {
        EXPECT_GE(run.boxes.size(), 1u);
        EXPECT_LE(run.boxes.size(), 2u);
        if (run.boxes.size() != 2) return {};
        EXPECT_EQ(run.boxes[1].caption, L"Corvane2");
        EXPECT_EQ(run.boxes[1].ButtonIds(), std::vector<int>{IDOK});
        return run.boxes[1].text;
    }
};

TEST_F(WordInteractive, YesRegistersTheServerThenInstalls) {
    const auto run = Run(L"", Answer(IDYES));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(ResultMessage(run), kInstalled);
    const auto lines = SharedJournal();
    const std::size_t server = Where(lines, AppCall(L"regserver"));
    const std::size_t library = Where(lines, L"DllRegisterServer");
    const std::size_t word = Where(lines, L"start mode=embedding");
    const std::size_t connect = Where(lines, L"COMAddIn#1.Connect put VT_BOOL -1");
    ASSERT_LT(connect, lines.size());
    EXPECT_LT(server, library);
    EXPECT_LT(library, word);
    EXPECT_LT(word, connect);
}

TEST_F(WordInteractive, YesWithWordRunningAsksForARestart) {
    StartRunningWord();
    const auto run = Run(L"", Answer(IDYES));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(ResultMessage(run), kRestart);
    EXPECT_TRUE(Contains(SharedJournal(), L"COMAddIn#1.Connect put VT_BOOL -1"));
    EXPECT_TRUE(WaitForWordReleased());
}

TEST_F(WordInteractive, YesWithAnOldWordStillRegistersTheServerAndWarns) {
    SetWordVersion(L"Word.Application.8");
    const auto run = Run(L"", Answer(IDYES));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(ResultMessage(run), kInstallFailed);
    EXPECT_EQ(SharedJournal(), std::vector<std::wstring>{AppCall(L"regserver")});
}

TEST_F(WordInteractive, NoRemovesTheAddinBeforeUnregisteringTheServer) {
    cxtest::WriteDword(HKEY_CURRENT_USER, kAddinKey, L"Active", 1);
    const auto run = Run(L"", Answer(IDNO));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(ResultMessage(run), kRemoved);
    const auto lines = SharedJournal();
    const std::size_t disconnect = Where(lines, L"COMAddIn#1.Connect put VT_BOOL 0");
    const std::size_t library = Where(lines, L"DllUnregisterServer");
    const std::size_t server = Where(lines, AppCall(L"unregserver"));
    ASSERT_LT(server, lines.size());
    EXPECT_LT(disconnect, library);
    EXPECT_LT(library, server);
    EXPECT_EQ(Where(lines, AppCall(L"regserver")), lines.size());
}

TEST_F(WordInteractive, NoWithAnOldWordUnregistersTheServerWithoutAMessage) {
    SetWordVersion(L"Word.Application.8");
    const auto run = Run(L"", Answer(IDNO));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(ResultMessage(run), L"");
    EXPECT_EQ(SharedJournal(), std::vector<std::wstring>{AppCall(L"unregserver")});
}

TEST_F(WordInteractive, CancelDoesNothing) {
    const auto run = Run(L"", Answer(IDCANCEL));
    EXPECT_EQ(run.exitCode, kNothingDone);
    EXPECT_EQ(run.boxes.size(), 1u);
    EXPECT_TRUE(SharedJournal().empty());
}

TEST_F(WordInteractive, AnErrorShowsTheErrorBoxInsteadOfAResultMessage) {
    ASSERT_TRUE(::DeleteFileW(Path(L"CVWordAddin2.dll").c_str()));
    const auto run = Run(L"", Answer(IDYES));
    EXPECT_EQ(run.exitCode, kNothingDone);
    EXPECT_EQ(ResultMessage(run), NeedsLibraryText(32, Path(L"CVWordAddin2.dll")));
    EXPECT_EQ(SharedJournal(), std::vector<std::wstring>{AppCall(L"regserver")});
}

TEST_F(WordInteractive, TheVersionProbeGoesFirstWhateverTheOrder) {
    for (const wchar_t* args : {L"/wi /wv", L"/wv /wi", L"/WU -wv"}) {
        SCOPED_TRACE(Text(args));
        const auto run = Run(args);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_TRUE(run.boxes.empty());
    }
    EXPECT_TRUE(SharedJournal().empty());
}

TEST_F(WordInteractive, TheServerIsRegisteredBeforeTheInstallWhateverTheOrder) {
    for (const wchar_t* args : {L"/wi /ni", L"/ni /wi"}) {
        SCOPED_TRACE(Text(args));
        cxtest::WriteTextFile(Path(L"shared.journal"), L"");
        const auto run = Run(args);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_TRUE(run.boxes.empty());
        const auto lines = SharedJournal();
        const std::size_t library = Where(lines, L"DllRegisterServer");
        ASSERT_LT(library, lines.size());
        EXPECT_LT(Where(lines, AppCall(L"regserver")), library);
        ExpectStartedWordsEnded();
    }
}

}  // namespace
