// Removing the Word add-in ("wu"): an active add-in is marked inactive and disconnected in Word, where
// every failure is absorbed; then the library unregisters itself.
#include "e2e/word_fixture.h"

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

namespace {

using namespace wordtest;

const std::vector<std::wstring> kUnregistered = {L"load", L"DllUnregisterServer", L"unload"};

class WordUninstall : public WordTest {
protected:
    WordUninstall() : WordTest(L"word uninstall") {}

    void ExpectRemoved(const cxtest::RunResult& run) const {
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_TRUE(run.boxes.empty());
        EXPECT_EQ(AddinJournal(), kUnregistered);
    }
    void ExpectMarkedInactive() const {
        EXPECT_EQ(cxtest::ReadDword(HKEY_CURRENT_USER, kAddinKey, L"Active"),
                  std::optional<std::uint32_t>(0));
        const auto byDefault = cxtest::ReadValue(HKEY_CURRENT_USER, kAddinKey, L"");
        ASSERT_TRUE(byDefault);
        EXPECT_EQ(byDefault->type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(byDefault->Text(), L"");
    }
};

TEST_F(WordUninstall, AnAddinThatIsNotActiveLeavesWordAndTheKeyAlone) {
    Scenario({L"addin=CVWordAddin2.WordAddIn2;connected", L"unknown_bar=null"});
    StartRunningWord();
    const std::function<void()> states[] = {
        [] {},  // no key
        [] { cxtest::WriteString(HKEY_CURRENT_USER, kAddinKey, L"", L"x"); },
        [] { cxtest::WriteDword(HKEY_CURRENT_USER, kAddinKey, L"Active", 0); },
        [] { cxtest::WriteString(HKEY_CURRENT_USER, kAddinKey, L"Active", L"1"); },
    };
    for (std::size_t i = 0; i < std::size(states); ++i) {
        SCOPED_TRACE(i);
        cxtest::DeleteTree(HKEY_CURRENT_USER, kAddinKey);
        cxtest::DeleteFileIfPresent(Path(L"CVWordAddin2.dll.journal"));
        states[i]();
        const auto before = cxtest::ExportTree(HKEY_CURRENT_USER, kAddinKey);
        ExpectRemoved(Run(L"/wu"));
        EXPECT_EQ(cxtest::ExportTree(HKEY_CURRENT_USER, kAddinKey), before);
    }
    EXPECT_TRUE(WordCalls().empty());
}

TEST_F(WordUninstall, AnActiveAddinIsMarkedInactiveBeforeAndAfterWordIsStarted) {
    Scenario({L"addin=CVWordAddin2.WordAddIn2;connected", L"unknown_bar=null"});
    cxtest::WriteDword(HKEY_CURRENT_USER, kAddinKey, L"Active", 1);

    // When Word starts, the key must already read inactive. Word's loading of the add-in is then
    // played by marking it active again: only a second write after Word was reached undoes that.
    std::atomic<bool> done = false;
    std::optional<std::uint32_t> activeAtWordStart;
    bool replayedBeforeTheToolGotWord = false;
    std::thread watcher([&] {
        while (!done) {
            const auto lines = WordJournal();
            if (std::any_of(lines.begin(), lines.end(),
                            [](const std::wstring& l) { return StartsWith(l, L"start mode=embedding"); })) {
                activeAtWordStart = cxtest::ReadDword(HKEY_CURRENT_USER, kAddinKey, L"Active");
                cxtest::WriteDword(HKEY_CURRENT_USER, kAddinKey, L"Active", 1);
                // The tool gets Word only after the stand-in created its object.
                replayedBeforeTheToolGotWord = !Contains(WordJournal(), L"CreateInstance");
                return;
            }
            ::Sleep(2);
        }
    });
    const auto run = Run(L"/wu");
    done = true;
    watcher.join();

    ExpectRemoved(run);
    EXPECT_EQ(activeAtWordStart, std::optional<std::uint32_t>(0));
    ASSERT_TRUE(replayedBeforeTheToolGotWord) << "the watcher came too late to tell the two writes apart";
    ExpectMarkedInactive();
    EXPECT_EQ(WordCalls(), (std::vector<std::wstring>{
                               kAlertsOff, L"Application.COMAddIns method|get", L"COMAddIns.Count method|get",
                               L"Application.COMAddIns method|get", L"COMAddIns.Item method VT_I4 1",
                               L"COMAddIn#1.ProgId method|get", L"Application.CommandBars method|get",
                               L"CommandBars.Item method|get VT_BSTR \"Corvane2 Toolbar\"",
                               L"Application.COMAddIns method|get", L"COMAddIns.Item method VT_I4 1",
                               L"COMAddIn#1.Connect put VT_BOOL 0", kQuitCall}));
}

TEST_F(WordUninstall, AnActiveAddinIsDisconnectedInTheRunningWord) {
    Scenario({L"addin=CVWordAddin2.WordAddIn2;connected", L"unknown_bar=null"});
    cxtest::WriteDword(HKEY_CURRENT_USER, kAddinKey, L"Active", 1);
    StartRunningWord();
    ExpectRemoved(Run(L"/wu"));
    ExpectMarkedInactive();
    const auto calls = WordCalls();
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(std::vector<std::wstring>(calls.begin(), calls.begin() + 4),
              (std::vector<std::wstring>{
                  L"Application.Visible method|get", L"Application.Visible put VT_BOOL -1",
                  L"Application.Visible put VT_BOOL -1", L"Application.COMAddIns method|get"}));
    EXPECT_EQ(calls.back(), L"COMAddIn#1.Connect put VT_BOOL 0");
    EXPECT_FALSE(WordWasStartedByCom());
    EXPECT_TRUE(WaitForWordReleased());
}

TEST_F(WordUninstall, FailuresInWordAreAbsorbed) {
    for (const wchar_t* rule : {L"fail=COMAddIns:Word cannot list its add-ins", L"fail=Quit:Busy"}) {
        SCOPED_TRACE(Text(rule));
        cxtest::DeleteFileIfPresent(Path(L"CVWordAddin2.dll.journal"));
        Scenario({L"addin=CVWordAddin2.WordAddIn2;connected", L"unknown_bar=null", rule});
        cxtest::WriteDword(HKEY_CURRENT_USER, kAddinKey, L"Active", 1);
        ExpectRemoved(Run(L"/wu"));
        ExpectMarkedInactive();
        ExpectStartedWordsEnded();
    }
}

TEST_F(WordUninstall, AWordThatCannotBeStartedStillGetsTheKeyMarkedInactive) {
    MakeWordNotCreatable();
    cxtest::WriteDword(HKEY_CURRENT_USER, kAddinKey, L"Active", 1);
    ExpectRemoved(Run(L"/wu"));
    ExpectMarkedInactive();
}

}  // namespace
