// The Word stand-in and the add-in library stand-in, driven across processes the way the tool drives
// Word: registration, attaching and starting, every member by name with the tool's argument forms and
// dispatched through the type library as Word's are, the journal lines tests rely on, failures on
// demand, and the ways the server leaves.
#include <windows.h>

#include <oleauto.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "selftest/harness.h"
#include "selftest/late_bound.h"
#include "selftest/server_test.h"
#include "support/registry_probe.h"

namespace {

using namespace selftest;
using Lines = std::vector<std::wstring>;

constexpr wchar_t kClassId[] = L"{33B42607-B211-4007-9264-EFF8E2AC01DB}";
constexpr wchar_t kApplicationIidText[] = L"{00020970-0000-0000-C000-000000000046}";
constexpr IID kApplicationIid = {
    0x00020970, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr wchar_t kJournal[] = L"WordStandin.exe.journal";
constexpr wchar_t kToolbar[] = L"Corvane2 Toolbar";

class WordStandinTest : public ServerTest {
protected:
    WordStandinTest() : ServerTest(L"word", L"WordStandin.exe") {}

    void TearDown() override {
        ServerTest::TearDown();
        if (addinRegistered_) {
            EXPECT_EQ(CallAddinEntry("DllUnregisterServer"), S_OK);
        }
        cxtest::DeleteTree(HKEY_CURRENT_USER, L"Software\\Microsoft\\Office\\Word\\Addins");
    }

    // The add-in library stand-in beside Word, registered, so that Word can load it.
    void RegisterAddin() {
        folder_.Add(L"CVWordAddin2.dll");
        ASSERT_EQ(CallAddinEntry("DllRegisterServer"), S_OK);
        addinRegistered_ = true;
    }
    HRESULT CallAddinEntry(const char* name) const {
        const HMODULE library = ::LoadLibraryW(folder_.Path(L"CVWordAddin2.dll").c_str());
        const auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
            reinterpret_cast<void*>(library ? ::GetProcAddress(library, name) : nullptr));
        const HRESULT hr = entry ? entry() : E_FAIL;
        if (library) ::FreeLibrary(library);
        return hr;
    }

    // Attaches as the tool does: the ProgID's class, the running object, IDispatch, Word's interface.
    ComPtr<IDispatch> Attach() const {
        CLSID clsid{};
        EXPECT_EQ(::CLSIDFromProgID(L"Word.Application", &clsid), S_OK);
        ComPtr<IUnknown> running;
        EXPECT_EQ(::GetActiveObject(clsid, nullptr, running.put()), S_OK);
        ComPtr<IDispatch> dispatch;
        if (running) {
            EXPECT_EQ(running->QueryInterface(IID_IDispatch, dispatch.putVoid()), S_OK);
        }
        ComPtr<IDispatch> word;
        if (dispatch) {
            EXPECT_EQ(dispatch->QueryInterface(kApplicationIid, word.putVoid()), S_OK);
        }
        return word;
    }

    bool addinRegistered_ = false;
};

bool BoolOf(IDispatch* object, const wchar_t* name) {
    CallResult result;
    Call(result, object, name, DISPATCH_PROPERTYGET);
    EXPECT_EQ(result.hr, S_OK) << ::testing::PrintToString(std::wstring(name));
    EXPECT_EQ(result.value->vt, VT_BOOL);
    return result.value->boolVal != VARIANT_FALSE;
}

long CountOf(IDispatch* collection) {
    CallResult result;
    Call(result, collection, L"Count", DISPATCH_PROPERTYGET);
    EXPECT_EQ(result.hr, S_OK);
    EXPECT_EQ(result.value->vt, VT_I4);
    return result.value->lVal;
}

// The add-in at `index`, passed by reference (Word declares a VARIANT*).
ComPtr<IDispatch> AddInAt(IDispatch* word, long index) {
    const auto addIns = Fetch(word, L"COMAddIns");
    VARIANT position = I4(index);
    return addIns ? Fetch(addIns.get(), L"Item", DISPATCH_METHOD, {ByRef(VT_VARIANT, &position)})
                  : ComPtr<IDispatch>();
}

std::wstring ProgIdOf(IDispatch* addIn) {
    CallResult result;
    Call(result, addIn, L"ProgId", DISPATCH_PROPERTYGET);
    EXPECT_EQ(result.value->vt, VT_BSTR);
    return result.value->vt == VT_BSTR ? result.value->bstrVal : L"";
}

Lines ControlDeletions(int from) {
    Lines lines;
    for (int k = from; k >= 1; --k) {
        lines.push_back(L"CommandBar(Corvane2 Toolbar).Controls get");
        lines.push_back(L"Controls.Item get VT_I4 " + std::to_wstring(k));
        lines.push_back(L"Control#" + std::to_wstring(k) + L".Delete method VT_BOOL 0");
    }
    return lines;
}

TEST_F(WordStandinTest, RegistrationWritesTheClassAndMakesWordsInterfaceMarshallableAndIsRemovedAgain) {
    using cxtest::ReadString;
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, L"Word.Application\\CLSID", L""), kClassId);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, L"Word.Application\\CurVer", L""), L"Word.Application.16");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, L"Word.Application.16\\CLSID", L""), kClassId);
    const std::wstring classKey = std::wstring(L"CLSID\\") + kClassId;
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, classKey + L"\\LocalServer32", L""),
              L"\"" + folder_.Path(L"WordStandin.exe") + L"\"");
    const std::wstring interfaceKey = std::wstring(L"Interface\\") + kApplicationIidText;
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, interfaceKey + L"\\ProxyStubClsid32", L""),
              L"{00020424-0000-0000-C000-000000000046}");  // the type library's marshaler: a dual interface
    const auto library = ReadString(HKEY_CLASSES_ROOT, interfaceKey + L"\\TypeLib", L"");
    ASSERT_TRUE(library.has_value());
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, L"TypeLib\\" + *library + L"\\1.0\\0\\win32", L""),
              folder_.Path(L"WordStandin.tlb"));

    ASSERT_EQ(RunToEnd(Exe() + L" /unregserver"), 0);
    EXPECT_FALSE(cxtest::KeyExists(HKEY_CLASSES_ROOT, L"Word.Application"));
    EXPECT_FALSE(cxtest::KeyExists(HKEY_CLASSES_ROOT, L"Word.Application.16"));
    EXPECT_FALSE(cxtest::KeyExists(HKEY_CLASSES_ROOT, classKey));
    EXPECT_FALSE(cxtest::KeyExists(HKEY_CLASSES_ROOT, interfaceKey));
    EXPECT_FALSE(cxtest::KeyExists(HKEY_CLASSES_ROOT, L"TypeLib\\" + *library));
    EXPECT_EQ(::GetFileAttributesW(folder_.Path(L"WordStandin.tlb").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(RunToEnd(Exe() + L" /unregserver"), 0) << "nothing left to remove is no failure";
    ASSERT_EQ(RunToEnd(Exe() + L" /regserver"), 0);  // for TearDown's unregistration
}

TEST_F(WordStandinTest, RunningWordAnswersTheConnectSequenceAndJournalsEveryCallInOrder) {
    RegisterAddin();
    SetScenario(L"visible=0\naddin=Other.AddIn\naddin=cvwordaddin2.WORDADDIN2\nbar=Corvane2 Toolbar:5\n");
    StartRunning();
    const double start = NowMs();
    ComPtr<IDispatch> word = Attach();
    const double attachMs = NowMs() - start;
    ASSERT_TRUE(word);

    EXPECT_FALSE(BoolOf(word.get(), L"Visible"));
    EXPECT_EQ(Put(word.get(), L"visible", Bool(true)), S_OK);  // names are case-insensitive
    EXPECT_TRUE(BoolOf(word.get(), L"Visible"));

    // The tool's search: the list is fetched anew for every access.
    const long count = CountOf(Fetch(word.get(), L"COMAddIns").get());
    ASSERT_EQ(count, 2);
    EXPECT_EQ(ProgIdOf(AddInAt(word.get(), 1).get()), L"Other.AddIn");
    EXPECT_EQ(ProgIdOf(AddInAt(word.get(), 2).get()), L"cvwordaddin2.WORDADDIN2");
    {
        const auto bars = Fetch(word.get(), L"CommandBars");
        const auto bar = Fetch(bars.get(), L"Item", DISPATCH_PROPERTYGET, {Str(kToolbar)});
        ASSERT_TRUE(bar);
        const long controls = CountOf(Fetch(bar.get(), L"Controls").get());
        ASSERT_EQ(controls, 5);
        for (long k = controls; k >= 1; --k) {
            const auto control =
                Fetch(Fetch(bar.get(), L"Controls").get(), L"Item", DISPATCH_PROPERTYGET, {I4(k)});
            ASSERT_TRUE(control);
            CallResult deleted;
            Call(deleted, control.get(), L"Delete", DISPATCH_METHOD, {Bool(false)});
            EXPECT_EQ(deleted.hr, S_OK);
        }
        CallResult barDeleted;
        Call(barDeleted, bar.get(), L"Delete", DISPATCH_METHOD);
        EXPECT_EQ(barDeleted.hr, S_OK);
    }
    CallResult saved;
    Call(saved, Fetch(word.get(), L"NormalTemplate").get(), L"Save", DISPATCH_METHOD);
    EXPECT_EQ(saved.hr, S_OK);
    EXPECT_EQ(Put(AddInAt(word.get(), 2).get(), L"Connect", Bool(true)), S_OK);
    EXPECT_TRUE(BoolOf(AddInAt(word.get(), 2).get(), L"Connect"));
    // The bar is gone now, and Word reports the lookup as failed.
    CallResult again;
    Call(again, Fetch(word.get(), L"CommandBars").get(), L"Item", DISPATCH_PROPERTYGET, {Str(kToolbar)});
    EXPECT_EQ(again.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(again.scode, static_cast<SCODE>(0x800A0005));
    EXPECT_EQ(again.description, L"Invalid procedure call or argument");

    const double callStart = NowMs();
    constexpr int kCalls = 50;
    for (int i = 0; i < kCalls; ++i) BoolOf(word.get(), L"Visible");
    const double callMs = (NowMs() - callStart) / kCalls;
    std::printf("[timing] Word: attach to running %.1f ms, one call %.2f ms\n", attachMs, callMs);

    Lines expected = {
        L"Application.Visible get",
        L"Application.Visible put VT_BOOL -1",
        L"Application.Visible get",
        L"Application.COMAddIns get",
        L"COMAddIns.Count get",
        L"Application.COMAddIns get",
        L"COMAddIns.Item method VT_I4 1",
        L"COMAddIn#1.ProgId get",
        L"Application.COMAddIns get",
        L"COMAddIns.Item method VT_I4 2",
        L"COMAddIn#2.ProgId get",
        L"Application.CommandBars get",
        L"CommandBars.Item get VT_BSTR \"Corvane2 Toolbar\"",
        L"CommandBar(Corvane2 Toolbar).Controls get",
        L"Controls.Count get",
    };
    for (const auto& line : ControlDeletions(5)) expected.push_back(line);
    for (const auto* line : {
             L"CommandBar(Corvane2 Toolbar).Delete method",
             L"Application.NormalTemplate get",
             L"NormalTemplate.Save method",
             L"Application.COMAddIns get",
             L"COMAddIns.Item method VT_I4 2",
             L"COMAddIn#2.Connect put VT_BOOL -1",
             L"Application.COMAddIns get",
             L"COMAddIns.Item method VT_I4 2",
             L"COMAddIn#2.Connect get",
             L"Application.CommandBars get",
             L"CommandBars.Item get VT_BSTR \"Corvane2 Toolbar\"",
             L"CommandBars.Item -> exception 0x800A0005 \"Invalid procedure call or argument\"",
         }) {
        expected.push_back(line);
    }
    for (int i = 0; i < kCalls; ++i) expected.push_back(L"Application.Visible get");
    const Lines journal = Journal();
    EXPECT_EQ(CallLines(journal), expected);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), L"released"), 0);  // the client holds Word

    // Once the client let go the running Word says so, and stays for the next one.
    word.Reset();
    EXPECT_TRUE(WaitForLine(folder_, kJournal, L"released", 5000));
    EXPECT_FALSE(servers_.front().WaitExit(300));
    word = Attach();
    ASSERT_TRUE(word);
    EXPECT_TRUE(BoolOf(word.get(), L"Visible"));
    word.Reset();
    EXPECT_TRUE(WaitForLine(folder_, kJournal, L"released", 5000, 2));
    folder_.Write(L"WordStandin.exe.stop", L"");
    ASSERT_TRUE(servers_.front().WaitExit(5000));
    EXPECT_EQ(Journal().back(), L"exit reason=stopfile");
}

TEST_F(WordStandinTest, WordStartedByComQuitsOnlyWithArgumentsItCanReadAndLeavesOnceReleased) {
    SetScenario(L"addin=CVWordAddin2.WordAddIn2\n");
    CLSID clsid{};
    ASSERT_EQ(::CLSIDFromProgID(L"Word.Application", &clsid), S_OK);
    const double start = NowMs();
    ComPtr<IDispatch> created;
    ASSERT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                 created.putVoid()),
              S_OK);
    const double activationMs = NowMs() - start;
    std::printf("[timing] Word: first activation through COM %.0f ms\n", activationMs);
    ComPtr<IDispatch> word;
    ASSERT_EQ(created->QueryInterface(kApplicationIid, word.putVoid()), S_OK);
    const Process server = Process::Open(StartedPid(Journal(), L"embedding"));
    ASSERT_TRUE(server);
    EXPECT_FALSE(BoolOf(word.get(), L"Visible"));  // started invisible

    // Typed references: after dispatch the left-out ones are no longer the omitted marker, and do not
    // convert either.
    long typedSave = 0;
    SCODE typedFormat = DISP_E_PARAMNOTFOUND;
    SCODE typedRoute = DISP_E_PARAMNOTFOUND;
    CallResult refused;
    Call(refused, word.get(), L"Quit", DISPATCH_METHOD,
         {ByRef(VT_I4, &typedSave), ByRef(VT_ERROR, &typedFormat), ByRef(VT_ERROR, &typedRoute)});
    EXPECT_EQ(refused.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(refused.scode, DISP_E_TYPEMISMATCH);
    EXPECT_FALSE(server.WaitExit(300)) << "Word quit on arguments it cannot read";

    // References to variants holding the values, as early-bound callers and script hosts pass them.
    VARIANT saveChanges = I4(0);
    VARIANT originalFormat = Missing();
    VARIANT routeDocument = Missing();
    CallResult quit;
    Call(quit, word.get(), L"Quit", DISPATCH_METHOD,
         {ByRef(VT_VARIANT, &saveChanges), ByRef(VT_VARIANT, &originalFormat),
          ByRef(VT_VARIANT, &routeDocument)});
    EXPECT_EQ(quit.hr, S_OK);
    word.Reset();
    created.Reset();

    ASSERT_TRUE(server.WaitExit(5000));
    EXPECT_EQ(LinesAfter(Journal(), L"start mode=embedding"),
              (Lines{L"ready", L"CreateInstance", L"Application.Visible get",
                     L"Application.Quit method VT_I4|VT_BYREF 0, VT_ERROR|VT_BYREF 0x80020004, "
                     L"VT_ERROR|VT_BYREF 0x80020004",
                     L"Application.Quit -> error 0x80020005",
                     L"Application.Quit method VT_I4 0, VT_ERROR 0x80020004, VT_ERROR 0x80020004",
                     L"released", L"exit reason=quit"}));
}

TEST_F(WordStandinTest, WordStartedByComLeavesWhenReleasedWithoutQuit) {
    CLSID clsid{};
    ASSERT_EQ(::CLSIDFromProgID(L"Word.Application", &clsid), S_OK);
    ComPtr<IDispatch> word;
    ASSERT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, word.putVoid()), S_OK);
    const Process server = Process::Open(StartedPid(Journal(), L"embedding"));
    ASSERT_TRUE(server);
    auto addIns = Fetch(word.get(), L"COMAddIns");
    EXPECT_EQ(CountOf(addIns.get()), 0);
    word.Reset();
    EXPECT_FALSE(server.WaitExit(300)) << "the add-in list still holds the server";
    addIns.Reset();
    ASSERT_TRUE(server.WaitExit(5000));
    const Lines journal = Journal();
    ASSERT_GE(journal.size(), 2u);
    EXPECT_EQ(journal[journal.size() - 2], L"released");
    EXPECT_EQ(journal.back(), L"exit reason=released");
}

TEST_F(WordStandinTest, MembersFailAsTheScenarioAsksAndBadCallsAreRefusedAndJournaled) {
    SetScenario(
        L"fail=COMAddIns:Word cannot list add-ins.\n"
        L"fail=NormalTemplate.Save@0x800A1066\n"
        L"fail=Application.Visible put:\n"
        L"unknwon=1\n");
    StartRunning();
    ComPtr<IDispatch> word = Attach();
    ASSERT_TRUE(word);

    CallResult addIns;
    Call(addIns, word.get(), L"COMAddIns", DISPATCH_PROPERTYGET);
    EXPECT_EQ(addIns.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(addIns.scode, E_FAIL);
    EXPECT_EQ(addIns.description, L"Word cannot list add-ins.");

    // Through the dispatcher every failing member is an exception, with or without a description.
    CallResult save;
    Call(save, Fetch(word.get(), L"NormalTemplate").get(), L"Save", DISPATCH_METHOD);
    EXPECT_EQ(save.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(save.scode, static_cast<SCODE>(0x800A1066));
    EXPECT_EQ(save.description, L"");

    EXPECT_EQ(Put(word.get(), L"Visible", Bool(true)), DISP_E_EXCEPTION);
    EXPECT_FALSE(BoolOf(word.get(), L"Visible"));  // only the write fails

    // The dispatcher refuses malformed calls before any member runs (with the codes Wine's gives).
    CallResult unknown;
    Call(unknown, word.get(), L"Frobnicate", DISPATCH_METHOD);
    EXPECT_EQ(unknown.hr, DISP_E_UNKNOWNNAME);
    CallResult unnamedPut;
    Call(unnamedPut, word.get(), L"Visible", DISPATCH_PROPERTYPUT, {Bool(true)});
    EXPECT_EQ(unnamedPut.hr, DISP_E_PARAMNOTFOUND);
    CallResult propertyAsMethod;  // Item of the command bars is a property, not a method
    Call(propertyAsMethod, Fetch(word.get(), L"CommandBars").get(), L"Item", DISPATCH_METHOD,
         {Str(kToolbar)});
    EXPECT_EQ(propertyAsMethod.hr, DISP_E_MEMBERNOTFOUND);

    EXPECT_EQ(LinesAfter(Journal(), L"start mode=running"),
              (Lines{
                  L"scenario-error unknwon=1",
                  L"ready",
                  L"Application.COMAddIns get",
                  L"Application.COMAddIns -> exception 0x80004005 \"Word cannot list add-ins.\"",
                  L"Application.NormalTemplate get",
                  L"NormalTemplate.Save method",
                  L"NormalTemplate.Save -> error 0x800A1066",
                  L"Application.Visible put VT_BOOL -1",
                  L"Application.Visible -> exception 0x80004005 \"\"",
                  L"Application.Visible get",
                  L"Application.Frobnicate unknown-name",
                  L"Application.Visible -> error 0x80020004",
                  L"Application.CommandBars get",
                  L"CommandBars.Item -> error 0x80020003",
              }));
}

TEST_F(WordStandinTest, AnUnknownBarCanAlsoComeBackAsNoBar) {
    SetScenario(L"unknown_bar=null\nbar=Other:1\n");
    StartRunning();
    ComPtr<IDispatch> word = Attach();
    ASSERT_TRUE(word);
    CallResult bar;
    Call(bar, Fetch(word.get(), L"CommandBars").get(), L"Item", DISPATCH_PROPERTYGET, {Str(kToolbar)});
    EXPECT_EQ(bar.hr, S_OK);
    EXPECT_EQ(bar.value->vt, VT_DISPATCH);
    EXPECT_FALSE(bar.value.Object());
    EXPECT_TRUE(
        Fetch(Fetch(word.get(), L"CommandBars").get(), L"Item", DISPATCH_PROPERTYGET, {Str(L"other")}));
}

// Word loads COM add-ins in-process: those whose key says LoadBehavior 3 when it starts, others when
// their Connect is set; a failed load marks the add-in "not loaded" (LoadBehavior 2).
TEST_F(WordStandinTest, AddinsAreLoadedInProcessAndAFailedLoadMarksThemNotLoaded) {
    const std::wstring addinsKey = L"Software\\Microsoft\\Office\\Word\\Addins\\";
    RegisterAddin();
    cxtest::WriteDword(HKEY_CURRENT_USER, addinsKey + L"CVWordAddin2.WordAddIn2", L"LoadBehavior", 3);
    SetScenario(L"addin=Missing.AddIn\n");
    StartRunning();
    ComPtr<IDispatch> word = Attach();
    ASSERT_TRUE(word);
    ASSERT_EQ(CountOf(Fetch(word.get(), L"COMAddIns").get()), 2);
    EXPECT_EQ(ProgIdOf(AddInAt(word.get(), 2).get()), L"CVWordAddin2.WordAddIn2");
    EXPECT_TRUE(BoolOf(AddInAt(word.get(), 2).get(), L"Connect"));
    EXPECT_EQ(Put(AddInAt(word.get(), 2).get(), L"Connect", Bool(false)), S_OK);
    EXPECT_EQ(Put(AddInAt(word.get(), 2).get(), L"Connect", Bool(true)), S_OK);

    // Missing.AddIn has no class: the write fails with the lookup's code (CO_E_CLASSSTRING).
    EXPECT_EQ(Put(AddInAt(word.get(), 1).get(), L"Connect", Bool(true)), DISP_E_EXCEPTION);
    const Lines calls = CallLines(Journal());
    EXPECT_NE(std::find(calls.begin(), calls.end(), L"COMAddIn#1.Connect -> error 0x800401F3"), calls.end());
    EXPECT_FALSE(BoolOf(AddInAt(word.get(), 1).get(), L"Connect"));
    EXPECT_EQ(cxtest::ReadDword(HKEY_CURRENT_USER, addinsKey + L"Missing.AddIn", L"LoadBehavior"), 2u);
    word.Reset();
    StopServers();

    const Lines addin = folder_.Lines(L"CVWordAddin2.dll.journal");
    ASSERT_GE(addin.size(), 9u);
    EXPECT_EQ(Lines(addin.begin() + 3, addin.begin() + 9),
              (Lines{L"load", L"OnConnection bits=32 mode=1", L"OnDisconnection mode=1",
                     L"OnConnection bits=32 mode=0", L"OnBeginShutdown", L"OnDisconnection mode=0"}));
}

TEST_F(WordStandinTest, RunningWordLeavesTheTableOnQuitAndEndsOnceReleased) {
    StartRunning();
    ComPtr<IDispatch> word = Attach();
    ASSERT_TRUE(word);
    CallResult quit;
    Call(quit, word.get(), L"Quit", DISPATCH_METHOD);
    EXPECT_EQ(quit.hr, S_OK);
    ::Sleep(300);
    CLSID clsid{};
    ASSERT_EQ(::CLSIDFromProgID(L"Word.Application", &clsid), S_OK);
    ComPtr<IUnknown> gone;
    EXPECT_EQ(::GetActiveObject(clsid, nullptr, gone.put()), MK_E_UNAVAILABLE);
    EXPECT_FALSE(servers_.front().WaitExit(0)) << "left while the client still held it";
    word.Reset();
    ASSERT_TRUE(servers_.front().WaitExit(2000));
    EXPECT_EQ(LinesAfter(Journal(), L"start mode=running"),
              (Lines{L"ready",
                     // The dispatcher hands the member the left-out optional arguments as omitted.
                     L"Application.Quit method VT_ERROR 0x80020004, VT_ERROR 0x80020004, VT_ERROR 0x80020004",
                     L"released", L"exit reason=quit"}));
}

TEST_F(WordStandinTest, RunningWordCanBeAskedToLeaveWithItsLastClient) {
    SetScenario(L"exit_on_release=1\n");
    StartRunning();
    ComPtr<IDispatch> word = Attach();
    ASSERT_TRUE(word);
    EXPECT_FALSE(BoolOf(word.get(), L"Visible"));
    word.Reset();
    ASSERT_TRUE(servers_.front().WaitExit(2000));
    EXPECT_EQ(Journal().back(), L"exit reason=released");
}

TEST_F(WordStandinTest, ABusyWordTurnsCallsAwayUntilItsTimeIsUp) {
    SetScenario(L"busy_ms=1500\n");
    StartRunning();
    {
        // Turned away (Wine runs it all the same, so its outcome is not checked).
        CLSID clsid{};
        ASSERT_EQ(::CLSIDFromProgID(L"Word.Application", &clsid), S_OK);
        ComPtr<IUnknown> running;
        ASSERT_EQ(::GetActiveObject(clsid, nullptr, running.put()), S_OK);
        ComPtr<IDispatch> early;
        running->QueryInterface(IID_IDispatch, early.putVoid());
    }
    ::Sleep(1600);
    ComPtr<IDispatch> word = Attach();
    ASSERT_TRUE(word);
    EXPECT_FALSE(BoolOf(word.get(), L"Visible"));
    const Lines journal = Journal();
    const auto busy = std::find_if(journal.begin(), journal.end(), [](const std::wstring& line) {
        return line.rfind(L"busy rejected=", 0) == 0;
    });
    ASSERT_NE(busy, journal.end());
    EXPECT_GE(std::stol(busy->substr(14)), 1);
    EXPECT_LT(busy, std::find(journal.begin(), journal.end(), L"Application.Visible get"));
}

TEST_F(WordStandinTest, AForgottenServerLeavesAfterItsIdleTimeout) {
    SetScenario(L"timeout=1\n");
    StartRunning();
    ComPtr<IDispatch> word = Attach();  // held on purpose, as a client that died would
    ASSERT_TRUE(word);
    ASSERT_TRUE(servers_.front().WaitExit(4000));
    EXPECT_EQ(Journal().back(), L"exit reason=timeout");
}

// --- the add-in library ---

using EntryPoint = HRESULT(STDAPICALLTYPE*)();

EntryPoint Entry(HMODULE library, const char* name) {
    return reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

TEST(WordAddinStandinTest, EntryPointsRegisterTheAddinOrReturnTheConfiguredFailure) {
    using cxtest::ReadString;
    const Folder folder(L"addin");
    folder.Add(L"CVWordAddin2.dll");
    HMODULE library = ::LoadLibraryW(folder.Path(L"CVWordAddin2.dll").c_str());
    ASSERT_TRUE(library);
    const EntryPoint reg = Entry(library, "DllRegisterServer");
    const EntryPoint unreg = Entry(library, "DllUnregisterServer");
    ASSERT_TRUE(reg && unreg);
    EXPECT_EQ(reg(), S_OK);
    const auto clsid = ReadString(HKEY_CLASSES_ROOT, L"CVWordAddin2.WordAddIn2\\CLSID", L"");
    ASSERT_TRUE(clsid);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, L"CLSID\\" + *clsid + L"\\InprocServer32", L""),
              folder.Path(L"CVWordAddin2.dll"));
    folder.Write(L"CVWordAddin2.dll.hresult", L"0x80004005");
    EXPECT_EQ(unreg(), E_FAIL);
    EXPECT_TRUE(cxtest::KeyExists(HKEY_CLASSES_ROOT, L"CLSID\\" + *clsid))
        << "a failing entry point touches nothing";
    folder.Write(L"CVWordAddin2.dll.hresult", L"0");
    EXPECT_EQ(unreg(), S_OK);
    EXPECT_FALSE(cxtest::KeyExists(HKEY_CLASSES_ROOT, L"CLSID\\" + *clsid));
    EXPECT_FALSE(cxtest::KeyExists(HKEY_CLASSES_ROOT, L"CVWordAddin2.WordAddIn2"));
    folder.Write(L"CVWordAddin2.dll.hresult", L"-2147024894");
    EXPECT_EQ(reg(), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(cxtest::KeyExists(HKEY_CLASSES_ROOT, L"CVWordAddin2.WordAddIn2"));
    ::FreeLibrary(library);
    EXPECT_EQ(folder.Lines(L"CVWordAddin2.dll.journal"),
              (Lines{L"load", L"DllRegisterServer", L"DllUnregisterServer", L"DllUnregisterServer",
                     L"DllRegisterServer", L"unload"}));
}

TEST(WordAddinStandinTest, TheBrokenBuildLoadsButLacksBothEntryPoints) {
    const Folder folder(L"addin-noentry");
    folder.Add(L"CVWordAddin2_noentry.dll", L"CVWordAddin2.dll");
    HMODULE library = ::LoadLibraryW(folder.Path(L"CVWordAddin2.dll").c_str());
    ASSERT_TRUE(library);
    EXPECT_EQ(::GetProcAddress(library, "DllRegisterServer"), nullptr);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(::GetProcAddress(library, "DllUnregisterServer"), nullptr);
    ::FreeLibrary(library);
    EXPECT_EQ(folder.Lines(L"CVWordAddin2.dll.journal"), (Lines{L"load", L"unload"}));
}

}  // namespace
