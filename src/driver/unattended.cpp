#include "driver/unattended.h"

#include <windows.h>

#include <limits>
#include <optional>

#include "driver/exit_code.h"
#include "driver/message_boxes.h"
#include "platform/errors.h"
#include "platform/run/crash_filter.h"
#include "platform/run/message_box.h"
#include "platform/run/run_deadline.h"
#include "platform/run/run_log.h"
#include "platform/text/format.h"
#include "platform/text/res_string.h"
#include "resources/version.h"

namespace cx {
namespace {

// Nothing (the default limit) or digits only; anything else after "qu" is not the switch.
std::optional<std::uint32_t> DeadlineSeconds(std::wstring_view digits) {
    if (digits.empty()) return kDefaultDeadlineSeconds;
    std::uint64_t seconds = 0;
    for (const wchar_t c : digits) {
        if (c < L'0' || c > L'9') return std::nullopt;
        seconds = seconds * 10 + static_cast<std::uint64_t>(c - L'0');
        if (seconds > std::numeric_limits<std::uint32_t>::max())
            seconds = std::numeric_limits<std::uint32_t>::max();
    }
    return static_cast<std::uint32_t>(seconds);
}

// Set by BeginUnattended before any other thread exists, read by ReportRefusedLog.
bool logRefused = false;

}  // namespace

UnattendedOptions ParseUnattended(const Parameters& params) {
    UnattendedOptions options;
    for (const std::wstring& param : params) {
        const auto rest = SwitchRest(param, L"qu");
        if (!rest) continue;
        if (const auto seconds = DeadlineSeconds(*rest)) {
            options.quiet = true;
            options.deadlineSeconds = *seconds;
            break;
        }
    }
    if (const auto path = GetSwitchValue(params, L"lo")) options.logPath = *path;
    return options;
}

bool BeginUnattended(const UnattendedOptions& options) {
    if (options.quiet) {
        SetQuietMode(true);
        // Nor any box the system would show on the tool's behalf (a drive that is not ready, a crash),
        // here, for the log's drive too, or in the programs the tool starts, which inherit the mode.
        ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
        // A fault must not hang the run past its deadline with the system's debugger attached.
        InstallCrashFilter();
    }
    // A run that must end at once (an automation call that cannot be given up) ends as an error does.
    SetRunFailure(kExitNothingDone, &ShowErrorBox);
    if (!options.logPath.empty()) {
        logRefused = OpenRunLog(options.logPath, L"CXAddinReg " CX_VERSION_TEXT) == LogFileOpening::Refused;
    }
    if (!options.quiet) return true;
    if (options.deadlineSeconds == 0) {
        LogStep(L"quiet run with a time limit of 0 s: nothing is done");
        return false;
    }
    LogStep(FormatText(L"quiet run, time limit %u s", {options.deadlineSeconds}));
    StartRunDeadline(options.deadlineSeconds, kExitNothingDone);
    return true;
}

void ReportRefusedLog(const UnattendedOptions& options) {
    if (!logRefused) return;
    std::wstring text;
    try {
        text = FormatResString(IDS_LOG_REFUSED, {options.logPath});
    } catch (const Exception&) {
        // A catalogue that cannot be used is the run's own affair, met when the run loads a text.
        text = FormatText(LoadEnglishResString(IDS_LOG_REFUSED), {options.logPath});
    }
    ShowResultMessage(text, true);
}

std::int32_t EndUnattended(std::int32_t exitCode) {
    StopRunDeadline();
    LogStep(FormatText(L"exit code %d", {exitCode}));
    return exitCode;
}

}  // namespace cx
