#include "hosts/writer/writer_extension.h"

#include <windows.h>

#include "hosts/writer/office_facade.h"
#include "hosts/writer/package_tool.h"
#include "hosts/writer/system_environment.h"
#include "hosts/writer/user_environment.h"
#include "platform/com/com_apartment.h"
#include "platform/errors.h"
#include "platform/process/process_runner.h"
#include "platform/process/running_processes.h"
#include "platform/process/started_server.h"
#include "platform/run/program_end.h"
#include "platform/run/run_log.h"
#include "platform/system/app_paths.h"
#include "platform/text/format.h"

namespace cx {
namespace {

constexpr wchar_t kPackageFile[] = L"CVOOAddin.oxt";

constexpr std::int32_t kDone = 0;
constexpr std::int32_t kFailed = 1;
constexpr std::int32_t kDoneWriterRunning = 2;

// The suite's program and its launcher, which stays while the program runs.
constexpr const wchar_t* kSuiteProcesses[] = {L"soffice.bin", L"soffice.exe"};

std::optional<std::wstring> FindPackageToolLogged() {
    auto tool = FindPackageTool();
    if (!tool) LogStep(L"no package tool: no unopkg.com beside a registered soffice.exe of the office suite");
    return tool;
}

// Whether the suite runs in any session, its own user's or another's. When the running programs cannot
// be listed, it may: the answer is yes.
bool SuiteRunsAnywhere() {
    ProcessList processes;
    if (!GetRunningProcessNames(processes, false)) {
        LogStep(L"the running programs cannot be listed: the office suite may be running");
        return true;
    }
    for (const wchar_t* name : kSuiteProcesses) {
        if (HasProcessNamed(processes, name)) {
            LogStep(FormatText(L"the office suite runs (%s) in some session", {name}));
            return true;
        }
    }
    return false;
}

// Whether the suite must be restarted once the package tool has done its work.
using RestartCheck = bool (*)();

std::int32_t RunPackageTool(const std::wstring& commandLine,
                            RestartCheck mustRestart = &IsWriterDocumentOpen) {
    const CapturedRun run = RunProcessCapture(commandLine);
    // The tool reports trouble in words; a tool that could not start or ended with an error code did
    // not do its job either, even when it said nothing.
    if (run.exitCode != 0 || !run.output.empty()) {
        LogStep(run.output.empty() ? FormatText(L"the package tool failed with exit code %d", {run.exitCode})
                                   : std::wstring(L"the package tool failed: it printed a message"));
        return kFailed;
    }
    return mustRestart() ? kDoneWriterRunning : kDone;
}

// The shared package changes under every user; the package tool sees only its own user's suite.
bool SuiteStopsAllUsersChange() {
    if (!SuiteRunsAnywhere()) return false;
    LogStep(
        L"nothing changed for all users: the package tool cannot see other users' instances of the suite");
    return true;
}

}  // namespace

bool ProbeWriterSuite() {
    return FindPackageToolLogged().has_value();
}

bool IsWriterDocumentOpen() {
    const ScopedComApartment apartment;
    std::unique_ptr<StartedServer> startedSuite;
    bool open = false;
    {
        // Inside the apartment's scope, so its references are released before COM is shut down.
        OleEditorFacadeOO facade;
        // The question is asked after the work is done: no error may turn that work into a failure.
        try {
            facade.ConnectIfRunning();
            facade.FindActiveDocument();
            open = static_cast<bool>(facade.Document());
        } catch (const Exception&) {
            open = false;
        }
        startedSuite = facade.TakeStartedSuite();
    }
    // A suite that COM started for the question is nobody's: once let go it must end, or be ended.
    if (startedSuite && !startedSuite->WaitForEnd(kCloseGraceMs)) startedSuite->End();
    return open;
}

// The package step runs whether or not the PATH entry could be changed; either failing fails the switch.
std::int32_t InstallWriterExtension() {
    const bool pathChanged = AddAppDirToUserPath(UserEnvironmentRegistry());
    const auto tool = FindPackageToolLogged();
    const std::int32_t result =
        tool ? RunPackageTool(FormatText(L"\"%s\" add -f \"%s%s\"", {*tool, GetAppDir(), kPackageFile}))
             : kFailed;
    return pathChanged ? result : kFailed;
}

std::int32_t UninstallWriterExtension() {
    const bool pathChanged = RemoveAppDirFromUserPath(UserEnvironmentRegistry());
    const auto tool = FindPackageToolLogged();
    const std::int32_t result =
        tool ? RunPackageTool(FormatText(L"\"%s\" remove \"%s\"", {*tool, kPackageFile})) : kFailed;
    return pathChanged ? result : kFailed;
}

std::int32_t InstallWriterExtensionForAllUsers() {
    if (SuiteStopsAllUsersChange()) return kFailed;
    const bool pathChanged = AddAppDirToUserPath(SystemEnvironmentRegistry());
    const auto tool = FindPackageToolLogged();
    const std::int32_t result = tool ? RunPackageTool(FormatText(L"\"%s\" add --shared -f \"%s%s\"",
                                                                 {*tool, GetAppDir(), kPackageFile}),
                                                      &SuiteRunsAnywhere)
                                     : kFailed;
    return pathChanged ? result : kFailed;
}

std::int32_t UninstallWriterExtensionForAllUsers() {
    if (SuiteStopsAllUsersChange()) return kFailed;
    const bool pathChanged = RemoveAppDirFromUserPath(SystemEnvironmentRegistry());
    const auto tool = FindPackageToolLogged();
    const std::int32_t result =
        tool ? RunPackageTool(FormatText(L"\"%s\" remove --shared \"%s\"", {*tool, kPackageFile}),
                              &SuiteRunsAnywhere)
             : kFailed;
    return pathChanged ? result : kFailed;
}

}  // namespace cx
