// The Writer facade against the suite's stand-in automation server, started by COM for each test: the
// calls it makes, their flags and argument forms, as the server journals them.
#include "hosts/writer/office_facade.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/com/com_apartment.h"
#include "platform/errors.h"
#include "platform/process/own_process.h"
#include "support/install_folder.h"
#include "support/text_file.h"
#include "support/tool_process.h"

namespace cx {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

constexpr wchar_t kFrameArg[] = L"VT_VARIANT|VT_BYREF (VT_DISPATCH Frame)";
constexpr wchar_t kNoArguments[] = L"VT_VARIANT|VT_BYREF (VT_ARRAY|VT_VARIANT 0..-1 {})";

// The suite's server registered from a folder of its own; its journal is the test's record.
class OfficeSuite {
public:
    OfficeSuite() : folder_(L"facade") {
        folder_.AddStandin(L"OfficeStandin.exe");
        folder_.AddStandin(L"soffice.bin");
        Start(folder_.Path(L"OfficeStandin.exe"), L" /regserver", true);
        ::DeleteFileW(Journal().c_str());
    }
    ~OfficeSuite() {
        StopSofficeBin();
        Start(folder_.Path(L"OfficeStandin.exe"), L" /unregserver", true);
    }

    void Scenario(const std::wstring& text) const {
        cxtest::WriteTextFile(folder_.Path(L"OfficeStandin.exe.scenario"), text);
    }
    std::wstring Journal() const { return folder_.Path(L"OfficeStandin.exe.journal"); }
    // The calls the server journaled, without its start and life-cycle lines.
    std::vector<std::wstring> Calls() const {
        std::vector<std::wstring> calls;
        for (const std::wstring& line : cxtest::ReadLines(Journal())) {
            if (line.find(L'.') != std::wstring::npos && line.rfind(L"start ", 0) != 0) calls.push_back(line);
        }
        return calls;
    }
    // True once the server has ended because every reference to its objects was released.
    bool WaitUntilReleased() const {
        for (int i = 0; i < 200; ++i) {
            const auto lines = cxtest::ReadLines(Journal());
            if (!lines.empty() && lines.back().rfind(L"exit reason=", 0) == 0)
                return lines.back() == L"exit reason=released";
            ::Sleep(50);
        }
        return false;
    }

    DWORD SofficeBinPid() const { return sofficeBin_ ? ::GetProcessId(sofficeBin_) : 0; }
    void StartSofficeBin() {
        if (sofficeBin_) return;
        ::DeleteFileW(folder_.Path(L"soffice.bin.stop").c_str());
        ::DeleteFileW(folder_.Path(L"soffice.bin.journal").c_str());
        sofficeBin_ = Start(folder_.Path(L"soffice.bin"), L"", false);
        // Running for certain once it has journaled its start.
        for (int i = 0; i < 200 && cxtest::ReadLines(folder_.Path(L"soffice.bin.journal")).empty(); ++i)
            ::Sleep(25);
    }
    void StopSofficeBin() {
        if (!sofficeBin_) return;
        cxtest::WriteTextFile(folder_.Path(L"soffice.bin.stop"), L"");
        if (::WaitForSingleObject(sofficeBin_, 5000) != WAIT_OBJECT_0) ::TerminateProcess(sofficeBin_, 1);
        ::CloseHandle(sofficeBin_);
        sofficeBin_ = nullptr;
    }

private:
    static HANDLE Start(const std::wstring& exe, const std::wstring& args, bool wait) {
        const HANDLE process = cxtest::StartProgram(L"\"" + exe + L"\"" + args);
        if (!process || !wait) return process;
        ::WaitForSingleObject(process, 30000);
        ::CloseHandle(process);
        return nullptr;
    }

    cxtest::InstallFolder folder_;
    HANDLE sofficeBin_ = nullptr;
};

class WriterFacade : public ::testing::Test {
protected:
    // A facade connected to a freshly started server whose current component is a text document.
    static void Connect(OleEditorFacadeOO& facade) {
        facade.ConnectSuite();
        facade.FindActiveDocument();
        EXPECT_TRUE(facade.ServiceManager());
        EXPECT_TRUE(facade.Document());
    }
    std::vector<std::wstring> Dispatches() const {
        std::vector<std::wstring> lines;
        for (const std::wstring& call : suite_.Calls()) {
            if (call.rfind(L"DispatchHelper.ExecuteDispatch ", 0) == 0) lines.push_back(call);
        }
        return lines;
    }

    ScopedComApartment apartment_;
    OfficeSuite suite_;
};

// The system as it is, except that the suite's process may run in another session or without
// elevation: no process under Wine does either.
struct SuiteProcess {
    DWORD pid = 0;
    bool otherSession = false;
    bool unelevated = false;
};
SuiteProcess suiteProcess;

BOOL WINAPI SessionOf(DWORD pid, DWORD* session) {
    if (!::ProcessIdToSessionId(pid, session)) return FALSE;
    if (pid == suiteProcess.pid && suiteProcess.otherSession) *session += 1;
    return TRUE;
}

BOOL WINAPI TokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind, void* data, DWORD size,
                             DWORD* returned) {
    if (!::GetTokenInformation(token, kind, data, size, returned)) return FALSE;
    if (kind == TokenElevation && suiteProcess.unelevated)
        static_cast<TOKEN_ELEVATION*>(data)->TokenIsElevated = 0;
    return TRUE;
}

TEST_F(WriterFacade, ConnectIfRunningReachesOnlyASuiteItsCallsReach) {
    ProcessApi api = SystemProcessApi();
    api.processIdToSessionId = &SessionOf;
    api.tokenInformation = &TokenInformation;
    ASSERT_TRUE(IsElevated()) << "the test needs an elevated process, as Wine's are";
    const struct {
        const char* suite;
        bool otherSession;
        bool unelevated;
    } unreachable[] = {{"not running", false, false},
                       {"in another session", true, false},
                       {"running without elevation", false, true}};
    for (const auto& c : unreachable) {
        SCOPED_TRACE(c.suite);
        if (c.otherSession || c.unelevated) suite_.StartSofficeBin();
        suiteProcess = {suite_.SofficeBinPid(), c.otherSession, c.unelevated};
        OleEditorFacadeOO facade(api);
        facade.ConnectIfRunning();
        facade.FindActiveDocument();
        EXPECT_FALSE(facade.ServiceManager());
        EXPECT_FALSE(facade.Document());
        EXPECT_FALSE(cxtest::FileExists(suite_.Journal())) << "the server was started";
    }

    suiteProcess = {suite_.SofficeBinPid(), false, false};
    {
        OleEditorFacadeOO facade(api);
        facade.ConnectIfRunning();
        facade.FindActiveDocument();
        EXPECT_TRUE(facade.ServiceManager());
        EXPECT_TRUE(facade.Document());
    }
    EXPECT_THAT(
        suite_.Calls(),
        ElementsAre(L"ServiceManager.CreateInstance method VT_BSTR \"com.sun.star.frame.Desktop\"",
                    L"Desktop.GetCurrentComponent method|get",
                    L"TextDocument.SupportsService method VT_BSTR \"com.sun.star.text.TextDocument\""));
    EXPECT_TRUE(suite_.WaitUntilReleased());
}

TEST_F(WriterFacade, FindActiveDocumentSwallowsAFailingSuite) {
    suite_.Scenario(L"fail=GetCurrentComponent:no desktop\n");
    OleEditorFacadeOO facade;
    facade.ConnectSuite();
    ASSERT_TRUE(facade.ServiceManager());
    facade.FindActiveDocument();
    EXPECT_FALSE(facade.Document());
}

TEST_F(WriterFacade, AddinCommandWithoutParameterDispatchesAnEmptyArray) {
    {
        OleEditorFacadeOO facade;
        Connect(facade);
        facade.ExecuteAddinCommand(0, L"");
    }
    EXPECT_THAT(
        suite_.Calls(),
        testing::IsSupersetOf(
            {L"ServiceManager.DefaultContext method|get", L"DefaultContext.GetServiceManager method|get",
             L"ServiceManager.CreateInstance method VT_BSTR \"com.sun.star.frame.DispatchHelper\"",
             L"Controller.GetFrame method|get"}));
    EXPECT_THAT(Dispatches(),
                ElementsAre(std::wstring(L"DispatchHelper.ExecuteDispatch method ") + kFrameArg +
                            L", VT_BSTR \"com.corvane2.cvooaddin:CV2GoToCorvane\", VT_BSTR \"\", "
                            L"VT_I4 0, " +
                            kNoArguments));
    EXPECT_THAT(suite_.Calls(), Not(Contains(HasSubstr(L"CoreReflection"))));
    EXPECT_TRUE(suite_.WaitUntilReleased());
}

TEST_F(WriterFacade, AddinCommandWithParameterPassesOnePropertyValueNamedParam) {
    {
        OleEditorFacadeOO facade;
        Connect(facade);
        facade.ExecuteAddinCommand(16, L"\u5199 \"x\"");
    }
    const auto calls = suite_.Calls();
    EXPECT_THAT(
        calls,
        testing::IsSupersetOf(
            {L"ServiceManager.CreateInstance method VT_BSTR \"com.sun.star.reflection.CoreReflection\"",
             L"CoreReflection.ForName method VT_BSTR \"com.sun.star.beans.PropertyValue\"",
             L"IdlClass(com.sun.star.beans.PropertyValue).CreateObject method VT_VARIANT|VT_BYREF "
             L"(VT_EMPTY)",
             L"PropertyValue#1.Name put VT_BSTR \"Param\"",
             L"PropertyValue#1.Value put VT_BSTR \"\u5199 \\\"x\\\"\""}));
    EXPECT_THAT(Dispatches(),
                ElementsAre(std::wstring(L"DispatchHelper.ExecuteDispatch method ") + kFrameArg +
                            L", VT_BSTR \"com.corvane2.cvooaddin:CV2QuickFormat\", VT_BSTR \"\", VT_I4 0, "
                            L"VT_VARIANT|VT_BYREF (VT_ARRAY|VT_VARIANT 0..0 {VT_DISPATCH PropertyValue#1{"
                            L"Name=\"Param\", Value=VT_BSTR \"\u5199 \\\"x\\\"\"}})"));
    EXPECT_TRUE(suite_.WaitUntilReleased());
}

TEST_F(WriterFacade, DispatchFailuresReachTheCaller) {
    suite_.Scenario(L"fail=ExecuteDispatch@0x80020009:bad command\n");
    OleEditorFacadeOO facade;
    Connect(facade);
    try {
        facade.ExecuteAddinCommand(3, L"");
        ADD_FAILURE() << "no error";
    } catch (const EOleException& error) {
        EXPECT_EQ(error.Message(), L"bad command");
        EXPECT_EQ(static_cast<std::uint32_t>(error.ErrorCode()), 0x80020009u);
    }
}

TEST_F(WriterFacade, PreconditionsRaiseTheAssertionError) {
    OleEditorFacadeOO unconnected;
    const auto expectAssertion = [](auto call) {
        try {
            call();
            ADD_FAILURE() << "no assertion";
        } catch (const EAssertionFailed& error) {
            EXPECT_THAT(error.Message(),
                        StartsWith(L"Assertion failure (CVAddin\\OpenOffice\\CVOleEditorFacadeOO, line "));
            EXPECT_EQ(error.Message().back(), L')');
        }
    };
    expectAssertion([&] { unconnected.GetDocumentWindowRect(); });
    expectAssertion([&] { unconnected.ExecuteAddinCommand(0, L""); });
    expectAssertion([&] { unconnected.DispatchCommand(L".uno:Paste", L""); });
    expectAssertion([&] { unconnected.PasteRtf("{\\rtf1}"); });
    OleEditorFacadeOO facade;
    Connect(facade);
    expectAssertion([&] { facade.ExecuteAddinCommand(17, L""); });
    EXPECT_TRUE(Dispatches().empty());
}

TEST_F(WriterFacade, WindowRectIsWidenedByTheFrame) {
    const int frameX = ::GetSystemMetrics(SM_CXFRAME);
    const int frameY = ::GetSystemMetrics(SM_CYFRAME);
    const int caption = ::GetSystemMetrics(SM_CYCAPTION);
    {
        OleEditorFacadeOO facade;
        Connect(facade);
        const RECT rect = facade.GetDocumentWindowRect();
        EXPECT_EQ(rect.left, 100 - frameX);
        EXPECT_EQ(rect.top, 50 - caption - frameY);
        EXPECT_EQ(rect.right, 900 + frameX);
        EXPECT_EQ(rect.bottom, 650 + frameY);
    }
    EXPECT_THAT(suite_.Calls(), testing::IsSupersetOf({L"Frame.GetContainerWindow method|get",
                                                       L"ContainerWindow.GetPosSize method|get",
                                                       L"PosSize.Width method|get"}));
    EXPECT_TRUE(suite_.WaitUntilReleased());

    suite_.Scenario(L"window=-20,-5,640,480\n");
    OleEditorFacadeOO facade;
    Connect(facade);
    const RECT rect = facade.GetDocumentWindowRect();
    EXPECT_EQ(rect.left, -20 - frameX);
    EXPECT_EQ(rect.bottom, 475 + frameY);
}

std::string ClipboardText(const wchar_t* formatName) {
    std::string text;
    if (!::OpenClipboard(nullptr)) return "(cannot open)";
    if (const HANDLE data = ::GetClipboardData(::RegisterClipboardFormatW(formatName))) {
        const char* bytes = static_cast<const char*>(::GlobalLock(data));
        text.assign(bytes, ::GlobalSize(data));
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return text;
}

TEST_F(WriterFacade, PasteRtfPutsTheTextOnTheClipboardAndDispatchesPaste) {
    const std::string rtf = "{\\rtf1\\ansi Caf\xE9}";
    {
        OleEditorFacadeOO facade;
        Connect(facade);
        facade.PasteRtf(rtf);
    }
    EXPECT_EQ(ClipboardText(L"Rich Text Format").substr(0, rtf.size() + 1), rtf + '\0');
    const auto calls = suite_.Calls();
    const auto collapse = std::find(calls.begin(), calls.end(), L"ViewCursor.CollapseToEnd method");
    ASSERT_NE(collapse, calls.end());
    EXPECT_THAT(std::vector<std::wstring>(collapse, calls.end()),
                Contains(std::wstring(L"DispatchHelper.ExecuteDispatch method ") + kFrameArg +
                         L", VT_BSTR \".uno:Paste\", VT_BSTR \"\", VT_I4 0, " + kNoArguments));
    EXPECT_TRUE(suite_.WaitUntilReleased());
}

TEST_F(WriterFacade, PasteRtfSwallowsOnlyThePasteFailure) {
    suite_.Scenario(L"fail=ExecuteDispatch:no paste\n");
    OleEditorFacadeOO facade;
    Connect(facade);
    EXPECT_NO_THROW(facade.PasteRtf("{\\rtf1 a}"));
    EXPECT_EQ(ClipboardText(L"Rich Text Format").substr(0, 10), std::string("{\\rtf1 a}\0", 10));
    // Each connect starts a server of its own, which reads the scenario afresh.
    suite_.Scenario(L"fail=CollapseToEnd:no cursor\n");
    Connect(facade);
    EXPECT_THROW(facade.PasteRtf("{\\rtf1 b}"), EOleException);
}

TEST(FacadeClasses, OOWriterIsRegisteredAndNamesIgnoreCase) {
    const auto facade = CreateFacade(L"oowriter");
    ASSERT_TRUE(facade);
    EXPECT_NE(dynamic_cast<OleEditorFacadeOO*>(facade.get()), nullptr);
    EXPECT_EQ(facade->GetNoDocumentMessage(), L"No active OOo Writer document found");
    EXPECT_EQ(CreateFacade(L"OOWriter2"), nullptr);

    static int created = 0;
    const FacadeFactory counting = []() -> std::unique_ptr<OleEditorFacade> {
        ++created;
        return std::make_unique<OleEditorFacadeOO>();
    };
    RegisterFacadeClass(L"OOWRITER", counting);
    RegisterFacadeClass(L"Other", counting);
    EXPECT_TRUE(CreateFacade(L"OOWriter"));
    EXPECT_TRUE(CreateFacade(L"other"));
    EXPECT_EQ(created, 2);
    RegisterFacadeClass(L"OOWriter", []() -> std::unique_ptr<OleEditorFacade> {
        return std::make_unique<OleEditorFacadeOO>();
    });
}

}  // namespace
}  // namespace cx
