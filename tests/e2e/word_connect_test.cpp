// Inside Word during an install: which add-in is taken, and where a failure of the toolbar or
// connection steps stops them without stopping the install.
#include "e2e/word_fixture.h"

namespace {

using namespace wordtest;

const std::wstring kQuit = kQuitCall;
const std::wstring kCount = L"COMAddIns.Count method|get";

std::vector<std::wstring> ReadProgId(int i) {
    const std::wstring n = std::to_wstring(i);
    return {L"Application.COMAddIns method|get", L"COMAddIns.Item method VT_I4 " + n,
            L"COMAddIn#" + n + L".ProgId method|get"};
}

std::vector<std::wstring> LookUpToolbar() {
    return {L"Application.CommandBars method|get",
            L"CommandBars.Item method|get VT_BSTR \"Corvane2 Toolbar\""};
}

std::vector<std::wstring> SaveTemplate() {
    return {L"Application.NormalTemplate method|get", L"NormalTemplate.Save method"};
}

std::vector<std::wstring> Connect(int i) {
    const std::wstring n = std::to_wstring(i);
    return {L"Application.COMAddIns method|get", L"COMAddIns.Item method VT_I4 " + n,
            L"COMAddIn#" + n + L".Connect put VT_BOOL -1"};
}

std::vector<std::wstring> Joined(std::initializer_list<std::vector<std::wstring>> parts) {
    std::vector<std::wstring> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

class WordConnect : public WordTest {
protected:
    WordConnect() : WordTest(L"word connect") {}

    // Installs with Word not running; the install itself must succeed whatever happened inside Word.
    std::vector<std::wstring> InstallCalls() {
        cxtest::DeleteFileIfPresent(Path(L"WordStandin.exe.journal"));
        const auto run = Run(L"/wi");
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_TRUE(run.boxes.empty());
        ExpectStartedWordsEnded();
        std::vector<std::wstring> calls = WordCalls();
        EXPECT_FALSE(calls.empty() || calls.front() != kAlertsOff) << "alerts were not turned off first";
        if (!calls.empty()) calls.erase(calls.begin());
        return calls;
    }
};

TEST_F(WordConnect, TheProgIdIsFoundInAnyLetterCase) {
    // The toolbar is there without controls: only the bar itself is deleted.
    Scenario({L"addin=cvwordaddin2.WORDADDIN2", L"bar=Corvane2 Toolbar"});
    EXPECT_EQ(InstallCalls(),
              Joined({{L"Application.COMAddIns method|get", kCount},
                      ReadProgId(1),
                      LookUpToolbar(),
                      {L"CommandBar(Corvane2 Toolbar).Controls method|get", L"Controls.Count method|get",
                       L"CommandBar(Corvane2 Toolbar).Delete method"},
                      SaveTemplate(),
                      Connect(1),
                      {kQuit}}));
}

TEST_F(WordConnect, AnAddinNotListedChangesNothingInWord) {
    // A ProgID that differs only in a letter outside A to Z is another add-in.
    Scenario({L"addin=Other.AddIn", L"addin=CVWordAddin2.WordAddÍn2", L"bar=Corvane2 Toolbar:3"});
    EXPECT_EQ(InstallCalls(),
              Joined({{L"Application.COMAddIns method|get", kCount}, ReadProgId(1), ReadProgId(2), {kQuit}}));
}

TEST_F(WordConnect, OfTwoMatchingAddinsOnlyTheFirstIsHandled) {
    Scenario({L"addin=Other.AddIn", L"addin=CVWordAddin2.WordAddIn2", L"addin=CVWordAddin2.WordAddIn2",
              L"unknown_bar=null"});
    EXPECT_EQ(InstallCalls(), Joined({{L"Application.COMAddIns method|get", kCount},
                                      ReadProgId(1),
                                      ReadProgId(2),
                                      LookUpToolbar(),
                                      Connect(2),
                                      {kQuit}}));
}

TEST_F(WordConnect, AFailingToolbarLookupSkipsTheSaveAndTheConnection) {
    Scenario({L"addin=CVWordAddin2.WordAddIn2"});  // no such bar: Word reports the lookup as failed
    EXPECT_EQ(InstallCalls(),
              Joined({{L"Application.COMAddIns method|get", kCount},
                      ReadProgId(1),
                      LookUpToolbar(),
                      {L"CommandBars.Item -> exception 0x800A0005 \"Invalid procedure call or argument\"",
                       kQuit}}));
}

TEST_F(WordConnect, AToolbarLookupThatReturnsNothingConnectsWithoutSavingTheTemplate) {
    // Nothing was changed, so nothing is saved: a needless save may fail while another Word holds the
    // template, and would then cost the connection.
    Scenario({L"addin=CVWordAddin2.WordAddIn2", L"unknown_bar=null"});
    EXPECT_EQ(InstallCalls(), Joined({{L"Application.COMAddIns method|get", kCount},
                                      ReadProgId(1),
                                      LookUpToolbar(),
                                      Connect(1),
                                      {kQuit}}));
}

TEST_F(WordConnect, AFailingControlStopsTheRestOfTheCleanUp) {
    Scenario({L"addin=CVWordAddin2.WordAddIn2", L"bar=Corvane2 Toolbar:4", L"fail=Control#3.Delete:Locked"});
    const auto calls = InstallCalls();
    EXPECT_TRUE(Contains(calls, L"Control#4.Delete method VT_BOOL 0"));
    EXPECT_TRUE(Contains(calls, L"Control#3.Delete -> exception 0x80004005 \"Locked\""));
    EXPECT_FALSE(Contains(calls, L"Control#2.Delete method VT_BOOL 0"));
    EXPECT_FALSE(Contains(calls, L"CommandBar(Corvane2 Toolbar).Delete method"));
    EXPECT_FALSE(Contains(calls, L"NormalTemplate.Save method"));
    EXPECT_FALSE(Contains(calls, L"COMAddIn#1.Connect put VT_BOOL -1"));
    EXPECT_EQ(calls.back(), kQuit);
}

TEST_F(WordConnect, AFailingSaveOrConnectionIsAbsorbed) {
    for (const wchar_t* rule : {L"fail=Save:Disk full", L"fail=Connect put:Refused"}) {
        SCOPED_TRACE(Text(rule));
        Scenario({L"addin=CVWordAddin2.WordAddIn2", L"bar=Corvane2 Toolbar", rule});
        const auto calls = InstallCalls();
        EXPECT_TRUE(Contains(calls, L"NormalTemplate.Save method"));
        EXPECT_EQ(Contains(calls, L"COMAddIn#1.Connect put VT_BOOL -1"),
                  rule == std::wstring(L"fail=Connect put:Refused"));
        EXPECT_EQ(calls.back(), kQuit);
    }
}

TEST_F(WordConnect, AnUnreadableProgIdEndsTheInstall) {
    Scenario({L"addin=CVWordAddin2.WordAddIn2", L"fail=ProgId:No access."});
    const auto run = Run(L"/wi");
    EXPECT_EQ(run.exitCode, kNothingDone);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, L"No access");
    // The error ends the install, not the Word started for it.
    EXPECT_EQ(WordCalls().back(), kQuit);
}

}  // namespace
