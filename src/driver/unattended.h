// Unattended runs, for installers: the quiet switch "qu" (no message box, and a time limit on the
// whole run) and the log switch "lo" (a file that every step of the run is appended to). Neither is
// an action: they change how the run goes, never which switch acts or what it does.
#pragma once

#include <cstdint>
#include <string>

#include "driver/switches.h"

namespace cx {

inline constexpr std::uint32_t kDefaultDeadlineSeconds = 300;

struct UnattendedOptions {
    bool quiet = false;
    std::uint32_t deadlineSeconds = kDefaultDeadlineSeconds;
    // Empty: no log.
    std::wstring logPath;
};

// "qu": a switch character, "qu" in any letter case, then nothing or only digits (the time limit in
// seconds; a number too big to hold is the longest limit there is); the first such parameter counts.
// "lo": the first parameter that is a switch character and "lo"; the rest of it is the log's path,
// and an empty rest means no log.
UnattendedOptions ParseUnattended(const Parameters& params);

// Runs before anything else of the run: opens the log and writes its header, turns the boxes off and
// starts the deadline. False when a time limit of 0 seconds has already passed: the run then does
// nothing and ends with EndUnattended(-2). Never raises.
bool BeginUnattended(const UnattendedOptions& options);

// Once the texts are translated: a log that BeginUnattended refused (a link, see OpenLogFile) is
// reported in a warning box, which a quiet run does not show (in English when the catalogue cannot be
// used). The run goes on as without the log. Never raises.
void ReportRefusedLog(const UnattendedOptions& options);

// After the run: the deadline no longer applies and the log gets the exit code. Returns `exitCode`.
std::int32_t EndUnattended(std::int32_t exitCode);

}  // namespace cx
