// The example installers, built from the signed release with stand-ins for the product's programs and
// run silently the way a deployment runs them. NSIS (packaging/nsis): it installs the files, runs the
// recommended sequence and logs every code; its uninstaller runs the reverse. MSI (packaging/wix): the
// per-machine package and the per-user one, under msiexec /qn. The hosts are there before the install
// (Word, WPS, the office suite); Word is removed before the uninstall, so that the add-in library must
// be unregistered by the installer itself. Checked: the codes logged, and the registry and the user
// PATH before, between and after.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "e2e/word_fixture.h"
#include "e2e/writer_suite.h"
#include "packaging/release_paths.h"
#include "support/install_folder.h"
#include "support/message_box_driver.h"
#include "support/registry_probe.h"
#include "support/text_file.h"
#include "support/tool_process.h"
#include "translation/shipped_captions.h"

namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using writertest::WriterScene;

const std::wstring kInstallDir = L"C:\\Program Files\\Corvane2 Setup Test";
const std::wstring kWordDir = L"C:\\Program Files\\Word Standin";
const std::wstring kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvane2";
const std::wstring kWpsAddinKey = L"SOFTWARE\\Kingsoft\\Office\\WPS\\Addins\\CVWPSAddin2.TCVWPSAddin2";
const std::wstring kWordAddinKey = L"Software\\Microsoft\\Office\\Word\\Addins\\CVWordAddin2.WordAddIn2";
const std::wstring kMenuExt = L"Software\\Microsoft\\Internet Explorer\\MenuExt";
const std::wstring kMsiDir = L"C:\\Program Files\\Corvane2 MSI Test";
const std::wstring kMachineProductKey = L"Software\\Corvane2";
const std::wstring kSystemEnvironment = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const std::wstring kActiveSetupComponent =
    L"Software\\Microsoft\\Active Setup\\Installed Components\\{0F585D00-D935-4E5F-B38C-32E0B8B0C908}";
using Lines = std::vector<std::wstring>;
// The add-in library's calls (AddinCalls) after "wi", which Word loaded it for, and an unregistration.
const Lines kRegisteredLoadedAndUnregistered = {L"DllRegisterServer", L"OnConnection bits=32 mode=0",
                                                L"DllUnregisterServer"};
// The other build's: registered and unregistered, never loaded.
const Lines kRegisteredAndUnregistered = {L"DllRegisterServer", L"DllUnregisterServer"};
// A user PATH that expands: its type must survive the round trip.
const std::wstring kUserPath = L"%SystemRoot%\\system32;C:\\Tools";
constexpr DWORD kInstallerTimeoutMs = 180000;

std::wstring InstalledPath(const std::wstring& name) {
    return kInstallDir + L"\\" + name;
}

std::wstring TempPath(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

// The installer's own log of each run and its code, and the tool's log of every step ("/lo").
std::wstring LogPath() {
    return InstalledPath(L"Logs\\Corvane2 setup.log");
}
std::wstring ToolLogPath() {
    return InstalledPath(L"Logs\\CXAddinReg.log");
}

// One run of the tool as its log tells it: the switches (what follows the quoted log parameter on
// the logged command line), its entries and its exit code.
struct LoggedRun {
    std::wstring switches;
    std::vector<std::wstring> entries;
    std::wstring code;
};

std::vector<LoggedRun> ReadToolLog(const std::wstring& path) {
    std::vector<LoggedRun> runs;
    constexpr std::wstring_view kExit = L"exit code ";
    for (const std::wstring& line : cxtest::ReadLines(path)) {
        if (line.rfind(L"==== ", 0) == 0) {
            const std::size_t log = line.find(L"\"/lo");
            runs.push_back(
                {log == std::wstring::npos ? line : line.substr(line.find(L'"', log + 1) + 2), {}, {}});
            continue;
        }
        const std::size_t entry = line.find(L' ', line.find_first_not_of(L' '));
        if (runs.empty() || entry == std::wstring::npos) continue;
        if (line.compare(entry + 1, kExit.size(), kExit) == 0) {
            runs.back().code = line.substr(entry + 1 + kExit.size());
        } else {
            runs.back().entries.push_back(line.substr(entry + 1));
        }
    }
    return runs;
}

// "<switches> -> <exit code>" for each run.
std::vector<std::wstring> RunSummaries(const std::vector<LoggedRun>& runs) {
    std::vector<std::wstring> summaries;
    for (const LoggedRun& run : runs) summaries.push_back(run.switches + L" -> " + run.code);
    return summaries;
}

// The exit codes the tool's log recorded, one per run, in order.
std::vector<std::wstring> LoggedExitCodes() {
    std::vector<std::wstring> codes;
    for (const LoggedRun& run : ReadToolLog(ToolLogPath())) codes.push_back(run.code);
    return codes;
}

// The add-in library's entry points and its add-in object's calls, without its loads and unloads
// (which Word's exit adds at a time of its own).
std::vector<std::wstring> AddinCalls(const std::wstring& journal) {
    std::vector<std::wstring> calls;
    for (const std::wstring& line : cxtest::ReadLines(journal)) {
        if (line.rfind(L"Dll", 0) == 0 || line.rfind(L"OnConnection", 0) == 0) calls.push_back(line);
    }
    return calls;
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> names) {
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::wstring> FilesIn(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    const HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return Sorted(names);
}

// What the installer may change, as one comparable record.
struct Traces {
    std::vector<std::wstring> keys;  // export lines of our keys
    std::vector<std::wstring> menuEntries;
    std::optional<cxtest::RegValue> userPath;
};

Traces TakeTraces() {
    Traces traces;
    for (const auto& [root, path] :
         {std::pair{HKEY_LOCAL_MACHINE, kUninstallKey}, std::pair{HKEY_LOCAL_MACHINE, kWpsAddinKey},
          std::pair{HKEY_CURRENT_USER, kWordAddinKey}, std::pair{HKEY_LOCAL_MACHINE, kMachineProductKey},
          std::pair{HKEY_CURRENT_USER, kMachineProductKey}}) {
        const auto lines = cxtest::ExportTree(root, path);
        traces.keys.insert(traces.keys.end(), lines.begin(), lines.end());
    }
    traces.menuEntries = Sorted(cxtest::SubKeys(HKEY_CURRENT_USER, kMenuExt));
    traces.userPath = WriterScene::UserPath();
    return traces;
}

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The installer picks its language, and so the captions' code, from the user's.
        ::SetEnvironmentVariableW(L"LANG", L"C");
        environment_ = writertest::SaveValues(HKEY_CURRENT_USER, L"Environment");
        systemPath_ = cxtest::ReadValue(HKEY_LOCAL_MACHINE, kSystemEnvironment, L"PATH");
        WriterScene::SetUserPath(kUserPath, REG_EXPAND_SZ);
        cxtest::RemoveTree(kInstallDir);
        InstallHosts();
    }

    void TearDown() override {
        // Packages a failed test left installed, the per-user one first.
        for (const wchar_t* package : {L"Corvane2User.msi", L"Corvane2.msi"}) Msiexec(L"/x", package);
        RemoveWord();
        cxtest::DeleteTree(HKEY_CLASSES_ROOT, L"WPS.Application");
        cxtest::DeleteTree(HKEY_CLASSES_ROOT, L"CLSID\\{82154420-0FBF-11d4-8313-005004526AB4}");
        cxtest::RemoveTree(
            std::wstring(writertest::kSuiteDir).substr(0, std::wcslen(writertest::kSuiteDir) - 1));
        // Whatever a failed run left behind.
        cxtest::DeleteTree(HKEY_CLASSES_ROOT, wordtest::kAddinProgId);
        for (const REGSAM view : {0, KEY_WOW64_64KEY})
            cxtest::DeleteTree(HKEY_CLASSES_ROOT, wordtest::kAddinClassKey, view);
        cxtest::DeleteTree(HKEY_LOCAL_MACHINE, kUninstallKey);
        cxtest::DeleteTree(HKEY_LOCAL_MACHINE, kWpsAddinKey);
        cxtest::DeleteTree(HKEY_CURRENT_USER, kMenuExt);
        cxtest::DeleteTree(HKEY_CURRENT_USER, kWordAddinKey);
        cxtest::RemoveTree(kInstallDir);
        cxtest::RemoveTree(kMsiDir);
        writertest::RestoreValues(HKEY_CURRENT_USER, L"Environment", environment_);
        for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
            cxtest::DeleteTree(HKEY_LOCAL_MACHINE, kActiveSetupComponent, view);
            cxtest::DeleteTree(HKEY_LOCAL_MACHINE, kWordAddinKey, view);
        }
        if (systemPath_) {
            cxtest::WriteRaw(HKEY_LOCAL_MACHINE, kSystemEnvironment, L"PATH", systemPath_->type,
                             systemPath_->data.data(), static_cast<DWORD>(systemPath_->data.size()));
        }
    }

    // Word (its stand-in registered as Word.Application, with the add-in among its COM add-ins and the
    // old toolbar still there), WPS 6 and the office suite with its package tool.
    void InstallHosts() {
        cxtest::MakeDirs(kWordDir);
        ASSERT_TRUE(::CopyFileW(cxtest::StandinPath(L"WordStandin.exe").c_str(), WordPath().c_str(), FALSE));
        cxtest::WriteTextFile(kWordDir + L"\\WordStandin.exe.scenario",
                              L"timeout=20\naddin=CVWordAddin2.WordAddIn2\nbar=Corvane2 Toolbar:1\n");
        ASSERT_EQ(cxtest::RunProgram(WordPath(), L"/regserver").exitCode, 0);
        wordInstalled_ = true;
        cxtest::WriteString(HKEY_CLASSES_ROOT, L"WPS.Application\\CurVer", L"", L"WPS.Application.6");
        cxtest::MakeDirs(
            std::wstring(writertest::kSuiteDir).substr(0, std::wcslen(writertest::kSuiteDir) - 1));
        ASSERT_TRUE(::CopyFileW(cxtest::StandinPath(L"unopkg.com").c_str(),
                                WriterScene::SuitePath(L"unopkg.com").c_str(), FALSE));
        WriterScene::RegisterSuite(WriterScene::SuitePath(L"soffice.exe") + L" -nodefault");
    }

    void RemoveWord() {
        if (!wordInstalled_) return;
        cxtest::RunProgram(WordPath(), L"/unregserver");
        cxtest::RemoveTree(kWordDir);
        wordInstalled_ = false;
    }

    static std::wstring WordPath() { return kWordDir + L"\\WordStandin.exe"; }

    // Nothing may ask anything in a silent run: a message box of any process (the tool runs as the
    // installer's child) fails the test and is answered, so that the run goes on.
    static void AnswerStrayBox() {
        if (const auto box = cxtest::FindBox(0)) {
            ADD_FAILURE() << "a box in a silent run: "
                          << ::testing::PrintToString(box->caption + L": " + box->text);
            cxtest::PressButton(*box, box->ButtonIds().front());
        }
    }

    // Runs an installer or uninstaller and waits for it.
    static DWORD RunSilently(const std::wstring& commandLine) {
        const HANDLE process = cxtest::StartProgram(commandLine);
        if (!process) return ~0u;
        const ULONGLONG deadline = ::GetTickCount64() + kInstallerTimeoutMs;
        while (::WaitForSingleObject(process, 50) == WAIT_TIMEOUT) {
            AnswerStrayBox();
            if (::GetTickCount64() >= deadline) {
                ADD_FAILURE() << "still running after " << kInstallerTimeoutMs << " ms";
                ::TerminateProcess(process, 0xDEAD);
                break;
            }
        }
        DWORD code = 0;
        ::GetExitCodeProcess(process, &code);
        ::CloseHandle(process);
        return code;
    }

    // The uninstaller hands over to a copy of itself in the temporary folder and ends at once; the log's
    // last line tells when the copy is done.
    static bool WaitForLogLine(const std::wstring& line) {
        const ULONGLONG deadline = ::GetTickCount64() + kInstallerTimeoutMs;
        for (;;) {
            const auto lines = cxtest::ReadLines(LogPath());
            if (!lines.empty() && lines.back() == line) return true;
            if (::GetTickCount64() >= deadline) return false;
            AnswerStrayBox();
            ::Sleep(50);
        }
    }

    // msiexec quiet, with its verbose log ("/l*v", rewritten by each run); its exit code.
    static DWORD Msiexec(const wchar_t* action, const wchar_t* package,
                         const std::wstring& properties = L"") {
        return RunSilently(L"msiexec " + std::wstring(action) + L" \"" + cxtest::ReleasePath(package) +
                           L"\" /qn /l*v \"" + MsiexecLogPath() + L"\" " + properties);
    }
    static std::wstring MsiexecLogPath() { return TempPath(L"Corvane2 msiexec.log"); }
    // What CXAddinRegMsi.dll wrote to the last run's log, without the tool's name that starts its lines.
    static std::vector<std::wstring> StepLines() {
        std::vector<std::wstring> lines;
        for (const std::wstring& line : cxtest::ReadLines(MsiexecLogPath())) {
            if (line.rfind(L"CXAddinReg /", 0) == 0) lines.push_back(line.substr(11));
        }
        return lines;
    }

    std::vector<writertest::SavedValue> environment_;
    std::optional<cxtest::RegValue> systemPath_;
    bool wordInstalled_ = false;
};

TEST_F(InstallerTest, InstallsWithTheRecommendedSequenceAndItsUninstallerLeavesNothingOfOurs) {
    const Traces before = TakeTraces();
    ASSERT_TRUE(before.userPath);
    ASSERT_EQ(before.userPath->type, static_cast<DWORD>(REG_EXPAND_SZ));
    ASSERT_TRUE(before.keys.empty() && before.menuEntries.empty()) << "a clean machine to begin with";

    // Install: the probes find every host, and every step gives its success code.
    EXPECT_EQ(RunSilently(L"\"" + cxtest::ReleasePath(L"Corvane2Setup.exe") + L"\" /S /D=" + kInstallDir),
              0u);
    const std::vector<std::wstring> installLog = {std::wstring(L"install ") + CX_PACKAGE_VERSION,
                                                  L"CXAddinReg /wv -> 0",
                                                  L"CXAddinReg /pv -> 0",
                                                  L"CXAddinReg /ov -> 0",
                                                  L"CXAddinReg /ni /wi -> 0",
                                                  L"CXAddinReg /pi -> 0",
                                                  L"CXAddinReg /oi -> 0",
                                                  L"CXAddinReg /eien -> 0",
                                                  L"install finished"};
    ASSERT_EQ(cxtest::ReadLines(LogPath()), installLog);

    // Between: what each step did.
    const Traces installed = TakeTraces();
    ASSERT_TRUE(installed.userPath);
    EXPECT_EQ(installed.userPath->type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(installed.userPath->Text(), kUserPath + L";" + kInstallDir);
    EXPECT_EQ(installed.menuEntries, Sorted(cxtest::kEnglishCaptions));
    EXPECT_EQ(cxtest::ReadString(HKEY_CURRENT_USER, kMenuExt + L"\\" + cxtest::kEnglishCaptions[0], L""),
              InstalledPath(L"BrowserExt\\IEContext_Content_Note.htm"));
    EXPECT_EQ(cxtest::ReadDword(HKEY_LOCAL_MACHINE, kWpsAddinKey, L"LoadBehavior"), 3u);
    EXPECT_EQ(cxtest::ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"), CX_PACKAGE_VERSION);
    EXPECT_EQ(cxtest::ReadLines(InstalledPath(L"Corvane.exe.journal")),
              (std::vector<std::wstring>{L"\"" + InstalledPath(L"Corvane.exe") + L"\" /regserver"}));
    // Word loaded the add-in the tool registered; on 64-bit Windows the 64-bit build was registered too.
    EXPECT_EQ(AddinCalls(InstalledPath(L"CVWordAddin2.dll.journal")),
              (std::vector<std::wstring>{L"DllRegisterServer", L"OnConnection bits=32 mode=0"}));
    const bool x64 = wordtest::In64BitPrefix();
    EXPECT_EQ(AddinCalls(InstalledPath(L"x64\\CVWordAddin2.dll.journal")),
              x64 ? std::vector<std::wstring>{L"DllRegisterServer"} : std::vector<std::wstring>{});
    const auto wordCalls = cxtest::ReadLines(kWordDir + L"\\WordStandin.exe.journal");
    EXPECT_NE(std::find(wordCalls.begin(), wordCalls.end(), L"COMAddIn#1.Connect put VT_BOOL -1"),
              wordCalls.end());
    const std::wstring packageTool = L"\"" + WriterScene::SuitePath(L"unopkg.com") + L"\"";
    EXPECT_EQ(
        WriterScene::ToolCommandLines(),
        (std::vector<std::wstring>{packageTool + L" add -f \"" + InstalledPath(L"CVOOAddin.oxt") + L"\""}));

    // The user removed Word before the product: "wu" gives 1, and the uninstaller unregisters both
    // builds of the add-in library itself.
    RemoveWord();
    EXPECT_EQ(RunSilently(L"\"" + InstalledPath(L"Uninstall.exe") + L"\" /S"), 0u);
    ASSERT_TRUE(WaitForLogLine(L"uninstall finished")) << "the uninstaller did not finish";
    std::vector<std::wstring> fullLog = installLog;
    for (const wchar_t* line :
         {L"uninstall", L"CXAddinReg /eu -> 0", L"CXAddinReg /ou -> 0", L"CXAddinReg /pu -> 0",
          L"CXAddinReg /wu -> 1", L"UnRegDLL CVWordAddin2.dll", L"regsvr32 /u x64\\CVWordAddin2.dll",
          L"CXAddinReg /nu -> -2", L"uninstall finished"}) {
        if (x64 || std::wstring(line).rfind(L"regsvr32", 0) != 0) fullLog.push_back(line);
    }
    EXPECT_EQ(cxtest::ReadLines(LogPath()), fullLog);
    // Every run was quiet and logged its steps: the tool's own log ends each run with the code the
    // installer read.
    EXPECT_EQ(LoggedExitCodes(), (std::vector<std::wstring>{L"0", L"0", L"0", L"0", L"0", L"0", L"0", L"0",
                                                            L"0", L"0", L"1", L"-2"}));

    // After: the registry and the PATH (text and type) as before; of the install folder, only the
    // logs and the stand-ins' journals are left.
    const Traces after = TakeTraces();
    EXPECT_EQ(after.keys, before.keys);
    EXPECT_EQ(after.menuEntries, before.menuEntries);
    ASSERT_TRUE(after.userPath);
    EXPECT_EQ(after.userPath->type, before.userPath->type);
    EXPECT_EQ(after.userPath->Text(), before.userPath->Text());
    std::vector<std::wstring> left = {L"CVWordAddin2.dll.journal", L"Corvane.exe.journal", L"Logs"};
    if (x64) left.push_back(L"x64");  // holding the 64-bit build's journal
    EXPECT_EQ(FilesIn(kInstallDir), left);
    EXPECT_EQ(cxtest::ReadLines(InstalledPath(L"Corvane.exe.journal")),
              (std::vector<std::wstring>{L"\"" + InstalledPath(L"Corvane.exe") + L"\" /regserver",
                                         L"\"" + InstalledPath(L"Corvane.exe") + L"\" /unregserver"}));
    EXPECT_EQ(AddinCalls(InstalledPath(L"CVWordAddin2.dll.journal")), kRegisteredLoadedAndUnregistered);
    EXPECT_EQ(AddinCalls(InstalledPath(L"x64\\CVWordAddin2.dll.journal")),
              x64 ? kRegisteredAndUnregistered : Lines{});
    EXPECT_FALSE(cxtest::KeyExists(HKEY_CLASSES_ROOT, wordtest::kAddinProgId));
    EXPECT_EQ(WriterScene::ToolCommandLines().back(), packageTool + L" remove \"CVOOAddin.oxt\"");
}

// The per-machine package runs "ni" and "pi" and their removal; the per-user package, run afterwards by
// the user, runs "wi", "oi" and "ei" and theirs. Word is removed before the per-user package: its
// "wu" gives 1, which the removal accepts, and the per-machine removal unregisters the library.
TEST_F(InstallerTest, TheMsiPackagesRunEveryStepAndRemoveEverythingAfterWordIsGone) {
    const Traces before = TakeTraces();
    const std::wstring toolLog = kMsiDir + L"\\Logs\\CXAddinReg.log";
    const std::wstring installDir = L"INSTALLDIR=\"" + kMsiDir + L"\"";

    EXPECT_EQ(Msiexec(L"/i", L"Corvane2.msi", installDir), 0u);
    EXPECT_EQ(StepLines(), (Lines{L"/ni -> -2: accepted", L"/pv -> 0: host present", L"/pi -> 0: accepted"}));
    EXPECT_EQ(cxtest::ReadDword(HKEY_LOCAL_MACHINE, kWpsAddinKey, L"LoadBehavior"), 3u);
    EXPECT_EQ(cxtest::ReadString(HKEY_LOCAL_MACHINE, kMachineProductKey, L"InstallDir"), kMsiDir + L"\\");
    EXPECT_EQ(Msiexec(L"/i", L"Corvane2User.msi", L"CX_CAPTION_LANGUAGE=de"), 0u);
    Lines runs = {L"/ni -> -2", L"/pv -> 0", L"/pi -> 0", L"/wv -> 0",
                  L"/wi -> 0",  L"/ov -> 0", L"/oi -> 0", L"/eide -> 0"};
    EXPECT_EQ(RunSummaries(ReadToolLog(toolLog)), runs);

    const Traces installed = TakeTraces();
    ASSERT_TRUE(installed.userPath);
    EXPECT_EQ(installed.userPath->Text(), kUserPath + L";" + kMsiDir);
    EXPECT_EQ(installed.menuEntries, Sorted(cxtest::kGermanCaptions));
    EXPECT_FALSE(cxtest::KeyExists(HKEY_CURRENT_USER, kWordAddinKey)) << "\"wi\" writes nothing there";
    const std::wstring corvane = L"\"" + kMsiDir + L"\\Corvane.exe\"";
    EXPECT_EQ(cxtest::ReadLines(kMsiDir + L"\\Corvane.exe.journal"), (Lines{corvane + L" /regserver"}));

    RemoveWord();
    EXPECT_EQ(Msiexec(L"/x", L"Corvane2User.msi"), 0u);
    EXPECT_EQ(StepLines(), (Lines{L"/eu -> 0: accepted", L"/ou -> 0: accepted", L"/wu -> 1: accepted"}));
    EXPECT_EQ(Msiexec(L"/x", L"Corvane2.msi"), 0u);
    for (const wchar_t* run : {L"/eu -> 0", L"/ou -> 0", L"/wu -> 1", L"/pu -> 0", L"/nu -> -2"})
        runs.push_back(run);
    EXPECT_EQ(RunSummaries(ReadToolLog(toolLog)), runs);

    // Everything as before; of the product's folder only the log and the stand-ins' journals are left.
    const Traces after = TakeTraces();
    EXPECT_EQ(after.keys, before.keys);
    EXPECT_EQ(after.menuEntries, before.menuEntries);
    ASSERT_TRUE(after.userPath);
    EXPECT_EQ(after.userPath->type, before.userPath->type);
    EXPECT_EQ(after.userPath->data, before.userPath->data);
    const bool x64 = wordtest::In64BitPrefix();
    Lines left = {L"CVWordAddin2.dll.journal", L"Corvane.exe.journal", L"Logs"};
    if (x64) left.push_back(L"x64");  // holding the 64-bit build's journal
    EXPECT_EQ(FilesIn(kMsiDir), left);
    EXPECT_EQ(cxtest::ReadLines(kMsiDir + L"\\Corvane.exe.journal"),
              (Lines{corvane + L" /regserver", corvane + L" /unregserver"}));
    // "wi" registered the library (on 64-bit Windows both builds) and Word loaded it; "wu" met no Word,
    // and the package's regsvr32 /u unregistered each (the 64-bit build with the 64-bit regsvr32).
    EXPECT_EQ(AddinCalls(kMsiDir + L"\\CVWordAddin2.dll.journal"), kRegisteredLoadedAndUnregistered);
    EXPECT_EQ(AddinCalls(kMsiDir + L"\\x64\\CVWordAddin2.dll.journal"),
              x64 ? kRegisteredAndUnregistered : Lines{});
}

// WPS is missing: its probe skips "pi", and the removal's "pu" gives 1, which it accepts. The package
// tool hangs: "oi" reaches its time limit with the PATH entry made, gives -2, and the per-user install
// fails; the undo of each step done, the failing one included, takes its change back.
TEST_F(InstallerTest, TheMsiPackagesSkipAMissingHostAndUndoAFailingStep) {
    cxtest::DeleteTree(HKEY_CLASSES_ROOT, L"WPS.Application");
    const Traces before = TakeTraces();
    const std::wstring toolLog = kMsiDir + L"\\Logs\\CXAddinReg.log";
    EXPECT_EQ(Msiexec(L"/i", L"Corvane2.msi", L"INSTALLDIR=\"" + kMsiDir + L"\""), 0u);
    EXPECT_EQ(StepLines(), (Lines{L"/ni -> -2: accepted", L"/pv -> 1: host missing, /pi skipped"}));

    WriterScene::ToolOutput(L"sleep_ms=600000\n");
    EXPECT_EQ(Msiexec(L"/i", L"Corvane2User.msi", L"CX_TIME_LIMIT=3"), 1603u);
    EXPECT_EQ(StepLines(), (Lines{L"/wv -> 0: host present", L"/wi -> 0: accepted", L"/ov -> 0: host present",
                                  L"/oi -> -2: not among 0,2, the step fails",
                                  // Wine runs every undo in the sequence, also of steps after the
                                  // failing one (Windows those it passed): "eu" finds nothing.
                                  L"/eu -> 0: accepted", L"/ov -> 0: host present", L"/ou -> -2: accepted",
                                  L"/wv -> 0: host present", L"/wu -> 0: accepted"}));
    // The tool's own log: "oi" had written the PATH entry when its time limit passed.
    const auto runs = ReadToolLog(toolLog);
    const auto oi =
        std::find_if(runs.begin(), runs.end(), [](const LoggedRun& run) { return run.switches == L"/oi"; });
    ASSERT_NE(oi, runs.end());
    EXPECT_EQ(oi->code, L"-2");
    EXPECT_THAT(oi->entries, Contains(HasSubstr(L"HKCU\\Environment \"PATH\"")));
    EXPECT_THAT(oi->entries, Contains(HasSubstr(L"deadline of 3 s passed")));
    // Word's add-in: registered by "wi" and loaded by Word, unregistered by its undo (on 64-bit Windows
    // both builds).
    EXPECT_EQ(AddinCalls(kMsiDir + L"\\CVWordAddin2.dll.journal"), kRegisteredLoadedAndUnregistered);
    EXPECT_EQ(AddinCalls(kMsiDir + L"\\x64\\CVWordAddin2.dll.journal"),
              wordtest::In64BitPrefix() ? kRegisteredAndUnregistered : Lines{});
    const Traces undone = TakeTraces();
    ASSERT_TRUE(undone.userPath);
    EXPECT_EQ(undone.userPath->Text(), before.userPath->Text());
    EXPECT_EQ(undone.menuEntries, before.menuEntries);
    EXPECT_FALSE(cxtest::KeyExists(HKEY_CURRENT_USER, kMachineProductKey))
        << "the per-user package is not installed";

    EXPECT_EQ(Msiexec(L"/x", L"Corvane2.msi"), 0u);
    EXPECT_EQ(StepLines(), (Lines{L"/pu -> 1: accepted", L"/nu -> -2: accepted"}));
    EXPECT_EQ(TakeTraces().keys, before.keys);
}

// With CX_ALL_USERS the per-machine package runs the per-user steps for every user of the machine, as
// a deployment running as LocalSystem needs: the Word add-in in the machine's key, the folder on the
// system PATH and the extension shared, the browser entries through Active Setup. The user's hive is
// the same before, between and after.
TEST_F(InstallerTest, ThePerMachinePackageForAllUsersInstallsAndRemovesWithoutTouchingTheUsersHive) {
    const std::wstring toolLog = kMsiDir + L"\\Logs\\CXAddinReg.log";
    const auto hive = cxtest::ExportTree(HKEY_CURRENT_USER, L"");
    const std::wstring systemPath = systemPath_ ? systemPath_->Text() : L"";
    EXPECT_EQ(Msiexec(L"/i", L"Corvane2.msi",
                      L"INSTALLDIR=\"" + kMsiDir + L"\" CX_ALL_USERS=1 CX_CAPTION_LANGUAGE=de"),
              0u);
    EXPECT_EQ(StepLines(),
              (Lines{L"/ni -> -2: accepted", L"/pv -> 0: host present", L"/pi -> 0: accepted",
                     L"/wv -> 0: host present", L"/am /wi -> 0: accepted", L"/ov -> 0: host present",
                     L"/am /oi -> 0: accepted", L"/am /eide -> 0: accepted"}));
    EXPECT_EQ(cxtest::ReadDword(HKEY_LOCAL_MACHINE, kWordAddinKey, L"LoadBehavior"), 3u);
    EXPECT_EQ(cxtest::ReadString(HKEY_LOCAL_MACHINE, kSystemEnvironment, L"PATH"),
              systemPath + L";" + kMsiDir);
    const std::wstring packageTool = L"\"" + WriterScene::SuitePath(L"unopkg.com") + L"\"";
    EXPECT_EQ(WriterScene::ToolCommandLines(),
              (Lines{packageTool + L" add --shared -f \"" + kMsiDir + L"\\CVOOAddin.oxt\""}));
    EXPECT_THAT(cxtest::ReadString(HKEY_LOCAL_MACHINE, kActiveSetupComponent, L"StubPath", KEY_WOW64_64KEY),
                testing::Optional(HasSubstr(L"\\MenuExt\\" + cxtest::kGermanCaptions[0] + L"\" /ve")));
    EXPECT_THAT(cxtest::ReadLines(kWordDir + L"\\WordStandin.exe.journal"),
                testing::Not(Contains(HasSubstr(L"COMAddIns"))))
        << "no automation";
    EXPECT_TRUE(cxtest::ExportTree(HKEY_CURRENT_USER, L"") == hive)
        << "HKEY_CURRENT_USER changed by the install";

    EXPECT_EQ(Msiexec(L"/x", L"Corvane2.msi"), 0u);
    EXPECT_EQ(StepLines(), (Lines{L"/am /eu -> 0: accepted", L"/am /ou -> 0: accepted",
                                  L"/am /wu -> 0: accepted", L"/pu -> 0: accepted", L"/nu -> -2: accepted"}));
    EXPECT_FALSE(cxtest::KeyExists(HKEY_LOCAL_MACHINE, kWordAddinKey));
    EXPECT_EQ(cxtest::ReadString(HKEY_LOCAL_MACHINE, kSystemEnvironment, L"PATH"), systemPath);
    EXPECT_EQ(WriterScene::ToolCommandLines().back(), packageTool + L" remove --shared \"CVOOAddin.oxt\"");
    // The component stays, its command now deleting the entries of whoever had them.
    EXPECT_THAT(
        cxtest::ReadString(HKEY_LOCAL_MACHINE, kActiveSetupComponent, L"StubPath", KEY_WOW64_64KEY),
        testing::Optional(HasSubstr(L"delete \"HKCU\\Software\\Microsoft\\Internet Explorer\\MenuExt\\" +
                                    cxtest::kGermanCaptions[0])));
    EXPECT_FALSE(cxtest::ReadString(HKEY_LOCAL_MACHINE, kMachineProductKey, L"AllUsers"));
    EXPECT_TRUE(cxtest::ExportTree(HKEY_CURRENT_USER, L"") == hive)
        << "HKEY_CURRENT_USER changed by the removal";
}

}  // namespace
