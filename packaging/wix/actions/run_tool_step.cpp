// CXAddinRegMsi.dll: the custom action that runs CXAddinReg.exe as one step of a Windows Installer
// package. Deferred, so that it runs while the installer executes its script: after the files are in
// place, and in a per-machine package elevated. The step comes in the action's CustomActionData
// (actions/tool_step.h). The probe runs in the same context as the step it guards, so both see the
// machine as the elevated step will, and a host the probe misses is skipped, not failed. Each run is
// waited for within the tool's own time limit plus a grace; its exit code passes or fails the step.
// Every run and decision goes to the installer's log.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <optional>
#include <string>

#include "actions/tool_step.h"
#include "platform/errors.h"
#include "platform/handles.h"

namespace {

using cx::msi::ToolStep;

// Beyond the tool's own limit: time for it to end the programs it started, and exit.
constexpr DWORD kGraceMs = 30000;
// ERROR_ELEVATION_REQUIRED, which MinGW's headers lack.
constexpr DWORD kElevationRequired = 740;

// The installer's log, one line. The text goes in as a field, so that brackets in a path are not
// taken for formatting.
void Log(MSIHANDLE install, const std::wstring& text) {
    PMSIHANDLE record = ::MsiCreateRecord(1);
    ::MsiRecordSetStringW(record, 0, L"[1]");
    ::MsiRecordSetStringW(record, 1, text.c_str());
    ::MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
}

// Raises Exception when the property cannot be read.
std::wstring CustomActionData(MSIHANDLE install) {
    wchar_t none[1] = L"";
    DWORD size = 0;
    ::MsiGetPropertyW(install, L"CustomActionData", none, &size);  // the length only
    std::wstring data(size + 1, L'\0');
    size = static_cast<DWORD>(data.size());
    if (::MsiGetPropertyW(install, L"CustomActionData", data.data(), &size) != ERROR_SUCCESS) {
        throw cx::Exception(L"CustomActionData cannot be read");
    }
    data.resize(size);
    return data;
}

// How one run of the tool went: its exit code, or why there is none.
struct RunResult {
    std::optional<std::int32_t> code;
    std::wstring failure;
};

// Absorbs every failure into the result; a tool still running past the time limit and the grace is
// ended (its own job then ends what it started).
RunResult RunTool(const ToolStep& step, const std::wstring& switches) {
    std::wstring commandLine = cx::msi::ToolCommandLine(step, switches);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info)) {
        const DWORD error = ::GetLastError();
        std::wstring failure = L"not started (error " + std::to_wstring(error) + L")";
        // The tool's manifest asks for administrators: an impersonated action of a package that was
        // not started elevated cannot start it.
        if (error == kElevationRequired) failure += L": start the installation elevated";
        return {std::nullopt, failure};
    }
    const cx::UniqueHandle process(info.hProcess);
    const cx::UniqueHandle thread(info.hThread);
    if (::WaitForSingleObject(process.get(), step.limitSeconds * 1000 + kGraceMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), ERROR_TIMEOUT);
        ::WaitForSingleObject(process.get(), kGraceMs);
        return {std::nullopt, L"still running " + std::to_wstring(step.limitSeconds + kGraceMs / 1000) +
                                  L" s after its start, ended"};
    }
    DWORD code = 0;
    if (!::GetExitCodeProcess(process.get(), &code)) return {std::nullopt, L"no exit code"};
    return {static_cast<std::int32_t>(code), std::wstring()};
}

std::wstring Outcome(const RunResult& result) {
    return result.code ? std::to_wstring(*result.code) : result.failure;
}

UINT Verdict(MSIHANDLE install, const ToolStep& step, const std::wstring& switches, const RunResult& result) {
    const bool passed = result.code ? cx::msi::IsAccepted(step, *result.code) : step.acceptAny;
    Log(install,
        L"CXAddinReg " + switches + L" -> " + Outcome(result) +
            (passed ? L": accepted" : L": not among " + cx::msi::AcceptedText(step) + L", the step fails"));
    return passed ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}

UINT RunStep(MSIHANDLE install) {
    const ToolStep step = cx::msi::ParseToolStep(CustomActionData(install));
    if (!step.probe.empty()) {
        const RunResult probe = RunTool(step, step.probe);
        const std::wstring text = L"CXAddinReg " + step.probe + L" -> " + Outcome(probe);
        switch (cx::msi::DecideAfterProbe(step, probe.code)) {
            case cx::msi::AfterProbe::kSkip:
                Log(install, text + L": host missing, " + step.run + L" skipped");
                return ERROR_SUCCESS;
            case cx::msi::AfterProbe::kFail:
                Log(install, text + L": no answer, " + step.run + L" not run, the step fails");
                return ERROR_INSTALL_FAILURE;
            case cx::msi::AfterProbe::kRun:
                Log(install, text + (probe.code == 0 ? L": host present"
                                                     : L": no answer, " + step.run + L" runs all the same"));
                break;
        }
    }
    return Verdict(install, step, step.run, RunTool(step, step.run));
}

}  // namespace

// The entry point the package names (DllEntry="RunToolStep"). No exception leaves the library.
extern "C" __declspec(dllexport) UINT __stdcall RunToolStep(MSIHANDLE install) {
    try {
        return RunStep(install);
    } catch (const cx::Exception& error) {
        Log(install, L"CXAddinReg step: " + error.Message());
    } catch (...) {
        Log(install, L"CXAddinReg step: unexpected failure");
    }
    return ERROR_INSTALL_FAILURE;
}
