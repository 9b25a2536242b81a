// Stand-in for the office suite's automation server (OfficeStandin.exe), the object behind the ProgID
// "com.sun.star.ServiceManager". Its objects, journal labels and scenario file are described in
// office_objects.h and the common headers.
//
// Command line:
//   /regserver     register the class (below) and exit with 0 or the failing HRESULT
//   /unregserver   remove what /regserver wrote
//   -Embedding     started by COM: serve a new service manager through a single-use class factory; leave
//                  when the client released everything, on the stop file or after the idle timeout
//   /running       serve every activation (multiple-use class factory) until the stop file or the idle
//                  timeout, so that a test pays the server's start once
// The first journal line of every run is "start mode=<regserver|unregserver|embedding|running|none>
// pid=<process id>"; registration adds "regserver 0x<hresult>" or "unregserver 0x<hresult>". Without a
// known switch the program exits with 2.
//
// Registration, under HKEY_CLASSES_ROOT:
//   com.sun.star.ServiceManager         (default) "OfficeStandin service manager"
//   com.sun.star.ServiceManager\CLSID   (default) {F541AE24-2E8E-4016-8D01-80C816243B19}
//   CLSID\{F541...}                     (default) "OfficeStandin service manager"
//   CLSID\{F541...}\LocalServer32       (default) the executable's full path in quotation marks
//   CLSID\{F541...}\ProgID              (default) "com.sun.star.ServiceManager"
// The suite's own class {82154420-0FBF-11d4-8313-005004526AB4}, whose LocalServer32 names soffice.exe,
// is left to the tests.
#include <windows.h>

#include "common/class_registration.h"
#include "common/com_server.h"
#include "common/journal.h"
#include "common/scenario.h"
#include "office/office_objects.h"

namespace {

using namespace standin;

// {F541AE24-2E8E-4016-8D01-80C816243B19}
constexpr CLSID kClassId = {0xF541AE24, 0x2E8E, 0x4016, {0x8D, 0x01, 0x80, 0xC8, 0x16, 0x24, 0x3B, 0x19}};
constexpr wchar_t kProgId[] = L"com.sun.star.ServiceManager";
constexpr wchar_t kDescription[] = L"OfficeStandin service manager";

int Register() {
    const std::wstring classKey = L"CLSID\\" + GuidText(kClassId);
    const HRESULT hr = WriteClassesValues({
        {kProgId, L"", kDescription},
        {std::wstring(kProgId) + L"\\CLSID", L"", GuidText(kClassId)},
        {classKey, L"", kDescription},
        {classKey + L"\\LocalServer32", L"", L"\"" + OwnModulePath() + L"\""},
        {classKey + L"\\ProgID", L"", kProgId},
    });
    wchar_t line[64];
    ::wsprintfW(line, L"regserver 0x%08lX", static_cast<unsigned long>(hr));
    Journal(line);
    return static_cast<int>(hr);
}

int Unregister() {
    const HRESULT hr = DeleteClassesKeys({kProgId, L"CLSID\\" + GuidText(kClassId)});
    wchar_t line[64];
    ::wsprintfW(line, L"unregserver 0x%08lX", static_cast<unsigned long>(hr));
    Journal(line);
    return static_cast<int>(hr);
}

int Serve(bool running) {
    const Scenario scenario = Scenario::Load();
    scenario.ReportUnknown({"component", "window", "fail", "timeout"});
    const DWORD idleTimeoutMs = static_cast<DWORD>(scenario.Number("timeout", 60)) * 1000;
    SetFaultRules(scenario.GetAll("fail"), idleTimeoutMs);
    SetExceptionSource(L"OfficeStandin");
    const auto model = office::ModelFromScenario(scenario);

    ServerConfig config;
    config.clsid = kClassId;
    config.publish = running ? Publish::MultipleUseFactory : Publish::SingleUseFactory;
    config.create = [model] { return office::NewServiceManager(model); };
    config.exitWhenReleased = !running;
    config.idleTimeoutMs = idleTimeoutMs;
    return RunServer(config);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return RunServerMain({&Register, &Unregister, &Serve});
}
