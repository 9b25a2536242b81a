// Shared by the stand-ins: a journal file beside the stand-in's own executable, one UTF-8 line per
// event, and small settings files beside it that a test writes.
#pragma once

#include <optional>
#include <string>

namespace standin {

// The running module's full path (works in a DLL too).
std::wstring OwnModulePath();

// Appends `line` and a line feed to "<own path>.journal", opened and closed per line so that a
// crash loses nothing and readers see complete lines.
void Journal(const std::wstring& line);

// Contents of "<own path>.<suffix>" as UTF-8 text, if the file exists.
std::optional<std::string> ReadSetting(const std::wstring& suffix);

// The setting as an integer, or `fallback` when it is absent.
long SettingNumber(const std::wstring& suffix, long fallback);

}  // namespace standin
