// Unattended runs as an installer makes them: "qu" shows no box and puts a time limit on the run that
// ends everything the run started; "lo" appends every step to a log, whose registry writes and
// program exit codes are compared with what the registry and the stand-ins show.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <set>

#include "e2e/word_fixture.h"
#include "e2e/writer_suite.h"
#include "hosts/writer/user_environment.h"
#include "platform/system/user_mutex.h"
#include "translation/translation_paths.h"

namespace {

using cxtest::RunResult;
using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr std::int32_t kNothingDone = -2;
const std::wstring kMenuExt = L"Software\\Microsoft\\Internet Explorer\\MenuExt";
const std::wstring kKingsoft = L"SOFTWARE\\Kingsoft";
const std::wstring kWpsAddin = kKingsoft + L"\\Office\\WPS\\Addins\\CVWPSAddin2.TCVWPSAddin2";

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The log's entries without their times. A run's header ("==== ...") stays whole; a continuation line
// (starting with a tab) is joined to its entry with CR LF.
std::vector<std::wstring> LogEntries(const std::wstring& path) {
    std::vector<std::wstring> entries;
    for (const std::wstring& line : cxtest::ReadLines(path)) {
        if (StartsWith(line, L"====")) {
            entries.push_back(line);
        } else if (StartsWith(line, L"\t") && !entries.empty()) {
            entries.back() += L"\r\n" + line.substr(1);
        } else {
            const std::size_t time = line.find_first_not_of(L' ');
            const std::size_t text = line.find(L' ', time);
            entries.push_back(text == std::wstring::npos ? line : line.substr(text + 1));
        }
    }
    return entries;
}

// The entries of the log's last run, after its header.
std::vector<std::wstring> LastRun(const std::wstring& path) {
    const std::vector<std::wstring> entries = LogEntries(path);
    const auto header = std::find_if(entries.rbegin(), entries.rend(),
                                     [](const std::wstring& entry) { return StartsWith(entry, L"===="); });
    return std::vector<std::wstring>(header.base(), entries.end());
}

std::wstring LogSwitch(const std::wstring& path) {
    return L"\"/lo" + path + L"\"";
}

// The programs named are gone: an ended process may linger in the list for a moment.
void ExpectNotRunning(std::initializer_list<const wchar_t*> programs) {
    for (const wchar_t* program : programs) {
        std::vector<DWORD> left = cxtest::ProcessIdsNamed(program);
        for (int i = 0; i < 100 && !left.empty(); ++i, left = cxtest::ProcessIdsNamed(program)) ::Sleep(30);
        EXPECT_TRUE(left.empty()) << ::testing::PrintToString(std::wstring(program)) << " still runs";
        for (const DWORD pid : left) {
            if (HANDLE process = ::OpenProcess(PROCESS_TERMINATE, FALSE, pid)) {
                ::TerminateProcess(process, 1);
                ::CloseHandle(process);
            }
        }
    }
}

// Runs `tool` quietly with a time limit of 5 s and expects the end the limit makes: -2 within a few
// seconds of it, none of `programs` left running, and the log saying what the run was waiting for.
void ExpectDeadline(const std::wstring& tool, const std::wstring& args, const std::wstring& log,
                    const std::wstring& awaitedProgram, std::initializer_list<const wchar_t*> programs) {
    cxtest::RunOptions options;
    options.timeoutMs = 60000;
    const ULONGLONG start = ::GetTickCount64();
    const RunResult run = cxtest::RunProgram(tool, L"/qu5 " + args + L" " + LogSwitch(log), options);
    const ULONGLONG took = ::GetTickCount64() - start;
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, kNothingDone);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_GE(took, 5000u);
    // Starting programs under Wine on a loaded machine may add a few seconds, not more.
    EXPECT_LT(took, 15000u);
    ExpectNotRunning(programs);
    const std::vector<std::wstring> entries = LastRun(log);
    EXPECT_THAT(entries,
                Contains(L"deadline of 5 s passed while waiting for the program to end: " + awaitedProgram));
    EXPECT_THAT(entries, Contains(L"ended the programs this run started"));
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.back(), L"exit code -2");
}

class QuietRun : public ::testing::Test {
protected:
    QuietRun() : folder_(L"quiet"), word_(HKEY_CLASSES_ROOT, L"Word.Application") {
        cxtest::DeleteTree(HKEY_CURRENT_USER, kMenuExt);
        cxtest::DeleteTree(HKEY_LOCAL_MACHINE, kKingsoft);
    }
    ~QuietRun() override {
        cxtest::DeleteTree(HKEY_CURRENT_USER, kMenuExt);
        cxtest::DeleteTree(HKEY_LOCAL_MACHINE, kKingsoft);
    }

    std::wstring Log() const { return folder_.Path(L"install log.txt"); }
    RunResult Run(const std::wstring& args) const {
        return cxtest::RunProgram(folder_.Tool(), args + L" " + LogSwitch(Log()));
    }
    std::wstring Catalogue() const { return folder_.Path(L"locale\\de\\LC_MESSAGES\\CXAddinReg.mo"); }
    // The catalogue for "de" copied from `source`; an empty source makes an empty file.
    void InstallCatalogue(const std::wstring& source) const {
        cxtest::MakeDirs(folder_.Path(L"locale\\de\\LC_MESSAGES"));
        if (source.empty()) {
            cxtest::WriteTextFile(Catalogue(), L"");
        } else {
            ASSERT_TRUE(::CopyFileW(source.c_str(), Catalogue().c_str(), FALSE));
        }
    }

    cxtest::InstallFolder folder_;
    cxtest::SavedTree word_;
};

TEST_F(QuietRun, EveryBoxIsLoggedInsteadOfShownAndTheExitCodeStays) {
    const auto expectLogged = [&](const std::wstring& args, std::int32_t exitCode,
                                  const std::wstring& caption, const std::wstring& text) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const RunResult run = Run(L"/qu " + args);
        EXPECT_EQ(run.exitCode, exitCode);
        EXPECT_TRUE(run.boxes.empty()) << ::testing::PrintToString(run.boxes.front().text);
        EXPECT_THAT(LastRun(Log()), Contains(L"message box \"" + caption + L"\" not shown (quiet): " + text));
    };
    cxtest::WriteString(HKEY_CLASSES_ROOT, wordtest::kCurVerKey, L"", L"Word.Application.16");
    // Word's class is not registered: on 64-bit Windows its bitness is unknown and the library is looked
    // for as ever; 32-bit Windows runs only a 32-bit Word.
    expectLogged(L"/wi", kNothingDone, L"Corvane2",
                 wordtest::In64BitPrefix()
                     ? wordtest::LibraryNotFoundText()
                     : wordtest::NeedsLibraryText(32, folder_.Path(L"CVWordAddin2.dll")));

    cxtest::WriteDword(HKEY_CLASSES_ROOT, wordtest::kCurVerKey, L"", 16);
    expectLogged(L"-QU /wv", kNothingDone, L"Corvane2", L"Invalid data type for ''");

    InstallCatalogue(L"");
    expectLogged(L"/eide", kNothingDone, L"Corvane2", L"Cannot create memory map on file " + Catalogue());
    EXPECT_THAT(LastRun(Log()), Contains(L"catalogue \"CXAddinReg\" for de: " + Catalogue()));
    EXPECT_TRUE(cxtest::SubKeys(HKEY_CURRENT_USER, kMenuExt).empty());

    // A catalogue that does not declare UTF-8 is only warned about: the install goes on in English.
    InstallCatalogue(cxtest::TestCatalogue(L"latin1"));
    const std::wstring warning =
        L"The translation for the language code de (in " + Catalogue() +
        L") does not have charset=utf-8 in its Content-Type. Translations are turned off.";
    expectLogged(L"/eide", 0, L"Localization problem", warning);
    EXPECT_EQ(cxtest::SubKeys(HKEY_CURRENT_USER, kMenuExt).size(), 3u);

    // Without "qu" the box is shown, and the log says so.
    const RunResult shown = Run(L"/eide");
    EXPECT_EQ(shown.exitCode, 0);
    ASSERT_EQ(shown.boxes.size(), 1u);
    EXPECT_EQ(shown.boxes[0].text, warning);
    EXPECT_THAT(LastRun(Log()), Contains(L"message box \"Localization problem\" shown: " + warning));
}

// A probe's "no" and a WPS key that is not there say why in the log.
TEST_F(QuietRun, EveryOneSaysWhy) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"/wv", L"no version of Word.Application is registered (Word.Application\\CurVer)"},
        {L"/pv", L"no version of WPS.Application is registered (WPS.Application\\CurVer)"},
        {L"/ov", L"no package tool: no unopkg.com beside a registered soffice.exe of the office suite"},
        {L"/pu", L"the WPS add-in key is not there"},
    };
    for (const auto& [args, why] : cases) {
        EXPECT_EQ(Run(args).exitCode, 1) << ::testing::PrintToString(std::wstring(args));
        EXPECT_THAT(LastRun(Log()), Contains(why));
    }
}

TEST_F(QuietRun, QuAndLoAloneAreNoActionAndAnythingAfterQuIsAnotherParameter) {
    for (const wchar_t* args : {L"/qu", L"/qu120", L"/qux /ni", L"/qu5s /ni"}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(args)));
        const RunResult run = Run(args);
        EXPECT_EQ(run.exitCode, kNothingDone);
        EXPECT_TRUE(run.boxes.empty());
    }
    const std::vector<std::wstring> entries = LastRun(Log());
    EXPECT_THAT(entries, Contains(L"switch ni")) << "\"/qu5s\" is not the quiet switch, so \"ni\" ran";
    EXPECT_THAT(entries, Not(Contains(HasSubstr(L"quiet run"))));
}

TEST_F(QuietRun, ALogThatCannotBeWrittenOrLeadsElsewhereChangesNothing) {
    ASSERT_EQ(Run(L"/pi").exitCode, 0);
    const std::vector<std::wstring> installed = cxtest::ExportTree(HKEY_LOCAL_MACHINE, kWpsAddin);
    ASSERT_FALSE(installed.empty());

    const std::wstring readOnly = folder_.Path(L"read-only.log");
    cxtest::WriteTextFile(readOnly, L"kept\r\n");
    ASSERT_TRUE(::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    // Wine run by root writes read-only files all the same; a file another program holds without
    // sharing cannot be opened under Wine either.
    const std::wstring held = folder_.Path(L"held.log");
    HANDLE holder = ::CreateFileW(held.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    // Links planted at log names, leading to a file that only administrators may write.
    const std::wstring guarded = folder_.Path(L"administrators only.txt");
    cxtest::WriteTextFile(guarded, L"kept\r\n");
    ASSERT_TRUE(::CreateHardLinkW(folder_.Path(L"hard link.log").c_str(), guarded.c_str(), nullptr));
    const cxtest::UnixSymlink symbolic(folder_.Path(L"symbolic link.log"), guarded);
    ASSERT_TRUE(symbolic.Made());

    const struct {
        std::wstring log;
        bool refused;
    } logs[] = {{folder_.Path(L"no such folder\\x.log"), false},
                {readOnly, false},
                {held, false},
                {folder_.Path(L"hard link.log"), true},
                {folder_.Path(L"symbolic link.log"), true}};
    for (const auto& [log, refused] : logs) {
        for (const std::wstring quiet : {L"", L"/qu "}) {
            SCOPED_TRACE(::testing::PrintToString(quiet + log));
            cxtest::DeleteTree(HKEY_LOCAL_MACHINE, kKingsoft);
            const RunResult run = cxtest::RunProgram(folder_.Tool(), quiet + L"/pi " + LogSwitch(log));
            EXPECT_EQ(run.exitCode, 0);
            EXPECT_EQ(cxtest::ExportTree(HKEY_LOCAL_MACHINE, kWpsAddin), installed);
            // A refusal is told where the run may show a box.
            EXPECT_EQ(run.boxes.size(), refused && quiet.empty() ? 1u : 0u);
            if (!refused || run.boxes.empty()) continue;
            EXPECT_EQ(run.boxes[0].text,
                      L"The log " + log +
                          L" was not used: its name leads through a link or to something "
                          L"other than a file of its own. Name a file in a folder that only "
                          L"administrators can change.");
        }
    }
    ::CloseHandle(holder);
    EXPECT_FALSE(cxtest::FileExists(folder_.Path(L"no such folder")));
    EXPECT_TRUE(cxtest::ReadLines(held).empty());
    EXPECT_EQ(cxtest::ReadLines(guarded), std::vector<std::wstring>{L"kept"});
    ::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(QuietRun, AMainApplicationThatNeverEndsMeetsTheDeadline) {
    folder_.AddStandin(L"Corvane.exe");
    cxtest::WriteTextFile(folder_.Path(L"Corvane.exe.sleep_ms"), L"600000");
    ExpectDeadline(folder_.Tool(), L"/ni /pi", Log(), L"\"" + folder_.Path(L"Corvane.exe") + L"\" /regserver",
                   {L"Corvane.exe"});
    EXPECT_FALSE(cxtest::KeyExists(HKEY_LOCAL_MACHINE, kWpsAddin)) << "\"pi\" comes after the registration";
}

// The suite's server, which COM started for the question whether Writer has a document, does not
// answer: the deadline ends it and names it, and the suite process the user runs stays.
TEST(QuietWriterRun, ASuiteServerThatDoesNotAnswerIsEndedAtTheDeadlineAndTheUsersSuiteStays) {
    using writertest::WriterScene;
    WriterScene scene(L"quiet suite");
    scene.InstallSuite();
    scene.StartOffice(L"timeout=30\ncomponent=text\nfail=GetCurrentComponent@hang\n");
    const std::wstring log = scene.Folder().Path(L"install log.txt");
    cxtest::RunOptions options;
    options.timeoutMs = 60000;
    const ULONGLONG start = ::GetTickCount64();
    const RunResult run = scene.Run(L"/qu5 /oi " + LogSwitch(log), options);
    const ULONGLONG took = ::GetTickCount64() - start;
    EXPECT_EQ(run.exitCode, kNothingDone);
    EXPECT_GE(took, 5000u);
    EXPECT_LT(took, 15000u);
    ExpectNotRunning({L"OfficeStandin.exe"});
    const auto journal = WriterScene::OfficeJournal();
    ASSERT_FALSE(journal.empty());
    ASSERT_TRUE(StartsWith(journal.front(), L"start mode=embedding pid="));
    EXPECT_THAT(LastRun(log), Contains(L"ended process " + journal.front().substr(25) +
                                       L" (OfficeStandin.exe), which this run started: terminated"));
    EXPECT_FALSE(cxtest::ProcessIdsNamed(L"soffice.bin").empty()) << "the user's suite process was ended";
}

TEST(QuietWriterRun, APackageToolThatNeverEndsMeetsTheDeadlineWithWhatItStarted) {
    using writertest::WriterScene;
    WriterScene scene(L"quiet writer");
    scene.InstallSuite();
    // The package tool hands the work to a program of its own, which hangs.
    ASSERT_TRUE(::CopyFileW(WriterScene::SuitePath(L"unopkg.com").c_str(),
                            WriterScene::SuitePath(L"unopkg.exe").c_str(), FALSE));
    WriterScene::ToolOutput(L"launch=unopkg.exe\n");
    cxtest::WriteTextFile(WriterScene::SuitePath(L"unopkg.exe.output"), L"sleep_ms=600000\n");
    const std::wstring log = scene.Folder().Path(L"install log.txt");
    ExpectDeadline(scene.Folder().Tool(), L"/oi", log,
                   L"\"" + WriterScene::SuitePath(L"unopkg.com") + L"\" add -f \"" +
                       scene.Folder().Path(L"CVOOAddin.oxt") + L"\"",
                   {L"unopkg.com", L"unopkg.exe"});
    EXPECT_THAT(WriterScene::ToolJournal(), Contains(HasSubstr(L"launched "))) << "the hanging program ran";

    // An installer's own time-out ends the tool: what the tool started goes with it.
    const std::wstring hangingJournal = WriterScene::SuitePath(L"unopkg.exe.journal");
    cxtest::DeleteFileIfPresent(hangingJournal);
    HANDLE tool = cxtest::StartProgram(L"\"" + scene.Folder().Tool() + L"\" /qu60 /oi");
    ASSERT_TRUE(tool);
    for (int i = 0; i < 600 && cxtest::ReadLines(hangingJournal).empty(); ++i) ::Sleep(50);
    EXPECT_FALSE(cxtest::ReadLines(hangingJournal).empty());
    ::TerminateProcess(tool, 1);
    ::WaitForSingleObject(tool, 10000);
    ::CloseHandle(tool);
    ExpectNotRunning({L"unopkg.com", L"unopkg.exe"});
}

// A Word that does not answer, as on a fresh machine where its first-run dialog waits for a click
// nobody can give: the run ends with -2 within its deadline or, without one, after the call bound, and
// a Word the run started is ended, never one the user started.
class UnansweredWord : public wordtest::WordTest {
protected:
    UnansweredWord() : WordTest(L"unanswered word") {}

    std::wstring Log() const { return Path(L"install log.txt"); }
    // `quiet`: with "/qu5"; otherwise with a call bound of 2 s.
    RunResult RunInstall(bool quiet, ULONGLONG& took) const {
        cxtest::RunOptions options;
        options.timeoutMs = 90000;
        if (!quiet) options.env.emplace_back(L"CXADDINREG_CALL_BOUND", L"2");
        const ULONGLONG start = ::GetTickCount64();
        const RunResult run = Run((quiet ? L"/qu5 /wi " : L"/wi ") + LogSwitch(Log()), options);
        took = ::GetTickCount64() - start;
        return run;
    }
    // The -2 of a run that gave up: in a quiet run within a few seconds of its deadline; otherwise
    // after the call bound, with the error box.
    void ExpectGivenUp(bool quiet, const RunResult& run, ULONGLONG took) const {
        EXPECT_FALSE(run.timedOut);
        EXPECT_EQ(run.exitCode, kNothingDone);
        if (quiet) {
            EXPECT_TRUE(run.boxes.empty());
            EXPECT_GE(took, 5000u);
            EXPECT_LT(took, 15000u);
            EXPECT_THAT(LastRun(Log()), Contains(HasSubstr(L"deadline of 5 s passed while waiting for ")));
        } else {
            EXPECT_EQ(run.boxes.size(), 1u);
            EXPECT_THAT(LastRun(Log()), Contains(HasSubstr(L"has not returned after 2 s: given up")));
        }
        ASSERT_FALSE(LastRun(Log()).empty());
        EXPECT_EQ(LastRun(Log()).back(), L"exit code -2");
    }
    // Every Word COM started for the run is gone, and the log names each as ended.
    void ExpectStartedWordEnded() const {
        ExpectNotRunning({L"WordStandin.exe"});
        const std::vector<std::wstring> entries = LastRun(Log());
        int started = 0;
        for (const std::wstring& line : WordJournal()) {
            if (!wordtest::StartsWith(line, L"start mode=embedding pid=")) continue;
            ++started;
            const std::wstring pid = line.substr(line.find(L"pid=") + 4);
            EXPECT_THAT(entries, Contains(L"ended process " + pid +
                                          L" (WordStandin.exe), which this run started: terminated"));
        }
        EXPECT_EQ(started, 1);
    }
};

TEST_F(UnansweredWord, AWordTheRunStartedIsEndedWhenItDoesNotAnswer) {
    // Where it hangs: before it serves at all, or in one of the calls of the install.
    const wchar_t* hangs[] = {L"never_ready=1",  L"fail=COMAddIns@hang",   L"fail=Controls.Count@hang",
                              L"fail=Save@hang", L"fail=Connect put@hang", L"fail=Quit@hang"};
    for (const bool quiet : {true, false}) {
        for (const wchar_t* hang : hangs) {
            SCOPED_TRACE(Text(hang) + (quiet ? " quiet" : " with a call bound"));
            cxtest::DeleteFileIfPresent(Path(L"WordStandin.exe.journal"));
            Scenario({L"addin=CVWordAddin2.WordAddIn2", L"bar=Corvane2 Toolbar:1", hang});
            ULONGLONG took = 0;
            const RunResult run = RunInstall(quiet, took);
            ExpectGivenUp(quiet, run, took);
            ExpectStartedWordEnded();
            if (std::wstring(hang) != L"never_ready=1") {
                EXPECT_THAT(WordJournal(), Contains(HasSubstr(L" -> hang"))) << "it never hung";
            }
        }
    }
}

TEST_F(UnansweredWord, AWordTheUserStartedIsNeverQuitOrEnded) {
    for (const bool quiet : {true, false}) {
        SCOPED_TRACE(quiet ? "quiet" : "with a call bound");
        Scenario({L"visible=1", L"addin=CVWordAddin2.WordAddIn2", L"fail=COMAddIns@hang"});
        StartRunningWord();
        ULONGLONG took = 0;
        const RunResult run = RunInstall(quiet, took);
        ExpectGivenUp(quiet, run, took);
        EXPECT_EQ(::WaitForSingleObject(running_, 0), static_cast<DWORD>(WAIT_TIMEOUT))
            << "the user's Word ended";
        EXPECT_THAT(WordJournal(), Not(Contains(HasSubstr(L"Application.Quit"))));
        EXPECT_THAT(LastRun(Log()), Not(Contains(HasSubstr(L"ended process"))));
        EXPECT_FALSE(WordWasStartedByCom());
        StopRunningWord();
        EXPECT_EQ(WordJournal().back(), L"exit reason=hang-stopfile");
        cxtest::DeleteFileIfPresent(Path(L"WordStandin.exe.journal"));
    }
}

TEST_F(UnansweredWord, AFaultInTheToolEndsAQuietRunWithinItsDeadline) {
    cxtest::WriteTextFile(Path(L"CVWordAddin2.dll.hresult"), L"fault");
    ULONGLONG took = 0;
    const RunResult run = RunInstall(true, took);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, kNothingDone);
    EXPECT_LT(took, 5000u) << "the fault waited for the deadline";
    const std::vector<std::wstring> entries = LastRun(Log());
    EXPECT_THAT(entries, Contains(AllOf(HasSubstr(L"the tool's process faulted: exception 0xc0000005 at "),
                                        HasSubstr(Path(L"CVWordAddin2.dll")))));
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.back(), L"exit code -2");
    EXPECT_EQ(AddinJournal(), (std::vector<std::wstring>{L"load", L"DllRegisterServer"}));
}

// A wait of the PATH step that outlasts the time limit is named in the log: for another copy of the
// tool holding the user's lock (played here with the tool's own lock), which keeps the PATH as it was,
// and for a program slow to answer the environment broadcast.
TEST(QuietWriterRun, TheLogNamesThePathStepsWaits) {
    using writertest::WriterScene;
    WriterScene scene(L"quiet path");
    const std::wstring log = scene.Folder().Path(L"install log.txt");
    const auto expectWaitNamed = [&](const std::wstring& what) {
        const RunResult run = scene.Run(L"/qu2 /oi " + LogSwitch(log));
        EXPECT_EQ(run.exitCode, kNothingDone);
        EXPECT_THAT(LastRun(log), Contains(L"deadline of 2 s passed while waiting for " + what));
    };
    WriterScene::SetUserPath(L"C:\\A");
    {
        const cx::UserMutexLock otherCopy(cx::kUserPathLockName, 0);
        ASSERT_TRUE(otherCopy.Held());
        expectWaitNamed(L"another copy of the tool to release the user's PATH: Corvane2.UserPath");
        EXPECT_EQ(writertest::TextOf(WriterScene::UserPath()), L"C:\\A");
    }
    const writertest::BroadcastCounter busyProgram(4000);
    expectWaitNamed(L"the running programs to answer the environment change (WM_SETTINGCHANGE)");
}

// A user PATH of a hundred million characters: the log shows it by its ends and its length, and the
// run ends as it does without a log, the package tool run and the entry added.
TEST(QuietWriterRun, AHugePathEndsAsWithoutALog) {
    using writertest::WriterScene;
    WriterScene scene(L"huge path");
    scene.InstallSuite();
    const std::wstring log = scene.Folder().Path(L"install log.txt");
    const std::wstring huge = L"C:\\A;" + std::wstring(100000000, L'x');
    const std::wstring added = L";" + scene.DirEntry();
    for (const std::wstring& args : {std::wstring(L"/oi"), L"/oi " + LogSwitch(log)}) {
        SCOPED_TRACE(::testing::PrintToString(args));
        WriterScene::SetUserPath(huge);
        WriterScene::ClearToolJournal();
        EXPECT_EQ(scene.Run(args).exitCode, 0);
        EXPECT_TRUE(cxtest::FileExists(WriterScene::SuitePath(L"unopkg.com.journal")));
        EXPECT_EQ(WriterScene::UserPath().value_or(cxtest::RegValue()).data.size(),
                  (huge.size() + added.size() + 1) * sizeof(wchar_t));
    }
    EXPECT_THAT(LastRun(log),
                ElementsAre(L"switch oi",
                            HasSubstr(added + L"\" (" + std::to_wstring(huge.size() + added.size()) +
                                      L" characters)"),
                            HasSubstr(L"program started: "), L"program ended with exit code 0",
                            L"program output: \"\"", L"exit code 0"));
}

// What the log says the registry holds: its writes and deletions replayed in order.
class LoggedRegistry {
public:
    explicit LoggedRegistry(const std::vector<std::wstring>& entries) {
        for (const std::wstring& entry : entries) Replay(entry);
    }

    // Every key and value the log names reads back as the log left it; in the keys the tool owns (all
    // but Environment, which holds the user's other variables) the registry holds nothing else.
    void ExpectRegistryMatches() const {
        for (const std::wstring& key : named_) {
            SCOPED_TRACE(::testing::PrintToString(key));
            const auto [root, path] = Split(key);
            EXPECT_EQ(cxtest::KeyExists(root, path), keys_.count(key) == 1);
            if (key == L"HKCU\\Environment" || !keys_.count(key)) continue;
            for (const writertest::SavedValue& value : writertest::SaveValues(root, path)) {
                EXPECT_TRUE(values_.count({key, value.name}))
                    << "not in the log: " << ::testing::PrintToString(value.name);
            }
        }
        for (const KeyAndName& keyAndName : namedValues_) {
            const auto [root, path] = Split(keyAndName.first);
            const auto value = cxtest::ReadValue(root, path, keyAndName.second);
            const auto logged = values_.find(keyAndName);
            EXPECT_EQ(value ? Shown(*value) : L"(none)", logged == values_.end() ? L"(none)" : logged->second)
                << ::testing::PrintToString(keyAndName.first + L" \"" + keyAndName.second + L"\"");
        }
    }

private:
    using KeyAndName = std::pair<std::wstring, std::wstring>;

    static std::pair<HKEY, std::wstring> Split(const std::wstring& key) {
        const std::wstring root = key.substr(0, key.find(L'\\'));
        const HKEY hkey = root == L"HKCR"   ? HKEY_CLASSES_ROOT
                          : root == L"HKLM" ? HKEY_LOCAL_MACHINE
                                            : HKEY_CURRENT_USER;
        return {hkey, key.substr(root.size() + 1)};
    }
    static std::wstring Shown(const cxtest::RegValue& value) {
        if (value.type == REG_SZ) return L"REG_SZ \"" + value.Text() + L"\"";
        if (value.type == REG_EXPAND_SZ) return L"REG_EXPAND_SZ \"" + value.Text() + L"\"";
        if (value.type == REG_DWORD) return L"REG_DWORD " + std::to_wstring(value.Dword());
        return L"type " + std::to_wstring(value.type);
    }
    // "<key> \"<name>\"" and what follows it.
    static KeyAndName KeyValue(const std::wstring& text, std::wstring& rest) {
        const std::size_t open = text.find(L" \"");
        const std::size_t close = text.find(L'"', open + 2);
        rest = text.substr(close + 1);
        return {text.substr(0, open), text.substr(open + 2, close - open - 2)};
    }

    void Replay(const std::wstring& entry) {
        if (!StartsWith(entry, L"registry ")) return;
        EXPECT_THAT(entry, Not(HasSubstr(L" failed: error"))) << "a write of the tool failed";
        std::wstring rest;
        if (StartsWith(entry, L"registry set ")) {
            const KeyAndName value = KeyValue(entry.substr(13), rest);
            Name(value.first);
            keys_.insert(value.first);
            values_[value] = rest.substr(3);  // after " = "
            namedValues_.insert(value);
        } else if (StartsWith(entry, L"registry delete value ")) {
            const KeyAndName value = KeyValue(entry.substr(22), rest);
            values_.erase(value);
            namedValues_.insert(value);
        } else if (StartsWith(entry, L"registry create key ")) {
            Name(entry.substr(20));
            keys_.insert(entry.substr(20));
        } else if (StartsWith(entry, L"registry delete key ")) {
            const std::wstring key = entry.substr(20);
            Name(key);
            std::erase_if(keys_,
                          [&](const std::wstring& k) { return k == key || StartsWith(k, key + L"\\"); });
            std::erase_if(values_, [&](const auto& v) { return v.first.first == key; });
        }
    }
    void Name(const std::wstring& key) { named_.insert(key); }

    std::set<std::wstring> named_;
    std::set<std::wstring> keys_;
    std::map<KeyAndName, std::wstring> values_;
    std::set<KeyAndName> namedValues_;
};

class LoggedCycle : public wordtest::WordTest {
protected:
    LoggedCycle() : WordTest(L"logged cycle"), suite_(L"logged cycle suite") {
        cxtest::DeleteTree(HKEY_CURRENT_USER, kMenuExt);
        cxtest::DeleteTree(HKEY_LOCAL_MACHINE, kKingsoft);
    }
    ~LoggedCycle() override {
        cxtest::DeleteTree(HKEY_CURRENT_USER, kMenuExt);
        cxtest::DeleteTree(HKEY_LOCAL_MACHINE, kKingsoft);
    }

    std::wstring Log() const { return Path(L"install log.txt"); }
    void RunAll(std::initializer_list<const wchar_t*> commands) const {
        for (const wchar_t* args : commands) {
            const RunResult run = Run(L"/qu " + std::wstring(args) + L" " + LogSwitch(Log()));
            EXPECT_EQ(run.exitCode, 0) << ::testing::PrintToString(std::wstring(args));
            EXPECT_TRUE(run.boxes.empty());
        }
    }
    std::wstring Quoted(const std::wstring& path) const { return L"\"" + path + L"\""; }

    writertest::WriterScene suite_;
};

TEST_F(LoggedCycle, TheLogOfAnInstallAndRemovalHoldsEveryWriteAndExitCode) {
    cxtest::WriteTextFile(Path(L"CVOOAddin.oxt"), L"PK");
    cxtest::WriteTextFile(Path(L"Corvane.exe.exitcode"), L"3");
    suite_.InstallSuite();

    RunAll({L"/ni /wi", L"/pi", L"/eien", L"/oi"});
    LoggedRegistry(LogEntries(Log())).ExpectRegistryMatches();
    // Word, having loaded the add-in, keeps it marked active until the removal.
    cxtest::WriteDword(HKEY_CURRENT_USER, wordtest::kAddinKey, L"Active", 1);
    RunAll({L"/ou", L"/eu", L"/pu", L"/wu /nu"});
    const std::vector<std::wstring> entries = LogEntries(Log());
    LoggedRegistry(entries).ExpectRegistryMatches();
    EXPECT_THAT(entries, Contains(L"registry set HKCU\\" + std::wstring(wordtest::kAddinKey) +
                                  L" \"Active\" = REG_DWORD 0"));

    // Every program started, each followed by its end.
    std::vector<std::wstring> programs;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!StartsWith(entries[i], L"program started: ")) continue;
        programs.push_back(entries[i].substr(17));
        programs.push_back(i + 1 < entries.size() ? entries[i + 1] : L"(end of log)");
    }
    const std::wstring unopkg = Quoted(writertest::WriterScene::SuitePath(L"unopkg.com"));
    EXPECT_EQ(programs,
              (std::vector<std::wstring>{
                  Quoted(Path(L"Corvane.exe")) + L" /regserver", L"program ended with exit code 3",
                  unopkg + L" add -f " + Quoted(Path(L"CVOOAddin.oxt")), L"program ended with exit code 0",
                  unopkg + L" remove \"CVOOAddin.oxt\"", L"program ended with exit code 0",
                  Quoted(Path(L"Corvane.exe")) + L" /unregserver", L"program ended with exit code 3"}));
    EXPECT_EQ(std::count(entries.begin(), entries.end(), L"program output: \"\""), 2);
    EXPECT_THAT(entries, Contains(L"automation start Word.Application: 0x00000000"));
    EXPECT_THAT(entries, Contains(L"automation COMAddIns (get): 0x00000000"));
    EXPECT_THAT(entries,
                Contains(L"library " + Path(L"CVWordAddin2.dll") + L" DllRegisterServer: 0x00000000"));
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                            [](const std::wstring& entry) { return StartsWith(entry, L"===="); }),
              8);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), L"exit code 0"), 8);
}

}  // namespace
