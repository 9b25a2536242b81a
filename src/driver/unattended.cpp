#include "driver/unattended.h"

#include <windows.h>

#include <limits>
#include <optional>

#include "driver/exit_code.h"
#include "driver/message_boxes.h"
#include "platform/run/crash_filter.h"
#include "platform/run/message_box.h"
#include "platform/run/run_deadline.h"
#include "platform/run/run_log.h"
#include "platform/text/format.h"
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
    if (!options.logPath.empty()) OpenRunLog(options.logPath, L"CXAddinReg " CX_VERSION_TEXT);
    // A run that must end at once (an automation call that cannot be given up) ends as an error does.
    SetRunFailure(kExitNothingDone, &ShowErrorBox);
    if (!options.quiet) return true;
    SetQuietMode(true);
    // A fault must not hang the run past its deadline with the system's debugger attached.
    InstallCrashFilter();
    // Nor any box the system would show on the tool's behalf (a drive that is not ready, a crash),
    // here or in the programs the tool starts, which inherit the mode.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    if (options.deadlineSeconds == 0) {
        LogStep(L"quiet run with a time limit of 0 s: nothing is done");
        return false;
    }
    LogStep(FormatText(L"quiet run, time limit %u s", {options.deadlineSeconds}));
    StartRunDeadline(options.deadlineSeconds, kExitNothingDone);
    return true;
}

std::int32_t EndUnattended(std::int32_t exitCode) {
    StopRunDeadline();
    LogStep(FormatText(L"exit code %d", {exitCode}));
    return exitCode;
}

}  // namespace cx
