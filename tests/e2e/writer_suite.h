// Shared by the Writer end-to-end tests: the product folder with the extension package, a stand-in
// office suite in a folder of its own (its package tool, its automation server, its running process),
// the user's environment key saved and restored around each test, and a window that counts the
// environment broadcasts.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/install_folder.h"
#include "support/registry_probe.h"
#include "support/text_file.h"
#include "support/tool_process.h"

namespace writertest {

inline constexpr wchar_t kEnvironmentKey[] = L"Environment";
inline constexpr wchar_t kSuiteServerKey[] = L"CLSID\\{82154420-0FBF-11d4-8313-005004526AB4}\\LocalServer32";
inline constexpr wchar_t kSuiteDir[] = L"C:\\Program Files\\Office Standin\\program\\";
inline constexpr std::int32_t kNothingDone = -2;

// Every value of a key, to put back exactly as it was.
struct SavedValue {
    std::wstring name;
    cxtest::RegValue value;
};

inline std::vector<SavedValue> SaveValues(HKEY root, const std::wstring& path) {
    std::vector<SavedValue> saved;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return saved;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD length = 16384;
        if (::RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (auto value = cxtest::ReadValue(root, path, std::wstring(name, length))) {
            saved.push_back({std::wstring(name, length), *value});
        }
    }
    ::RegCloseKey(key);
    return saved;
}

inline void RestoreValues(HKEY root, const std::wstring& path, const std::vector<SavedValue>& saved) {
    cxtest::DeleteTree(root, path);
    cxtest::CreateKey(root, path);
    for (const SavedValue& entry : saved) {
        cxtest::WriteRaw(root, path, entry.name, entry.value.type, entry.value.data.data(),
                         static_cast<DWORD>(entry.value.data.size()));
    }
}

// A hidden top-level window on a thread of its own that counts WM_SETTINGCHANGE for "Environment",
// answering each after `answerAfterMs`, as a busy program does.
class BroadcastCounter {
public:
    explicit BroadcastCounter(DWORD answerAfterMs = 0) : answerAfterMs_(answerAfterMs) {
        thread_ = std::thread([this] { Run(); });
        while (!ready_) ::Sleep(5);
    }
    ~BroadcastCounter() {
        ::PostMessageW(window_, WM_CLOSE, 0, 0);
        thread_.join();
    }
    int Count() const { return count_; }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
        auto* self = reinterpret_cast<BroadcastCounter*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_SETTINGCHANGE && self && lparam &&
            std::wstring(reinterpret_cast<const wchar_t*>(lparam)) == L"Environment") {
            ++self->count_;
            ::Sleep(self->answerAfterMs_);
        }
        if (message == WM_DESTROY) ::PostQuitMessage(0);
        return ::DefWindowProcW(hwnd, message, wparam, lparam);
    }
    void Run() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Procedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"WriterTestBroadcastCounter";
        ::RegisterClassW(&windowClass);
        window_ = ::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 1, 1, nullptr,
                                    nullptr, windowClass.hInstance, nullptr);
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ready_ = true;
        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    }

    DWORD answerAfterMs_;
    std::thread thread_;
    HWND window_ = nullptr;
    std::atomic<bool> ready_{false};
    std::atomic<int> count_{0};
};

// The product's folder (with blanks in its path) and, on demand, the office suite.
class WriterScene {
public:
    explicit WriterScene(const std::wstring& leaf = L"writer")
        : environment_(SaveValues(HKEY_CURRENT_USER, kEnvironmentKey)), folder_(leaf) {
        cxtest::WriteTextFile(folder_.Path(L"CVOOAddin.oxt"), L"PK");
        cxtest::DeleteTree(HKEY_CLASSES_ROOT, L"CLSID\\{82154420-0FBF-11d4-8313-005004526AB4}");
    }
    ~WriterScene() {
        StopSofficeBin();
        if (officeRegistered_) RunWait(SuitePath(L"OfficeStandin.exe"), L"/unregserver");
        cxtest::DeleteTree(HKEY_CLASSES_ROOT, L"CLSID\\{82154420-0FBF-11d4-8313-005004526AB4}");
        cxtest::RemoveTree(std::wstring(kSuiteDir).substr(0, std::wcslen(kSuiteDir) - 1));
        RestoreValues(HKEY_CURRENT_USER, kEnvironmentKey, environment_);
    }
    WriterScene(const WriterScene&) = delete;
    WriterScene& operator=(const WriterScene&) = delete;

    const cxtest::InstallFolder& Folder() const { return folder_; }
    // The directory entry the tool puts on the PATH.
    std::wstring DirEntry() const { return folder_.Dir().substr(0, folder_.Dir().size() - 1); }
    static std::wstring SuitePath(const std::wstring& name) { return kSuiteDir + name; }

    // The suite's folder with its package tool, registered with `serverCommand` (empty: the usual
    // "<suite>\soffice.exe -nodefault").
    void InstallSuite(const std::wstring& serverCommand = std::wstring(), DWORD type = REG_SZ) {
        cxtest::MakeDirs(std::wstring(kSuiteDir).substr(0, std::wcslen(kSuiteDir) - 1));
        ASSERT_TRUE(
            ::CopyFileW(cxtest::StandinPath(L"unopkg.com").c_str(), SuitePath(L"unopkg.com").c_str(), FALSE));
        RegisterSuite(serverCommand.empty() ? SuitePath(L"soffice.exe") + L" -nodefault" : serverCommand,
                      type);
    }
    static void RegisterSuite(const std::wstring& serverCommand, DWORD type = REG_SZ) {
        cxtest::WriteString(HKEY_CLASSES_ROOT, kSuiteServerKey, L"", serverCommand, type);
    }
    // The suite's automation server, and its running process "soffice.bin".
    void StartOffice(const std::wstring& scenario) {
        for (const wchar_t* name : {L"OfficeStandin.exe", L"soffice.bin"}) {
            ASSERT_TRUE(::CopyFileW(cxtest::StandinPath(name).c_str(), SuitePath(name).c_str(), FALSE));
        }
        OfficeScenario(scenario);
        RunWait(SuitePath(L"OfficeStandin.exe"), L"/regserver");
        officeRegistered_ = true;
        ::DeleteFileW(SuitePath(L"OfficeStandin.exe.journal").c_str());
        ::DeleteFileW(SuitePath(L"soffice.bin.stop").c_str());
        ::DeleteFileW(SuitePath(L"soffice.bin.journal").c_str());
        sofficeBin_ = cxtest::StartProgram(L"\"" + SuitePath(L"soffice.bin") + L"\"");
        ASSERT_TRUE(sofficeBin_);
        // Running for certain once it has journaled its start.
        for (int i = 0; i < 200 && cxtest::ReadLines(SuitePath(L"soffice.bin.journal")).empty(); ++i)
            ::Sleep(25);
    }
    static void OfficeScenario(const std::wstring& scenario) {
        cxtest::WriteTextFile(SuitePath(L"OfficeStandin.exe.scenario"), scenario);
    }
    void StopSofficeBin() {
        if (!sofficeBin_) return;
        cxtest::WriteTextFile(SuitePath(L"soffice.bin.stop"), L"");
        if (::WaitForSingleObject(sofficeBin_, 5000) != WAIT_OBJECT_0) ::TerminateProcess(sofficeBin_, 1);
        ::CloseHandle(sofficeBin_);
        sofficeBin_ = nullptr;
    }

    static std::vector<std::wstring> OfficeJournal() {
        return cxtest::ReadLines(SuitePath(L"OfficeStandin.exe.journal"));
    }
    static std::vector<std::wstring> ToolJournal() {
        return cxtest::ReadLines(SuitePath(L"unopkg.com.journal"));
    }
    static void ClearToolJournal() { ::DeleteFileW(SuitePath(L"unopkg.com.journal").c_str()); }
    // The package tool's settings: what it prints ("unopkg.com.output") and its exit code.
    static void ToolOutput(const std::wstring& settings) {
        cxtest::WriteTextFile(SuitePath(L"unopkg.com.output"), settings);
    }
    static void ToolExitCode(int code) {
        cxtest::WriteTextFile(SuitePath(L"unopkg.com.exitcode"), std::to_wstring(code));
    }
    // The command lines the package tool was started with.
    static std::vector<std::wstring> ToolCommandLines() {
        std::vector<std::wstring> lines;
        for (const std::wstring& line : ToolJournal()) {
            if (line.rfind(L"cmdline=", 0) == 0) lines.push_back(line.substr(8));
        }
        return lines;
    }
    // What "oi" and then "ou" start: `tool` with the package's full path, then with its name.
    std::vector<std::wstring> InstallAndRemoveCommands(const std::wstring& tool) const {
        return {L"\"" + tool + L"\" add -f \"" + folder_.Path(L"CVOOAddin.oxt") + L"\"",
                L"\"" + tool + L"\" remove \"CVOOAddin.oxt\""};
    }
    // The PATH the package tool was started with (the last run's).
    static std::optional<std::wstring> ToolPath() {
        std::optional<std::wstring> path;
        for (const std::wstring& line : ToolJournal()) {
            if (line.rfind(L"PATH=", 0) == 0) path = line.substr(5);
        }
        return path;
    }

    static std::optional<cxtest::RegValue> UserPath() {
        return cxtest::ReadValue(HKEY_CURRENT_USER, kEnvironmentKey, L"PATH");
    }
    static void SetUserPath(const std::wstring& text, DWORD type = REG_SZ) {
        cxtest::WriteString(HKEY_CURRENT_USER, kEnvironmentKey, L"PATH", text, type);
    }
    static void DeleteUserPath() { ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kEnvironmentKey, L"PATH"); }

    cxtest::RunResult Run(const std::wstring& args, const cxtest::RunOptions& options = {}) const {
        return cxtest::RunProgram(folder_.Tool(), args, options);
    }

private:
    static void RunWait(const std::wstring& exe, const std::wstring& args) {
        const auto run = cxtest::RunProgram(exe, args);
        EXPECT_EQ(run.exitCode, 0) << ::testing::PrintToString(exe + L" " + args);
    }

    std::vector<SavedValue> environment_;
    cxtest::InstallFolder folder_;
    HANDLE sofficeBin_ = nullptr;
    bool officeRegistered_ = false;
};

// The journaled PATH as text with the value's expected content.
inline std::wstring TextOf(const std::optional<cxtest::RegValue>& value) {
    return value ? value->Text() : L"(no value)";
}

}  // namespace writertest
