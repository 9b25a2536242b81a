// The office suite's stand-ins: the automation server driven with the Writer facade's late-bound calls,
// the package tool's journal, output and exit code, and the process that only has to be seen running.
#include <windows.h>

#include <oleauto.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "selftest/harness.h"
#include "selftest/late_bound.h"
#include "selftest/server_test.h"
#include "support/registry_probe.h"

namespace {

using namespace selftest;
using Lines = std::vector<std::wstring>;

constexpr wchar_t kClassId[] = L"{F541AE24-2E8E-4016-8D01-80C816243B19}";
constexpr wchar_t kJournal[] = L"OfficeStandin.exe.journal";
// What the facade passes for a call without arguments whose result it uses.
constexpr WORD kGet = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

class OfficeStandinTest : public ServerTest {
protected:
    OfficeStandinTest() : ServerTest(L"office", L"OfficeStandin.exe") {}

    // As the facade connects: the ProgID's class, created in-process or as a local server, as IDispatch.
    static ComPtr<IDispatch> CreateServiceManager() {
        CLSID clsid{};
        EXPECT_EQ(::CLSIDFromProgID(L"com.sun.star.ServiceManager", &clsid), S_OK);
        ComPtr<IDispatch> manager;
        EXPECT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                     IID_IDispatch, manager.putVoid()),
                  S_OK);
        return manager;
    }
};

long LongOf(IDispatch* object, const wchar_t* name) {
    CallResult result;
    Call(result, object, name, kGet);
    EXPECT_EQ(result.value->vt, VT_I4) << ::testing::PrintToString(std::wstring(name));
    return result.value->lVal;
}

ComPtr<IDispatch> CurrentComponent(IDispatch* manager, CallResult& component) {
    const auto desktop =
        Fetch(manager, L"CreateInstance", DISPATCH_METHOD, {Str(L"com.sun.star.frame.Desktop")});
    EXPECT_TRUE(desktop);
    if (desktop) Call(component, desktop.get(), L"GetCurrentComponent", kGet);
    return component.value.Object();
}

// ExecuteDispatch(frame by reference, URL, "", 0, arguments by reference), as the facade calls it.
HRESULT Dispatch(IDispatch* dispatcher, IDispatch* frame, const std::wstring& url, SAFEARRAY* arguments) {
    Variant frameArg;
    (&frameArg)->vt = VT_DISPATCH;
    (&frameArg)->pdispVal = frame;
    frame->AddRef();
    Variant arrayArg;
    (&arrayArg)->vt = VT_ARRAY | VT_VARIANT;
    (&arrayArg)->parray = arguments;
    CallResult result;
    Call(result, dispatcher, L"ExecuteDispatch", DISPATCH_METHOD,
         {ByRef(VT_VARIANT, &frameArg), Str(url), Str(L""), I4(0), ByRef(VT_VARIANT, &arrayArg)});
    return result.hr;
}

TEST_F(OfficeStandinTest, RegistrationWritesTheServiceManagerClassAndIsRemovedAgain) {
    using cxtest::ReadString;
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, L"com.sun.star.ServiceManager\\CLSID", L""), kClassId);
    const std::wstring classKey = std::wstring(L"CLSID\\") + kClassId;
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, classKey + L"\\LocalServer32", L""),
              L"\"" + folder_.Path(L"OfficeStandin.exe") + L"\"");
    ASSERT_EQ(RunToEnd(Exe() + L" /unregserver"), 0);
    EXPECT_FALSE(cxtest::KeyExists(HKEY_CLASSES_ROOT, L"com.sun.star.ServiceManager"));
    EXPECT_FALSE(cxtest::KeyExists(HKEY_CLASSES_ROOT, classKey));
    ASSERT_EQ(RunToEnd(Exe() + L" /regserver"), 0);
}

TEST_F(OfficeStandinTest, ServiceManagerAnswersTheFacadesCallsAndJournalsTheDispatches) {
    SetScenario(L"window=10,20,300,400\n");
    const double start = NowMs();
    ComPtr<IDispatch> manager = CreateServiceManager();
    std::printf("[timing] Office: first activation through COM %.0f ms\n", NowMs() - start);
    ASSERT_TRUE(manager);
    const Process server = Process::Open(StartedPid(Journal(), L"embedding"));
    ASSERT_TRUE(server);
    {
        CallResult component;
        const auto document = CurrentComponent(manager.get(), component);
        ASSERT_TRUE(document);
        CallResult supports;
        Call(supports, document.get(), L"SupportsService", DISPATCH_METHOD,
             {Str(L"com.sun.star.text.TextDocument")});
        EXPECT_EQ(supports.value->vt, VT_BOOL);
        EXPECT_EQ(supports.value->boolVal, VARIANT_TRUE);

        const auto controller = Fetch(document.get(), L"GetCurrentController", kGet);
        const auto frame = Fetch(controller.get(), L"GetFrame", kGet);
        ASSERT_TRUE(frame);
        const auto area = Fetch(Fetch(frame.get(), L"GetContainerWindow", kGet).get(), L"GetPosSize", kGet);
        ASSERT_TRUE(area);
        EXPECT_EQ(LongOf(area.get(), L"X"), 10);
        EXPECT_EQ(LongOf(area.get(), L"Y"), 20);
        EXPECT_EQ(LongOf(area.get(), L"Width"), 300);
        EXPECT_EQ(LongOf(area.get(), L"Height"), 400);

        const auto factory =
            Fetch(Fetch(manager.get(), L"DefaultContext", kGet).get(), L"GetServiceManager", kGet);
        const auto dispatcher = Fetch(factory.get(), L"CreateInstance", DISPATCH_METHOD,
                                      {Str(L"com.sun.star.frame.DispatchHelper")});
        ASSERT_TRUE(dispatcher);
        const auto reflection = Fetch(manager.get(), L"CreateInstance", DISPATCH_METHOD,
                                      {Str(L"com.sun.star.reflection.CoreReflection")});
        const auto type =
            Fetch(reflection.get(), L"ForName", DISPATCH_METHOD, {Str(L"com.sun.star.beans.PropertyValue")});
        ASSERT_TRUE(type);
        Variant value;
        CallResult created;
        Call(created, type.get(), L"CreateObject", DISPATCH_METHOD, {ByRef(VT_VARIANT, &value)});
        EXPECT_EQ(created.hr, S_OK);
        const auto property = value.Object();
        ASSERT_TRUE(property);
        EXPECT_EQ(Put(property.get(), L"Name", Str(L"Param")), S_OK);
        EXPECT_EQ(Put(property.get(), L"Value", Str(L"x")), S_OK);

        SAFEARRAY* one = ::SafeArrayCreateVector(VT_VARIANT, 0, 1);
        LONG index = 0;
        VARIANT element;
        ::VariantInit(&element);
        element.vt = VT_DISPATCH;
        element.pdispVal = property.get();
        ::SafeArrayPutElement(one, &index, &element);
        EXPECT_EQ(Dispatch(dispatcher.get(), frame.get(), L"com.corvane2.cvooaddin:CV2InsertCitation", one),
                  S_OK);
        EXPECT_EQ(Dispatch(dispatcher.get(), frame.get(), L"com.corvane2.cvooaddin:CV2GoToCorvane",
                           ::SafeArrayCreateVector(VT_VARIANT, 0, 0)),
                  S_OK);

        const auto cursor = Fetch(controller.get(), L"GetViewCursor", kGet);
        CallResult collapsed;
        Call(collapsed, cursor.get(), L"CollapseToEnd", DISPATCH_METHOD);
        EXPECT_EQ(collapsed.hr, S_OK);
    }
    manager.Reset();
    ASSERT_TRUE(server.WaitExit(5000));

    const std::wstring frameRef = L"VT_VARIANT|VT_BYREF (VT_DISPATCH Frame)";
    EXPECT_EQ(
        CallLines(Journal()),
        (Lines{
            L"ServiceManager.CreateInstance method VT_BSTR \"com.sun.star.frame.Desktop\"",
            L"Desktop.GetCurrentComponent method|get",
            L"TextDocument.SupportsService method VT_BSTR \"com.sun.star.text.TextDocument\"",
            L"TextDocument.GetCurrentController method|get",
            L"Controller.GetFrame method|get",
            L"Frame.GetContainerWindow method|get",
            L"ContainerWindow.GetPosSize method|get",
            L"PosSize.X method|get",
            L"PosSize.Y method|get",
            L"PosSize.Width method|get",
            L"PosSize.Height method|get",
            L"ServiceManager.DefaultContext method|get",
            L"DefaultContext.GetServiceManager method|get",
            L"ServiceManager.CreateInstance method VT_BSTR \"com.sun.star.frame.DispatchHelper\"",
            L"ServiceManager.CreateInstance method VT_BSTR \"com.sun.star.reflection.CoreReflection\"",
            L"CoreReflection.ForName method VT_BSTR \"com.sun.star.beans.PropertyValue\"",
            L"IdlClass(com.sun.star.beans.PropertyValue).CreateObject method VT_VARIANT|VT_BYREF (VT_EMPTY)",
            L"PropertyValue#1.Name put VT_BSTR \"Param\"",
            L"PropertyValue#1.Value put VT_BSTR \"x\"",
            L"DispatchHelper.ExecuteDispatch method " + frameRef +
                L", VT_BSTR \"com.corvane2.cvooaddin:CV2InsertCitation\", VT_BSTR \"\", VT_I4 0, "
                L"VT_VARIANT|VT_BYREF (VT_ARRAY|VT_VARIANT 0..0 {VT_DISPATCH "
                L"PropertyValue#1{Name=\"Param\", Value=VT_BSTR \"x\"}})",
            L"DispatchHelper.ExecuteDispatch method " + frameRef +
                L", VT_BSTR \"com.corvane2.cvooaddin:CV2GoToCorvane\", VT_BSTR \"\", VT_I4 0, "
                L"VT_VARIANT|VT_BYREF (VT_ARRAY|VT_VARIANT 0..-1 {})",
            L"Controller.GetViewCursor method|get",
            L"ViewCursor.CollapseToEnd method",
        }));
    const Lines journal = Journal();
    ASSERT_GE(journal.size(), 2u);
    EXPECT_EQ(journal[journal.size() - 2], L"released");
    EXPECT_EQ(journal.back(), L"exit reason=released");
}

TEST_F(OfficeStandinTest, CurrentComponentFollowsTheScenario) {
    double warmMs = 0;
    for (const wchar_t* kind : {L"spreadsheet", L"none", L"null", L"number"}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(kind)));
        SetScenario(std::wstring(L"component=") + kind + L"\n");
        StartRunning();
        {
            const double start = NowMs();
            ComPtr<IDispatch> manager = CreateServiceManager();
            warmMs = NowMs() - start;
            ASSERT_TRUE(manager);
            CallResult component;
            const auto document = CurrentComponent(manager.get(), component);
            ASSERT_EQ(component.hr, S_OK);
            const std::wstring name = kind;
            if (name == L"spreadsheet") {
                ASSERT_TRUE(document);
                CallResult supports;
                Call(supports, document.get(), L"SupportsService", DISPATCH_METHOD,
                     {Str(L"com.sun.star.text.TextDocument")});
                EXPECT_EQ(supports.value->vt, VT_BOOL);
                EXPECT_EQ(supports.value->boolVal, VARIANT_FALSE);
            } else if (name == L"none") {
                EXPECT_EQ(component.value->vt, VT_EMPTY);
            } else if (name == L"null") {
                EXPECT_EQ(component.value->vt, VT_DISPATCH);
                EXPECT_FALSE(document);
            } else {
                EXPECT_EQ(component.value->vt, VT_I4);
            }
        }
        EXPECT_TRUE(WaitForLine(folder_, kJournal, L"released", 3000));
        StopServers();
    }
    std::printf("[timing] Office: activation with the server running %.1f ms\n", warmMs);
}

// --- the package tool ---

class UnopkgStandinTest : public ::testing::Test {
protected:
    UnopkgStandinTest() : folder_(L"unopkg") { folder_.Add(L"unopkg.com"); }

    std::wstring CommandLine() const {
        return L"\"" + folder_.Path(L"unopkg.com") +
               L"\" add -f \"C:\\Program Files\\Corvane\\CVOOAddin.oxt\"";
    }

    Folder folder_;
};

TEST_F(UnopkgStandinTest, SilentByDefaultAndJournalsItsCommandLineAndPath) {
    const Captured run = RunCapture(CommandLine());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, "");
    wchar_t path[32768] = {};
    ::GetEnvironmentVariableW(L"PATH", path, 32768);
    EXPECT_EQ(folder_.Lines(L"unopkg.com.journal"),
              (Lines{L"cmdline=" + CommandLine(), std::wstring(L"PATH=") + path, L"exit 0"}));
}

TEST_F(UnopkgStandinTest, PrintsALineOnStandardErrorAndExitsWithTheCode) {
    folder_.Write(L"unopkg.com.output", L"stream=stderr\ntext=ERROR: Package is already deployed.\n");
    folder_.Write(L"unopkg.com.exitcode", L"0xFFFFFFFE");
    const Captured run = RunCapture(CommandLine());
    EXPECT_EQ(run.exitCode, 0xFFFFFFFEu);
    EXPECT_EQ(run.output, "ERROR: Package is already deployed.\r\n");
    const Lines journal = folder_.Lines(L"unopkg.com.journal");
    ASSERT_EQ(journal.size(), 4u);
    EXPECT_EQ(journal[2], L"wrote 37 bytes to stderr");
    EXPECT_EQ(journal[3], L"exit -2");
}

TEST_F(UnopkgStandinTest, WritesTenMegabytesToAReaderThatKeepsUp) {
    folder_.Write(L"unopkg.com.output", L"bytes=10485760\n");
    const double start = NowMs();
    const Captured run = RunCapture(CommandLine());
    std::printf("[timing] unopkg.com: 10 MB through a drained pipe %.0f ms\n", NowMs() - start);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output.size(), 10485760u);
    EXPECT_EQ(run.output.substr(0, 4), "abcd");
    EXPECT_EQ(folder_.Lines(L"unopkg.com.journal")[2], L"wrote 10485760 bytes to stdout");
}

// --- the running process ---

bool ListedAsSofficeBin(DWORD pid) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more && !found;
         more = ::Process32NextW(snapshot, &entry)) {
        found = entry.th32ProcessID == pid && std::wstring(entry.szExeFile) == L"soffice.bin";
    }
    ::CloseHandle(snapshot);
    return found;
}

TEST(SofficeBinStandinTest, IsListedByItsNameAndLeavesOnTheStopFileOrItsTimeout) {
    const Folder folder(L"soffice");
    folder.Add(L"soffice.bin");
    const std::wstring commandLine = L"\"" + folder.Path(L"soffice.bin") + L"\"";
    {
        const Process process = Process::Start(commandLine);
        ASSERT_TRUE(process);
        const std::wstring started = L"start pid=" + std::to_wstring(process.Id());
        ASSERT_TRUE(WaitForLine(folder, L"soffice.bin.journal", started, 5000));
        EXPECT_TRUE(ListedAsSofficeBin(process.Id()));
        EXPECT_FALSE(process.WaitExit(200));
        folder.Write(L"soffice.bin.stop", L"");
        ASSERT_TRUE(process.WaitExit(2000));
        EXPECT_EQ(folder.Lines(L"soffice.bin.journal"), (Lines{started, L"exit reason=stopfile"}));
    }
    ::DeleteFileW(folder.Path(L"soffice.bin.stop").c_str());
    ::DeleteFileW(folder.Path(L"soffice.bin.journal").c_str());
    folder.Write(L"soffice.bin.timeout", L"1");
    const Process process = Process::Start(commandLine);
    ASSERT_TRUE(process.WaitExit(4000));
    EXPECT_EQ(folder.Lines(L"soffice.bin.journal").back(), L"exit reason=timeout");
}

}  // namespace
