// The run's log ("lo"): one UTF-8 file that every step of the run reports to as it happens. Each kind
// of step has one reporter below, called from the one place where that kind of step happens, so a
// reader finds what is recorded here and where by the reporter's name. Without a log every reporter
// returns at once: nothing is formatted, opened or written.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/run/log_file.h"

namespace cx {

// Opens `path` for appending (created if missing; other runs may append at the same time; a link or
// anything but a file of its own at that path is refused, see OpenLogFile) and writes the header: the
// local time, `program` (name and version), the process id and the command line. A log that cannot be
// opened or is refused is no error: the run goes on without one, and the caller may report a refusal.
// Never raises.
LogFileOpening OpenRunLog(const std::wstring& path, std::wstring_view program);
bool IsRunLogOpen();

// One entry: the seconds since the log was opened, then `text`; the lines of a text with line breaks
// after the first start with a tab. One write per entry; failures are ignored, an entry there is no
// memory for included: never raises. Safe from any thread.
void LogStep(std::wstring_view text);

// The run is being ended by the calling thread (its deadline, a fault): from now on only that thread
// writes, so that the log ends with how the run ended, not with a step another thread was finishing.
void SealRunLog();

// Registry: a value set, a value or key deleted, a key created; `path` as the caller passed it (one
// leading backslash is dropped), `status` the system's answer (not ERROR_SUCCESS: logged as failed).
// A text longer than a kilobyte or so is shown by its length and its first and last few hundred
// characters.
void LogRegistryValue(HKEY root, std::wstring_view path, std::wstring_view name, DWORD type, const void* data,
                      DWORD size, LONG status);
void LogRegistryValueDeleted(HKEY root, std::wstring_view path, std::wstring_view name, LONG status);
void LogRegistryKeyDeleted(HKEY root, std::wstring_view path, LONG status);
void LogRegistryKeyCreated(HKEY root, std::wstring_view path);

// Child programs: the start (`error` ERROR_SUCCESS when it started), the end, the captured output.
void LogProgramStart(std::wstring_view commandLine, DWORD error);
void LogProgramEnd(std::int32_t exitCode, bool terminated);
void LogProgramOutput(std::wstring_view output);

// Automation: a call by member name with its flags (DISPATCH_...) and result; a server activated or
// attached to by ProgID; an entry point of a library loaded into the tool.
void LogAutomationCall(std::wstring_view member, WORD flags, HRESULT hr);
void LogServerActivation(std::wstring_view what, std::wstring_view progId, HRESULT hr);
void LogLibraryCall(std::wstring_view library, std::string_view entryPoint, HRESULT hr);

// Servers COM starts: the process the run found for `progId` (`pid` 0: none, `name` then naming the
// programs looked for); how the run ended one (`how`: "closed when asked" or "terminated"); a call
// that passed its time bound.
void LogServerProcess(std::wstring_view progId, std::uint32_t pid, std::wstring_view name);
void LogServerProcessEnded(std::uint32_t pid, std::wstring_view name, std::wstring_view how);
void LogCallGivenUp(std::wstring_view what, std::uint32_t seconds);

// Translation: the catalogue a domain opened for its language; an empty path when it found none.
void LogCatalogue(std::string_view domain, std::string_view language, std::wstring_view path);

// A message box's caption and text, and whether it was shown or, in a quiet run, only logged.
void LogMessageBox(std::wstring_view caption, std::wstring_view text, bool shown);

}  // namespace cx
