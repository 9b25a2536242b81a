// Shared by the Word end-to-end tests: an install folder holding the tool, the main application, the
// add-in library and the Word stand-in, registered as "Word.Application"; the stand-ins' journals; and
// the check that every Word the tool started was let go again (under Wine a server whose client leaked
// a reference keeps running, so a server still running after the tool ended is a failure).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/install_folder.h"
#include "support/registry_probe.h"
#include "support/text_file.h"
#include "support/tool_process.h"

namespace wordtest {

inline constexpr wchar_t kAddinKey[] = L"Software\\Microsoft\\Office\\Word\\Addins\\CVWordAddin2.WordAddIn2";
inline constexpr wchar_t kCurVerKey[] = L"Word.Application\\CurVer";
inline constexpr std::int32_t kNothingDone = -2;
// A Word the tool starts hears this first: it must ask nobody anything.
inline constexpr wchar_t kAlertsOff[] = L"Application.DisplayAlerts put VT_I4 0";
inline constexpr wchar_t kQuitCall[] =
    L"Application.Quit method VT_I4 0, VT_ERROR 0x80020004, VT_ERROR 0x80020004";
// What the add-in library stand-in registers (both builds): its ProgID and its class.
inline constexpr wchar_t kAddinProgId[] = L"CVWordAddin2.WordAddIn2";
inline constexpr wchar_t kAddinClassKey[] = L"CLSID\\{6D2E1F37-0B5C-4E86-A1D4-3C9B7E52F0A8}";
inline constexpr char kNeeds64BitPrefix[] =
    "needs a 64-bit (WoW64) prefix, where the registry has two views: ctest --preset windows-win64";

// The tests are 32-bit programs like the tool, so they run under WOW64 exactly in a 64-bit prefix.
inline bool In64BitPrefix() {
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

inline bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

inline bool Contains(const std::vector<std::wstring>& lines, const std::wstring& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Lines of the Word stand-in's journal that record calls, not the server's own life.
inline std::vector<std::wstring> CallsOnly(const std::vector<std::wstring>& lines) {
    std::vector<std::wstring> calls;
    for (const std::wstring& line : lines) {
        const bool life = line == L"ready" || line == L"CreateInstance" || line == L"released" ||
                          StartsWith(line, L"start ") || StartsWith(line, L"exit ") ||
                          StartsWith(line, L"regserver ") || StartsWith(line, L"unregserver ");
        if (!life) calls.push_back(line);
    }
    return calls;
}

// The system's text for a code, trimmed as the tool trims it; computed here because Wine's texts
// differ from Windows'.
inline std::wstring SystemText(DWORD code) {
    wchar_t buffer[256];
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                          code, 0, buffer, 256, nullptr);
    std::wstring text(buffer, length);
    while (!text.empty() && (text.back() <= L' ' || text.back() == L'.')) text.pop_back();
    return text;
}

// The text the tool shows for a failing HRESULT: the system's, else "OLE error %.8x".
inline std::wstring OleErrorText(HRESULT hr) {
    std::wstring text = SystemText(static_cast<DWORD>(hr));
    if (!text.empty()) return text;
    wchar_t fallback[32];
    ::swprintf(fallback, 32, L"OLE error %.8x", static_cast<unsigned>(hr));
    return fallback;
}

// The error box for an add-in library that cannot be loaded, as ever when Word's bitness is unknown.
inline std::wstring LibraryNotFoundText() {
    return SystemText(ERROR_MOD_NOT_FOUND) + L": CVWordAddin2.dll";
}

// The error box for a Word of `bits` whose build of the add-in library (at `path`) is not shipped.
inline std::wstring NeedsLibraryText(int bits, const std::wstring& path) {
    const std::wstring b = std::to_wstring(bits);
    return L"This MS Word is " + b + L"-bit and needs the " + b + L"-bit add-in library \"" + path +
           L"\", which is missing or not a " + b + L"-bit library";
}

class WordTest : public ::testing::Test {
protected:
    explicit WordTest(const std::wstring& leaf) : folder_(leaf) {
        folder_.AddStandin(L"Corvane.exe");
        folder_.AddStandin(L"CVWordAddin2.dll");
        folder_.AddStandin(L"WordStandin.exe");
    }

    void SetUp() override {
        cxtest::DeleteTree(HKEY_CURRENT_USER, kAddinKey);
        ASSERT_EQ(cxtest::RunProgram(Path(L"WordStandin.exe"), L"/regserver").exitCode, 0);
        // The journal starts with what the tool makes Word do.
        cxtest::DeleteFileIfPresent(Path(L"WordStandin.exe.journal"));
        Scenario({});
    }

    void TearDown() override {
        StopRunningWord();
        ExpectStartedWordsEnded();
        for (const std::wstring& line : WordJournal()) {
            EXPECT_FALSE(StartsWith(line, L"scenario-error")) << "a mistyped scenario: " << Text(line);
        }
        cxtest::RunProgram(Path(wordExe_), L"/unregserver");
        cxtest::DeleteTree(HKEY_CURRENT_USER, kAddinKey);
        cxtest::DeleteTree(HKEY_CLASSES_ROOT, kAddinProgId);
        for (const REGSAM view : {0, KEY_WOW64_64KEY})
            cxtest::DeleteTree(HKEY_CLASSES_ROOT, kAddinClassKey, view);
    }

    std::wstring Path(const std::wstring& name) const { return folder_.Path(name); }
    static std::string Text(const std::wstring& wide) { return ::testing::PrintToString(wide); }

    cxtest::RunResult Run(const std::wstring& args, const cxtest::RunOptions& options = {}) const {
        return cxtest::RunProgram(folder_.Tool(), args, options);
    }

    // Scenario lines for the Word stand-in, with a safety exit for a server nobody stops.
    void Scenario(std::initializer_list<std::wstring> lines) const {
        std::wstring text = L"timeout=20\n";
        for (const std::wstring& line : lines) text += line + L"\n";
        cxtest::WriteTextFile(Path(L"WordStandin.exe.scenario"), text);
    }

    // Word stays registered, but its server program is gone.
    void MakeWordNotCreatable() {
        ASSERT_TRUE(::MoveFileW(Path(L"WordStandin.exe").c_str(), Path(L"WordStandin.gone.exe").c_str()));
        wordExe_ = L"WordStandin.gone.exe";
    }

    void SetWordVersion(const std::wstring& curVer) const {
        cxtest::WriteString(HKEY_CLASSES_ROOT, kCurVerKey, L"", curVer);
    }

    std::vector<std::wstring> WordJournal() const {
        return cxtest::ReadLines(Path(L"WordStandin.exe.journal"));
    }
    std::vector<std::wstring> WordCalls() const { return CallsOnly(WordJournal()); }
    std::vector<std::wstring> AddinJournal() const {
        return cxtest::ReadLines(Path(L"CVWordAddin2.dll.journal"));
    }
    // The tool registered the library (its first lines), then Word loaded it: Word's lines follow.
    void ExpectRegisteredAndLoadedByWord() const {
        const auto lines = AddinJournal();
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(std::vector<std::wstring>(lines.begin(), lines.begin() + 3),
                  (std::vector<std::wstring>{L"load", L"DllRegisterServer", L"unload"}));
        EXPECT_TRUE(Contains(lines, L"OnConnection bits=32 mode=0")) << "Word did not load the add-in";
    }
    std::vector<std::wstring> AppJournal() const { return cxtest::ReadLines(Path(L"Corvane.exe.journal")); }
    std::wstring AppCall(const std::wstring& word) const {
        return L"\"" + Path(L"Corvane.exe") + L"\" /" + word;
    }

    bool WordWasStartedByCom() const {
        const auto lines = WordJournal();
        return std::any_of(lines.begin(), lines.end(), [](const std::wstring& line) {
            return StartsWith(line, L"start mode=embedding");
        });
    }

    // Makes the named stand-ins journal into one file, so that its lines show the order of events
    // across processes.
    void ShareJournal(std::initializer_list<std::wstring> names) const {
        const std::wstring shared = Path(L"shared.journal");
        cxtest::WriteTextFile(shared, L"");
        for (const std::wstring& name : names) {
            const std::wstring journal = Path(name + L".journal");
            cxtest::DeleteFileIfPresent(journal);
            ASSERT_TRUE(::CreateHardLinkW(journal.c_str(), shared.c_str(), nullptr)) << ::GetLastError();
        }
    }
    std::vector<std::wstring> SharedJournal() const { return cxtest::ReadLines(Path(L"shared.journal")); }

    // A Word the user started: published in the running object table until the stop file appears.
    void StartRunningWord() { StartWordProcess(L"WordStandin.exe", L"/running"); }

    // A Word the user started that the elevated tool cannot reach: a process under Word's own program
    // name, in no running object table. It journals into WINWORD.EXE.journal.
    void StartUnreachableWord() {
        folder_.AddStandin(L"WordStandin.exe", L"WINWORD.EXE");
        StartWordProcess(L"WINWORD.EXE", L"/unreachable");
    }

    void StopRunningWord() {
        if (!running_) return;
        const std::wstring stopFile = Path(runningExe_ + L".stop");
        cxtest::WriteTextFile(stopFile, L"");
        if (::WaitForSingleObject(running_, 10000) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "the running Word stand-in did not stop";
            ::TerminateProcess(running_, 1);
        }
        ::CloseHandle(running_);
        running_ = nullptr;
        cxtest::DeleteFileIfPresent(stopFile);
    }

    void StartWordProcess(const std::wstring& exe, const std::wstring& mode) {
        runningExe_ = exe;
        running_ = cxtest::StartProgram(L"\"" + Path(exe) + L"\" " + mode);
        ASSERT_TRUE(running_);
        const std::wstring journal = Path(exe + L".journal");
        const ULONGLONG deadline = ::GetTickCount64() + 10000;
        while (!Contains(cxtest::ReadLines(journal), L"ready")) {
            ASSERT_LT(::GetTickCount64(), deadline)
                << "the Word stand-in " << Text(exe) << " did not get ready";
            ::Sleep(10);
        }
    }

    // The user's Word got back every object the tool obtained from it: its last line is "released"
    // (the release of the application itself is not visible to it under Wine).
    bool WaitForWordReleased() const {
        return WaitForWord(
            [](const std::vector<std::wstring>& lines) {
                return !lines.empty() && lines.back() == L"released";
            },
            3000);
    }

    template <typename Predicate>
    bool WaitForWord(Predicate done, DWORD timeoutMs) const {
        const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
        while (!done(WordJournal())) {
            if (::GetTickCount64() >= deadline) return false;
            ::Sleep(10);
        }
        return true;
    }

    // Every Word that COM started for the tool must end once the tool let go of it: by the release of
    // the last reference, or by Quit after the releases came. A leaked reference shows as a server
    // that waits out its grace time (exit after Quit without "released") or keeps running.
    void ExpectStartedWordsEnded() const {
        for (const std::wstring& line : WordJournal()) {
            if (!StartsWith(line, L"start mode=embedding pid=")) continue;
            const DWORD pid = static_cast<DWORD>(std::stoul(line.substr(line.find(L"pid=") + 4)));
            if (HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, pid)) {
                const DWORD waited = ::WaitForSingleObject(process, 8000);
                ::CloseHandle(process);
                if (waited != WAIT_OBJECT_0) {
                    ADD_FAILURE() << "Word stand-in " << pid << " still runs: the tool kept a reference";
                    cxtest::WriteTextFile(Path(L"WordStandin.exe.stop"), L"");
                    ::Sleep(500);
                    cxtest::DeleteFileIfPresent(Path(L"WordStandin.exe.stop"));
                }
            }
        }
        const auto lines = WordJournal();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (!StartsWith(lines[i], L"exit reason=") || StartsWith(lines[i], L"exit reason=stopfile"))
                continue;
            // Other stand-ins may share the journal: look for the release between Quit and the exit.
            bool released = lines[i] == L"exit reason=released";
            for (std::size_t k = i; !released && k-- > 0 && !StartsWith(lines[k], L"Application.Quit ");) {
                released = lines[k] == L"released";
            }
            EXPECT_TRUE(released) << "Word stand-in ended by " << Text(lines[i])
                                  << " without the tool's releases: a reference was kept";
        }
    }

    cxtest::InstallFolder folder_;
    HANDLE running_ = nullptr;
    std::wstring runningExe_;
    std::wstring wordExe_ = L"WordStandin.exe";
};

// Answers the interactive prompt with `answer` and every later box with its first button.
inline cxtest::RunOptions Answer(int answer) {
    cxtest::RunOptions options;
    options.onBox = [answer, first = true](const cxtest::BoxInfo& box) mutable {
        const int button = first ? answer : box.ButtonIds().front();
        first = false;
        return button;
    };
    return options;
}

}  // namespace wordtest
