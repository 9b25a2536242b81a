// One run of CXAddinReg.exe as a step of a Windows Installer package, as the package describes it to
// the deferred custom action (its CustomActionData): fields "name=value" separated by "|", which no
// path or switch of ours holds.
//   tool=<full path of CXAddinReg.exe>   required
//   run=<the step's switches>            required, e.g. "/pi"
//   accept=<codes>                       required: the exit codes that pass, "0,2", or "any"
//   probe=<switch>                       optional: run first; 0 runs the step, 1 skips it
//   limit=<seconds>                      optional, 1 to 86400 (default 300): passed as "/qu<seconds>"
//   log=<path>                           optional: passed as "/lo<path>"
// Portable: no Windows header.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cx::msi {

inline constexpr std::uint32_t kDefaultLimitSeconds = 300;
inline constexpr std::uint32_t kMaxLimitSeconds = 86400;

struct ToolStep {
    std::wstring tool;
    std::wstring run;
    std::wstring probe;  // empty: none
    std::vector<std::int32_t> accepted;
    bool acceptAny = false;
    std::uint32_t limitSeconds = kDefaultLimitSeconds;
    std::wstring log;  // empty: none
};

// Raises Exception naming the field for a malformed description: empty, an unknown, repeated or
// missing field, a tool path that is not absolute (a bare name would be searched for along PATH), a
// limit or code that is not a number in range.
ToolStep ParseToolStep(std::wstring_view data);

// The command line of one run: the tool quoted, "/qu<limit>", the log parameter quoted whole, then
// `switches` as given.
std::wstring ToolCommandLine(const ToolStep& step, std::wstring_view switches);

// What the probe's exit code (none: the probe did not run to its end) means for the step: 0, the host
// is there, runs it; 1, the host is missing, skips it; anything else leaves the host open, and then a
// step that passes on any code (a removal, an undo) runs all the same while any other fails.
enum class AfterProbe { kRun, kSkip, kFail };
AfterProbe DecideAfterProbe(const ToolStep& step, std::optional<std::int32_t> probeCode);

bool IsAccepted(const ToolStep& step, std::int32_t code);

// "0,2", or "any": the accepted codes as the description wrote them, for messages.
std::wstring AcceptedText(const ToolStep& step);

}  // namespace cx::msi
