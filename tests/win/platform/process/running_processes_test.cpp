// The running-process list: each way of listing against a fake system (no system under test reports
// the idle process), and the real listing under each Windows version Wine can pretend to be, with
// this test program started again as the probe.
#include "platform/process/running_processes.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/text/res_string.h"
#include "platform/text/utf8.h"
#include "support/install_folder.h"
#include "support/registry_probe.h"
#include "support/text_file.h"
#include "support/tool_process.h"

namespace cx {
namespace {

// --- A fake system ---------------------------------------------------------------------------------

struct FakeSystem {
    std::vector<std::pair<DWORD, std::wstring>> snapshot;  // identifier, executable field
    std::map<DWORD, std::wstring> modules;                 // processes that can be opened
    bool snapshotFails = false;
    bool enumFails = false;
    std::size_t next = 0;
    std::map<HANDLE, DWORD> opened;
};
FakeSystem* fake = nullptr;

HANDLE WINAPI FakeCreateSnapshot(DWORD flags, DWORD pid) {
    if (flags != TH32CS_SNAPPROCESS || pid != 0 || fake->snapshotFails) return INVALID_HANDLE_VALUE;
    fake->next = 0;
    return ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
}
BOOL WINAPI FakeNext(HANDLE, PROCESSENTRY32W* entry) {
    if (entry->dwSize != sizeof(PROCESSENTRY32W) || fake->next >= fake->snapshot.size()) return FALSE;
    const auto& [pid, exe] = fake->snapshot[fake->next++];
    entry->th32ProcessID = pid;
    wcsncpy(entry->szExeFile, exe.c_str(), MAX_PATH);
    return TRUE;
}
BOOL WINAPI FakeFirst(HANDLE snapshot, PROCESSENTRY32W* entry) {
    fake->next = 0;
    return FakeNext(snapshot, entry);
}
BOOL WINAPI FakeEnumProcesses(DWORD* pids, DWORD bytes, DWORD* returned) {
    if (fake->enumFails || bytes != 4100) return FALSE;
    DWORD n = 0;
    for (const auto& entry : fake->snapshot) pids[n++] = entry.first;
    *returned = n * sizeof(DWORD);
    return TRUE;
}
HANDLE WINAPI FakeOpenProcess(DWORD access, BOOL inherit, DWORD pid) {
    if (access != (PROCESS_QUERY_INFORMATION | PROCESS_VM_READ) || inherit || !fake->modules.count(pid)) {
        return nullptr;
    }
    const HANDLE handle = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    fake->opened[handle] = pid;
    return handle;
}
DWORD WINAPI FakeModuleBaseName(HANDLE process, HMODULE module, LPWSTR name, DWORD size) {
    if (module || !fake->opened.count(process)) return 0;
    const std::wstring& text = fake->modules[fake->opened[process]];
    if (text.empty()) return 0;
    wcsncpy(name, text.c_str(), size);
    return static_cast<DWORD>(text.size());
}

constexpr ProcessApi kFakeApi{&FakeCreateSnapshot, &FakeFirst,       &FakeNext,
                              &FakeEnumProcesses,  &FakeOpenProcess, &FakeModuleBaseName};
constexpr WindowsVersion kNt4{true, 4, 0};
constexpr WindowsVersion kNt351{true, 3, 51};
constexpr WindowsVersion kXp{true, 5, 1};
constexpr WindowsVersion kWin7{true, 6, 1};
constexpr WindowsVersion kWin98{false, 4, 10};

class FakeProcesses : public ::testing::Test {
protected:
    FakeProcesses() {
        fake = &system_;
        system_.snapshot = {{0, L""},
                            {2, L"System"},
                            {100, L"C:\\Suite\\program\\SOFFICE.BIN"},
                            {104, L"D:soffice.exe"},
                            {108, L"soffice.bin.exe"},
                            {112, L"C:\\gone\\ended.exe"}};
        system_.modules = {
            {100, L"SOFFICE.BIN"}, {104, L"soffice.exe"}, {108, L"soffice.bin.exe"}, {112, L""}};
    }
    ~FakeProcesses() override {
        for (const auto& [handle, pid] : system_.opened) ::CloseHandle(handle);
        fake = nullptr;
    }
    ProcessList List(const WindowsVersion& version, bool fullPath = false, bool* result = nullptr) {
        ProcessList list{{L"earlier", 7}};
        const bool ok = GetRunningProcessNames(list, fullPath, kFakeApi, version);
        if (result) *result = ok;
        return list;
    }
    FakeSystem system_;
};

MATCHER_P2(Entry, name, pid, "") {
    return arg.name == name && arg.pid == static_cast<std::uint32_t>(pid);
}

TEST_F(FakeProcesses, FileNameGroupTakesTheSnapshotNameWithoutDirectory) {
    for (const WindowsVersion& version : {kWin7, kWin98}) {
        bool ok = false;
        const ProcessList list = List(version, false, &ok);
        EXPECT_TRUE(ok);
        EXPECT_THAT(list, ::testing::ElementsAre(Entry(L"earlier", 7), Entry(L"System Idle Process", 0),
                                                 Entry(L"System", 2), Entry(L"SOFFICE.BIN", 100),
                                                 Entry(L"soffice.exe", 104), Entry(L"soffice.bin.exe", 108),
                                                 Entry(L"ended.exe", 112)));
        EXPECT_TRUE(system_.opened.empty()) << "no process is opened for its name";
    }
    EXPECT_EQ(List(kWin7, true)[3].name, L"C:\\Suite\\program\\SOFFICE.BIN");
}

TEST_F(FakeProcesses, ModuleNameGroupPrefersTheMainModuleAndFallsBackToTheSnapshot) {
    system_.modules[100] = L"soffice.bin";
    EXPECT_THAT(List(kXp), ::testing::ElementsAre(Entry(L"earlier", 7), Entry(L"System Idle Process", 0),
                                                  Entry(L"System", 2), Entry(L"soffice.bin", 100),
                                                  Entry(L"soffice.exe", 104), Entry(L"soffice.bin.exe", 108),
                                                  Entry(L"C:\\gone\\ended.exe", 112)));
}

TEST_F(FakeProcesses, IdentifierGroupNamesByModuleAndLeavesOutWhatCannotBeOpened) {
    EXPECT_THAT(List(kNt4),
                ::testing::ElementsAre(Entry(L"earlier", 7), Entry(L"System Idle Process", 0),
                                       Entry(L"System Process", 2), Entry(L"SOFFICE.BIN", 100),
                                       Entry(L"soffice.exe", 104), Entry(L"soffice.bin.exe", 108)));
    // Only NT 4.0 knows identifier 2 as its system process.
    EXPECT_THAT(List(kNt351), ::testing::ElementsAre(Entry(L"earlier", 7), Entry(L"System Idle Process", 0),
                                                     Entry(L"SOFFICE.BIN", 100), Entry(L"soffice.exe", 104),
                                                     Entry(L"soffice.bin.exe", 108)));
}

TEST_F(FakeProcesses, FailuresGiveFalseOrNothingAndKeepTheList) {
    bool ok = true;
    system_.snapshotFails = true;
    EXPECT_THAT(List(kWin7, false, &ok), ::testing::ElementsAre(Entry(L"earlier", 7)));
    EXPECT_FALSE(ok);
    system_.enumFails = true;
    EXPECT_THAT(List(kNt4, false, &ok), ::testing::ElementsAre(Entry(L"earlier", 7)));
    EXPECT_FALSE(ok);

    // A system without the functions: the snapshot lists nothing, the identifiers fail.
    ProcessList list;
    EXPECT_TRUE(GetRunningProcessNames(list, false, ProcessApi{}, kWin7));
    EXPECT_FALSE(GetRunningProcessNames(list, false, ProcessApi{}, kNt4));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(ProcessModuleName(100, ProcessApi{}), L"");
}

// A catalogue that cannot be used raises from every translated text; the list must not.
TEST_F(FakeProcesses, AFailingTranslationGivesTheEnglishNames) {
    SetResStringTranslator(
        [](std::wstring_view) -> std::wstring { throw EGGIOError(L"unusable catalogue"); });
    ProcessList snapshot;
    ProcessList ids;
    EXPECT_NO_THROW(snapshot = List(kWin7));
    EXPECT_NO_THROW(ids = List(kNt4));
    SetResStringTranslator(nullptr);
    EXPECT_THAT(snapshot, ::testing::Contains(Entry(L"System Idle Process", 0)));
    EXPECT_THAT(ids, ::testing::Contains(Entry(L"System Idle Process", 0)));
    EXPECT_THAT(ids, ::testing::Contains(Entry(L"System Process", 2)));
}

TEST(ProcessList, NamesMatchWholeAndWithoutRegardToCase) {
    const ProcessList running{
        {L"soffice.exe", 1}, {L"soffice.bin.exe", 2}, {L"C:\\x\\soffice.bin", 3}, {L"office.bin", 4}};
    EXPECT_FALSE(HasProcessNamed(running, L"soffice.bin"));
    EXPECT_TRUE(HasProcessNamed(ProcessList{{L"x", 1}, {L"SOFFICE.BIN", 2}}, L"soffice.bin"));
    EXPECT_TRUE(HasProcessNamed(ProcessList{{L"SoFfIcE.bIn", 2}}, L"soffice.bin"));
}

TEST(ProcessList, ModuleNameOfTheRealSystem) {
    EXPECT_EQ(ProcessModuleName(::GetCurrentProcessId()), L"cx_win_tests.exe");
    EXPECT_EQ(ProcessModuleName(0xFFFFFFF0u), L"");
}

// --- The real listing under each Windows version ----------------------------------------------------

// Started as "cx_win_tests.exe --cx-list-processes=<file>", this program lists the running processes
// into the file and exits before any test runs: the version Wine reports is fixed at process start.
constexpr wchar_t kProbeSwitch[] = L"--cx-list-processes=";

const bool probeRan = [] {
    const std::wstring line = ::GetCommandLineW();
    const std::size_t at = line.find(kProbeSwitch);
    if (at == std::wstring::npos) return false;
    const std::wstring file = line.substr(at + wcslen(kProbeSwitch));
    ProcessList list{{L"earlier", 7}};
    const bool ok = GetRunningProcessNames(list, false);
    std::wstring text = L"group=" + std::to_wstring(static_cast<int>(ClassifyWindowsVersion())) + L"\n" +
                        L"result=" + std::to_wstring(ok) + L"\n" + L"suite=" +
                        std::to_wstring(HasProcessNamed(list, L"soffice.bin")) + L"\n";
    for (const RunningProcess& process : list)
        text += std::to_wstring(process.pid) + L"\t" + process.name + L"\n";
    cxtest::WriteTextFile(file, text);
    ::ExitProcess(0);
}();

struct ProbeResult {
    int group = -1;
    bool result = false;
    bool suite = false;
    std::vector<std::pair<DWORD, std::wstring>> processes;
    std::wstring NameOf(DWORD pid) const {
        for (const auto& [id, name] : processes) {
            if (id == pid) return name;
        }
        return L"(not listed)";
    }
};

class Child {
public:
    explicit Child(const std::wstring& exe) : exe_(exe) {
        ::DeleteFileW((exe + L".stop").c_str());
        ::DeleteFileW((exe + L".journal").c_str());
        process_ = cxtest::StartProgram(L"\"" + exe + L"\"", &pid_);
        if (!process_) return;
        // Running for certain once it has journaled its start.
        for (int i = 0; i < 200 && cxtest::ReadLines(exe + L".journal").empty(); ++i) ::Sleep(25);
    }
    ~Child() {
        if (!process_) return;
        cxtest::WriteTextFile(exe_ + L".stop", L"");
        if (::WaitForSingleObject(process_, 5000) != WAIT_OBJECT_0) ::TerminateProcess(process_, 1);
        ::CloseHandle(process_);
        ::DeleteFileW((exe_ + L".stop").c_str());
    }
    DWORD Pid() const { return pid_; }

private:
    std::wstring exe_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

class RealProcesses : public ::testing::Test {
protected:
    RealProcesses() : folder_(L"processes") {
        previousVersion_ = cxtest::ReadString(HKEY_CURRENT_USER, kWineKey, L"Version");
        for (const wchar_t* name : {L"SOFFICE.BIN", L"soffice.exe", L"soffice.bin.exe"}) {
            folder_.AddStandin(L"soffice.bin", name);
        }
    }
    ~RealProcesses() override {
        if (previousVersion_) {
            cxtest::WriteString(HKEY_CURRENT_USER, kWineKey, L"Version", *previousVersion_);
        } else {
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kWineKey, L"Version");
        }
    }

    ProbeResult Probe(const wchar_t* version) {
        cxtest::WriteString(HKEY_CURRENT_USER, kWineKey, L"Version", version);
        wchar_t self[MAX_PATH];
        ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        const std::wstring out = folder_.Path(L"probe.txt");
        ::DeleteFileW(out.c_str());
        ProbeResult result;
        const HANDLE probe = cxtest::StartProgram(L"\"" + std::wstring(self) + L"\" " + kProbeSwitch + out);
        if (!probe) return result;
        ::WaitForSingleObject(probe, 30000);
        ::CloseHandle(probe);
        for (const std::wstring& text : cxtest::ReadLines(out)) {
            if (text.rfind(L"group=", 0) == 0) {
                result.group = std::stoi(text.substr(6));
            } else if (text.rfind(L"result=", 0) == 0) {
                result.result = text.substr(7) == L"1";
            } else if (text.rfind(L"suite=", 0) == 0) {
                result.suite = text.substr(6) == L"1";
            } else if (const std::size_t tab = text.find(L'\t'); tab != std::wstring::npos) {
                result.processes.emplace_back(std::stoul(text.substr(0, tab)), text.substr(tab + 1));
            }
        }
        return result;
    }

    static constexpr wchar_t kWineKey[] = L"Software\\Wine";
    cxtest::InstallFolder folder_;
    std::optional<std::wstring> previousVersion_;
};

TEST_F(RealProcesses, OnlyAProcessNamedSofficeBinInAnyCaseCounts) {
    const struct {
        const wchar_t* version;
        VersionGroup group;
    } versions[] = {
        {L"winxp", VersionGroup::ModuleNames}, {L"win2k", VersionGroup::ModuleNames},
        {L"nt40", VersionGroup::ProcessIds},   {L"win10", VersionGroup::FileNames},
        {L"win98", VersionGroup::FileNames},
    };
    const Child lookAlike(folder_.Path(L"soffice.exe"));
    const Child longer(folder_.Path(L"soffice.bin.exe"));
    for (const auto& [version, group] : versions) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(version)));
        {
            const ProbeResult without = Probe(version);
            EXPECT_EQ(without.group, static_cast<int>(group)) << "the prefix does not report that version";
            EXPECT_TRUE(without.result);
            EXPECT_FALSE(without.suite);
            ASSERT_FALSE(without.processes.empty());
            EXPECT_EQ(without.processes.front(), std::make_pair(DWORD{7}, std::wstring(L"earlier")));
            EXPECT_TRUE(_wcsicmp(without.NameOf(lookAlike.Pid()).c_str(), L"soffice.exe") == 0)
                << ::testing::PrintToString(without.NameOf(lookAlike.Pid()));
            EXPECT_TRUE(_wcsicmp(without.NameOf(longer.Pid()).c_str(), L"soffice.bin.exe") == 0)
                << ::testing::PrintToString(without.NameOf(longer.Pid()));
        }
        const Child suite(folder_.Path(L"SOFFICE.BIN"));
        const ProbeResult with = Probe(version);
        EXPECT_TRUE(with.suite);
        EXPECT_EQ(with.NameOf(suite.Pid()), L"SOFFICE.BIN");
    }
}

}  // namespace
}  // namespace cx
