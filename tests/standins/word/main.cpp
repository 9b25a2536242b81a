// Stand-in for Microsoft Word as an automation server (WordStandin.exe). Its members, their journal
// lines and its scenario file are described in word_objects.h, word_model.h and the common headers.
//
// Command line:
//   /regserver     register the class (below) and exit with 0 or the failing HRESULT
//   /unregserver   remove what /regserver wrote
//   -Embedding     (or /Automation) started by COM: serve new application objects through a single-use
//                  class factory; leave when the client released them, on Quit, on the stop file or
//                  after the idle timeout
//   /running       a Word the user started: one application in the running object table, served until
//                  Quit, the stop file or the idle timeout
//   /unreachable   a Word that runs but that COM does not show the caller (started by the user without
//                  elevation, for an elevated caller): nothing published; it waits for the stop file or
//                  the idle timeout. Tests start it under Word's own program name.
// The first journal line of every run is "start mode=<regserver|unregserver|embedding|running|unreachable|
// none> pid=<process id>"; registration adds "regserver 0x<hresult>" or "unregserver 0x<hresult>". A
// server whose type library cannot be loaded ends with "exit reason=typelib-missing". Without a known
// switch the program exits with 2.
//
// Registration, under HKEY_CLASSES_ROOT (Wine keeps it under HKLM\Software\Classes):
//   Word.Application              (default) "Microsoft Word Application"
//   Word.Application\CLSID        (default) {33B42607-B211-4007-9264-EFF8E2AC01DB}
//   Word.Application\CurVer       (default) "Word.Application.16"
//   Word.Application.16           (default) "Microsoft Word Application"
//   Word.Application.16\CLSID     (default) the CLSID
//   CLSID\{33B4...}               (default) "Microsoft Word Application"; ProgID "Word.Application.16"
//   CLSID\{33B4...}\LocalServer32 (default) the executable's full path in quotation marks
//   CLSID\{33B4...}\ProgID, \VersionIndependentProgID, \TypeLib (defaults) as their names say
//   and the type library "WordStandin.tlb" built beside the executable and registered (TypeLib\{LIBID},
//   Interface\{00020970-0000-0000-C000-000000000046}); the 64-bit build (x64\WordStandin.exe) writes
//   the class into the 64-bit registry view and registers "WordStandin32.tlb" for 32-bit clients too.
#include <windows.h>

#include "common/class_registration.h"
#include "common/com_server.h"
#include "common/fault_rules.h"
#include "common/journal.h"
#include "common/scenario.h"
#include "word/addin_host.h"
#include "word/type_library.h"
#include "word/word_model.h"
#include "word/word_objects.h"

namespace {

using namespace standin;

// {33B42607-B211-4007-9264-EFF8E2AC01DB}
constexpr CLSID kClassId = {0x33B42607, 0xB211, 0x4007, {0x92, 0x64, 0xEF, 0xF8, 0xE2, 0xAC, 0x01, 0xDB}};
constexpr wchar_t kLibraryIdText[] = L"{DDC69F06-9182-430D-97CE-0E3321EB7820}";
constexpr wchar_t kDescription[] = L"Microsoft Word Application";

std::wstring TypeLibraryPath() {
    std::wstring path = OwnModulePath();
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"WordStandin.tlb";
}

std::vector<std::wstring> RegisteredKeys() {
    return {L"Word.Application", L"Word.Application.16", L"CLSID\\" + GuidText(kClassId)};
}

int Register() {
    const std::wstring clsid = GuidText(kClassId);
    const std::wstring classKey = L"CLSID\\" + clsid;
    HRESULT hr = WriteClassesValues({
        {L"Word.Application", L"", kDescription},
        {L"Word.Application\\CLSID", L"", clsid},
        {L"Word.Application\\CurVer", L"", L"Word.Application.16"},
        {L"Word.Application.16", L"", kDescription},
        {L"Word.Application.16\\CLSID", L"", clsid},
        {classKey, L"", kDescription},
        {classKey + L"\\LocalServer32", L"", L"\"" + OwnModulePath() + L"\""},
        {classKey + L"\\ProgID", L"", L"Word.Application.16"},
        {classKey + L"\\VersionIndependentProgID", L"", L"Word.Application"},
        {classKey + L"\\TypeLib", L"", kLibraryIdText},
    });
    if (SUCCEEDED(hr)) hr = ::OleInitialize(nullptr);
    if (SUCCEEDED(hr)) {
        hr = word::RegisterTypeLibrary(TypeLibraryPath());
        ::OleUninitialize();
    }
    wchar_t line[64];
    ::wsprintfW(line, L"regserver 0x%08lX", static_cast<unsigned long>(hr));
    Journal(line);
    return static_cast<int>(hr);
}

int Unregister() {
    HRESULT hr = ::OleInitialize(nullptr);
    if (SUCCEEDED(hr)) {
        hr = word::UnregisterTypeLibrary(TypeLibraryPath());
        ::OleUninitialize();
    }
    const HRESULT keys = DeleteClassesKeys(RegisteredKeys());
    if (SUCCEEDED(hr)) hr = keys;
    wchar_t line[64];
    ::wsprintfW(line, L"unregserver 0x%08lX", static_cast<unsigned long>(hr));
    Journal(line);
    return static_cast<int>(hr);
}

int ServeAs(Publish publish) {
    const Scenario scenario = Scenario::Load();
    scenario.ReportUnknown({"visible", "addin", "bar", "unknown_bar", "fail", "busy_ms", "timeout",
                            "quit_grace_ms", "exit_on_release", "never_ready"});
    // Started by COM but stuck before it serves, as a Word in a first-run dialog nobody sees.
    if (publish == Publish::SingleUseFactory && scenario.Flag("never_ready", false))
        publish = Publish::Unreachable;
    const DWORD idleTimeoutMs = static_cast<DWORD>(scenario.Number("timeout", 60)) * 1000;
    SetFaultRules(scenario.GetAll("fail"), idleTimeoutMs);
    SetExceptionSource(L"Microsoft Word");
    const auto model = word::ModelFromScenario(scenario);

    // The members are dispatched through the registered type library, as Word's are through its own.
    if (!word::LoadInterfaces()) {
        Journal(L"exit reason=typelib-missing");
        return 1;
    }

    ServerConfig config;
    config.clsid = kClassId;
    config.publish = publish;
    config.create = [model] { return word::NewApplication(model); };
    config.exitWhenReleased = publish == Publish::SingleUseFactory || scenario.Flag("exit_on_release", false);
    config.idleTimeoutMs = idleTimeoutMs;
    config.quitGraceMs = static_cast<DWORD>(scenario.Number("quit_grace_ms", 3000));
    config.busyMs = static_cast<DWORD>(scenario.Number("busy_ms", 0));
    config.onExit = [model] { word::UnloadAddIns(*model); };
    return RunServer(config);
}

int Serve(bool running) {
    return ServeAs(running ? Publish::RunningObject : Publish::SingleUseFactory);
}

int ServeUnreachable() {
    return ServeAs(Publish::Unreachable);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return RunServerMain({&Register, &Unregister, &Serve, &ServeUnreachable});
}
