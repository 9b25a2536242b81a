// "am": the integration for every user of the machine, as a deployment running as LocalSystem installs
// it. Every such run leaves the user's hive (HKEY_CURRENT_USER) exactly as it was; the machine's keys,
// their registry view, the stand-ins' journals and, for the browser entries, what Windows' Active
// Setup does at each user's logon (Wine never runs it, so the test does it as Windows describes) show
// what every user gets.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "e2e/word_fixture.h"
#include "e2e/writer_suite.h"
#include "translation/shipped_captions.h"
#include "translation/translation_paths.h"

namespace {

using ::testing::HasSubstr;
using wordtest::In64BitPrefix;
using writertest::TextOf;
using writertest::WriterScene;

const HKEY kMachine = HKEY_LOCAL_MACHINE;
const HKEY kUser = HKEY_CURRENT_USER;
constexpr REGSAM kViews[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};

// Runs the tool and checks that it left the user's whole hive as it was.
cxtest::RunResult RunForAllUsers(const std::wstring& tool, const std::wstring& args) {
    const auto before = cxtest::ExportTree(kUser, L"");
    const auto run = cxtest::RunProgram(tool, args);
    const auto after = cxtest::ExportTree(kUser, L"");
    EXPECT_TRUE(after == before) << "HKEY_CURRENT_USER changed by " << ::testing::PrintToString(args);
    EXPECT_TRUE(run.boxes.empty());
    return run;
}

// --- Word: the machine's add-in key, in the view of the Word found, and the library; no automation.

class AllUsersWord : public wordtest::WordTest {
protected:
    AllUsersWord() : WordTest(L"all users word") {}
    void SetUp() override {
        WordTest::SetUp();
        DeleteMachineKeys();
    }
    void TearDown() override {
        WordTest::TearDown();
        DeleteMachineKeys();
    }
    static void DeleteMachineKeys() {
        for (const REGSAM view : kViews) cxtest::DeleteTree(kMachine, wordtest::kAddinKey, view);
    }
    cxtest::RunResult RunAll(const std::wstring& args) const { return RunForAllUsers(folder_.Tool(), args); }
    // Word becomes the 64-bit stand-in, and the 64-bit build of the library is shipped.
    void Use64BitWord() {
        ASSERT_EQ(cxtest::RunProgram(Path(L"WordStandin.exe"), L"/unregserver").exitCode, 0);
        folder_.AddStandin(L"x64\\WordStandin.exe", L"WordStandin.exe");
        ASSERT_EQ(cxtest::RunProgram(Path(L"WordStandin.exe"), L"/regserver").exitCode, 0);
        cxtest::MakeDirs(Path(L"x64"));
        folder_.AddStandin(L"x64\\CVWordAddin2.dll", L"x64\\CVWordAddin2.dll");
    }
};

// Each user's Word loads the add-in at its next start from the machine's key in its own view (a
// 32-bit Word on 64-bit Windows: Wow6432Node), unless the user switched it off; removal takes the key
// out of both views. No Word is reached meanwhile. The 64-bit Word exists in a 64-bit prefix only.
TEST_F(AllUsersWord, EveryUsersWordLoadsTheAddinAtItsNextStartAndRemovalTakesItAway) {
    for (const int bits : In64BitPrefix() ? std::vector<int>{32, 64} : std::vector<int>{32}) {
        SCOPED_TRACE(bits);
        const REGSAM view = bits == 64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
        const std::wstring journal =
            Path(bits == 64 ? L"x64\\CVWordAddin2.dll.journal" : L"CVWordAddin2.dll.journal");
        if (bits == 64) Use64BitWord();
        EXPECT_EQ(RunAll(L"/am /wi").exitCode, 0);
        const auto loadBehavior = cxtest::ReadValue(kMachine, wordtest::kAddinKey, L"LoadBehavior", view);
        ASSERT_TRUE(loadBehavior);
        EXPECT_EQ(loadBehavior->type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(loadBehavior->Dword(), 3u);
        EXPECT_EQ(cxtest::ReadString(kMachine, wordtest::kAddinKey, L"FriendlyName", view), L"Corvane2");
        if (In64BitPrefix()) {
            EXPECT_FALSE(cxtest::KeyExists(kMachine, wordtest::kAddinKey, view ^ kViews[0] ^ kViews[1]));
        }
        EXPECT_TRUE(WordCalls().empty()) << "no automation";

        const std::wstring loaded = L"OnConnection bits=" + std::to_wstring(bits) + L" mode=1";
        StartRunningWord();
        StopRunningWord();
        EXPECT_EQ(cxtest::CountLinesWith(journal, loaded), 1);
        cxtest::WriteDword(kUser, wordtest::kAddinKey, L"LoadBehavior", 2);
        StartRunningWord();
        StopRunningWord();
        EXPECT_EQ(cxtest::CountLinesWith(journal, loaded), 1) << "the user's LoadBehavior wins";
        cxtest::DeleteTree(kUser, wordtest::kAddinKey);

        cxtest::WriteString(kMachine, wordtest::kAddinKey, L"FriendlyName", L"x", REG_SZ,
                            view ^ kViews[0] ^ kViews[1]);
        EXPECT_EQ(RunAll(L"/am /wu").exitCode, 0);
        EXPECT_EQ(cxtest::CountLinesWith(journal, L"DllUnregisterServer"), 1);
        for (const REGSAM each : kViews) EXPECT_FALSE(cxtest::KeyExists(kMachine, wordtest::kAddinKey, each));
    }
}

// A Word process of some user runs: it loads the add-in only when it starts again.
TEST_F(AllUsersWord, AWordRunningInAnySessionGivesTwo) {
    StartUnreachableWord();
    EXPECT_EQ(RunAll(L"/am /wi").exitCode, 2);
    EXPECT_EQ(cxtest::ReadDword(kMachine, wordtest::kAddinKey, L"LoadBehavior"), 3u);
}

TEST_F(AllUsersWord, WithoutWordInstallDoesNothingAndRemovalStillDeletesTheKey) {
    SetWordVersion(L"Word.Application.8");
    EXPECT_EQ(RunAll(L"/am /wi").exitCode, 1);
    for (const REGSAM view : kViews) EXPECT_FALSE(cxtest::KeyExists(kMachine, wordtest::kAddinKey, view));
    cxtest::WriteDword(kMachine, wordtest::kAddinKey, L"LoadBehavior", 3);
    EXPECT_EQ(RunAll(L"/am /wu").exitCode, 1);
    EXPECT_FALSE(cxtest::KeyExists(kMachine, wordtest::kAddinKey));
    EXPECT_TRUE(AddinJournal().empty()) << "the library is left as \"wu\" leaves it";
    SetWordVersion(L"Word.Application.11");
}

// --- Writer: the system PATH and the shared extension package.

const std::wstring kSystemEnvironment = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

class AllUsersWriter : public ::testing::Test {
protected:
    AllUsersWriter() : systemPath_(SystemPath()) {}
    ~AllUsersWriter() override {
        if (systemPath_) {
            cxtest::WriteRaw(kMachine, kSystemEnvironment, L"PATH", systemPath_->type,
                             systemPath_->data.data(), static_cast<DWORD>(systemPath_->data.size()));
        }
    }
    static std::optional<cxtest::RegValue> SystemPath() {
        return cxtest::ReadValue(kMachine, kSystemEnvironment, L"PATH");
    }
    static void SetSystemPath(const std::wstring& text, DWORD type = REG_EXPAND_SZ) {
        cxtest::WriteString(kMachine, kSystemEnvironment, L"PATH", text, type);
    }
    cxtest::RunResult RunAll(const std::wstring& args) const {
        return RunForAllUsers(scene_.Folder().Tool(), args);
    }

    std::optional<cxtest::RegValue> systemPath_;
    WriterScene scene_{L"all users writer"};
};

// The folder on the system PATH (its type kept) and the package shared; nothing while the suite runs.
TEST_F(AllUsersWriter, TheFolderGoesOnTheSystemPathAndThePackageIsSharedUnlessTheSuiteRuns) {
    scene_.InstallSuite();
    SetSystemPath(L"%SystemRoot%\\system32;C:\\A");
    const std::wstring tool = WriterScene::SuitePath(L"unopkg.com");
    {
        const writertest::BroadcastCounter broadcasts;
        EXPECT_EQ(RunAll(L"/am /oi").exitCode, 0);
        EXPECT_EQ(broadcasts.Count(), 1);
    }
    const auto added = SystemPath();
    ASSERT_TRUE(added);
    EXPECT_EQ(added->type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(added->Text(), L"%SystemRoot%\\system32;C:\\A;" + scene_.DirEntry());
    EXPECT_EQ(RunAll(L"/am /ou").exitCode, 0);
    EXPECT_EQ(TextOf(SystemPath()), L"%SystemRoot%\\system32;C:\\A");
    EXPECT_EQ(SystemPath()->type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(WriterScene::ToolCommandLines(),
              (std::vector<std::wstring>{
                  L"\"" + tool + L"\" add --shared -f \"" + scene_.Folder().Path(L"CVOOAddin.oxt") + L"\"",
                  L"\"" + tool + L"\" remove --shared \"CVOOAddin.oxt\""}));

    // While the suite runs in some session nothing changes.
    WriterScene::ClearToolJournal();
    scene_.StartOffice(L"component=text\n");
    for (const wchar_t* args : {L"/am /oi", L"/am /ou"}) {
        EXPECT_EQ(RunAll(args).exitCode, 1) << ::testing::PrintToString(args);
        EXPECT_EQ(TextOf(SystemPath()), L"%SystemRoot%\\system32;C:\\A");
    }
    EXPECT_TRUE(WriterScene::ToolJournal().empty());
}

// Another program rewrites the system PATH while "am oi" edits it; what it wrote stays.
TEST_F(AllUsersWriter, AProgramRewritingTheSystemPathMeanwhileKeepsItsText) {
    const std::wstring other = L"C:\\Other\\bin";
    const std::wstring longer = other + L";D:\\" + std::wstring(4000, L'x');
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        SetSystemPath(other, REG_SZ);
        std::atomic<bool> done{false};
        std::thread writer([&] {
            for (int i = 0; !done; ++i) {
                const std::wstring seen = TextOf(SystemPath());
                if (seen != other && seen != longer) break;
                SetSystemPath(i % 2 ? longer : other, REG_SZ);
            }
        });
        EXPECT_EQ(RunAll(L"/am /oi").exitCode, 1) << "no package tool";
        done = true;
        writer.join();
        const std::wstring path = TextOf(SystemPath());
        EXPECT_TRUE(path.rfind(other + L";", 0) == 0 || path == other) << ::testing::PrintToString(path);
    }
}

// --- The browser entries through Active Setup.

const std::wstring kComponent =
    L"Software\\Microsoft\\Active Setup\\Installed Components\\{0F585D00-D935-4E5F-B38C-32E0B8B0C908}";
const std::wstring kMenuExt = L"Software\\Microsoft\\Internet Explorer\\MenuExt";
// Windows processes the components of its own view.
constexpr REGSAM kNativeView = KEY_WOW64_64KEY;

// A version as Windows compares it: up to four numbers separated by commas, part by part.
std::vector<unsigned long> VersionParts(const std::wstring& text) {
    std::vector<unsigned long> parts;
    for (std::size_t at = 0; at <= text.size() && parts.size() < 4;) {
        const std::size_t comma = std::min(text.find(L',', at), text.size());
        parts.push_back(std::wcstoul(text.substr(at, comma - at).c_str(), nullptr, 10));
        at = comma + 1;
    }
    parts.resize(4, 0);
    return parts;
}

// What Windows does for the component when a user logs on: when it is installed and the machine's
// version is higher than the one recorded for the user (or none is), it runs the StubPath as the
// user, expanded, and then records the machine's version for the user. Whether it ran.
bool LogOn() {
    const auto installed = cxtest::ReadValue(kMachine, kComponent, L"IsInstalled", kNativeView);
    if (!installed || installed->Dword() == 0) return false;
    const std::wstring version =
        cxtest::ReadString(kMachine, kComponent, L"Version", kNativeView).value_or(L"");
    const auto recorded = cxtest::ReadString(kUser, kComponent, L"Version");
    if (recorded && VersionParts(*recorded) >= VersionParts(version)) return false;
    const auto stubPath = cxtest::ReadValue(kMachine, kComponent, L"StubPath", kNativeView);
    EXPECT_TRUE(stubPath && stubPath->type == REG_EXPAND_SZ);
    if (!stubPath) return false;
    wchar_t command[32768];
    EXPECT_GT(::ExpandEnvironmentStringsW(stubPath->Text().c_str(), command, 32768), 0u);
    const HANDLE process = cxtest::StartProgram(command);
    if (!process) return false;
    EXPECT_EQ(::WaitForSingleObject(process, 60000), WAIT_OBJECT_0);
    ::CloseHandle(process);
    cxtest::WriteString(kUser, kComponent, L"Version", version);
    return true;
}

class AllUsersBrowser : public ::testing::Test {
protected:
    AllUsersBrowser() : folder_(L"all users browser") {
        for (const wchar_t* language : {L"de", L"zh_CN"}) {
            cxtest::MakeDirs(folder_.Dir() + L"locale\\" + language + L"\\LC_MESSAGES");
            folder_.CopyIn(cxtest::ShippedCatalogue(language),
                           L"locale\\" + std::wstring(language) + L"\\LC_MESSAGES\\CXAddinReg.mo");
        }
        Clean();
    }
    ~AllUsersBrowser() override { Clean(); }
    static void Clean() {
        for (const REGSAM view : kViews) cxtest::DeleteTree(kMachine, kComponent, view);
        cxtest::DeleteTree(kUser, kComponent);
        cxtest::DeleteTree(kUser, kMenuExt);
    }
    // Another user: the same machine, without this user's record and entries.
    static void NextUser() {
        cxtest::DeleteTree(kUser, kComponent);
        cxtest::DeleteTree(kUser, kMenuExt);
    }
    cxtest::RunResult RunAll(const std::wstring& args) const { return RunForAllUsers(folder_.Tool(), args); }
    static std::wstring Version() {
        return cxtest::ReadString(kMachine, kComponent, L"Version", kNativeView).value_or(L"(none)");
    }

    // Exactly these entries under MenuExt, each as "ei" writes it.
    void ExpectEntries(std::vector<std::wstring> captions) const {
        auto names = cxtest::SubKeys(kUser, kMenuExt);
        std::sort(names.begin(), names.end());
        std::sort(captions.begin(), captions.end());
        EXPECT_EQ(names, captions);
        for (const std::wstring& caption : names) {
            EXPECT_THAT(TextOf(cxtest::ReadValue(kUser, kMenuExt + L"\\" + caption, L"")),
                        ::testing::StartsWith(folder_.Dir() + L"BrowserExt\\IEContext_"));
            EXPECT_EQ(cxtest::ReadDword(kUser, kMenuExt + L"\\" + caption, L"Contexts"), 57u);
        }
    }

    cxtest::InstallFolder folder_;
};

TEST_F(AllUsersBrowser, EveryUserGetsTheEntriesAtLogonAndLosesThemAfterRemoval) {
    EXPECT_EQ(RunAll(L"/am /eu").exitCode, 0);
    for (const REGSAM view : kViews)
        EXPECT_FALSE(cxtest::KeyExists(kMachine, kComponent, view)) << "no component";
    EXPECT_EQ(RunAll(L"/am /eizh_CN").exitCode, 0);
    EXPECT_EQ(Version(), L"1,0,0,0");
    // In a 64-bit prefix this 32-bit test's own view is the other one, and it holds nothing.
    EXPECT_EQ(cxtest::ReadDword(kMachine, kComponent, L"IsInstalled"),
              In64BitPrefix() ? std::nullopt : std::optional<std::uint32_t>(1u));
    EXPECT_TRUE(cxtest::SubKeys(kUser, kMenuExt).empty()) << "nothing for the user before the logon";
    ASSERT_TRUE(LogOn());
    ExpectEntries(cxtest::kChineseCaptions);
    EXPECT_FALSE(LogOn()) << "the recorded version is the machine's";

    NextUser();
    ASSERT_TRUE(LogOn());
    ExpectEntries(cxtest::kChineseCaptions);

    // Another language replaces the entries; then removal takes them from everyone who logs on.
    EXPECT_EQ(RunAll(L"/am /eide").exitCode, 0);
    EXPECT_EQ(Version(), L"1,0,0,1");
    ASSERT_TRUE(LogOn());
    ExpectEntries(cxtest::kGermanCaptions);
    EXPECT_EQ(RunAll(L"/am /eu").exitCode, 0);
    EXPECT_EQ(Version(), L"1,0,0,2");
    ASSERT_TRUE(LogOn());
    ExpectEntries({});
    // A user who had the Chinese entries and logs on only now loses them as well.
    NextUser();
    for (const std::wstring& caption : cxtest::kChineseCaptions) {
        cxtest::WriteString(kUser, kMenuExt + L"\\" + caption, L"", L"x");
    }
    ASSERT_TRUE(LogOn());
    ExpectEntries({});
    EXPECT_TRUE(cxtest::KeyExists(kMachine, kComponent, kNativeView))
        << "the component stays for later users";
}

}  // namespace
