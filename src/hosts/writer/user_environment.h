// The current user's environment variables as new programs get them (HKEY_CURRENT_USER\Environment),
// and the application directory's entry on the user's PATH.
#pragma once

#include <string>

namespace cx {

// The variable's text as stored (references such as %USERPROFILE% not expanded); empty when it is
// missing or unreadable. Never raises.
std::wstring ReadUserEnvVar(const std::wstring& name);

// Stores `text` as the variable (keeping REG_EXPAND_SZ where the value has that type; a new value is
// REG_SZ) or, for an empty text, deletes it; mirrors the change in this process's own environment so
// that children started afterwards see it; then tells the running programs. Nothing for an empty name.
// Raises ERegistryExError: the write error for "Environment" when the key cannot be opened or the
// value set, the value error for "Environment" and the name when the value cannot be deleted.
void WriteUserEnvVar(const std::wstring& name, const std::wstring& text);

// Adds the application directory to the user's PATH unless an entry names it already (whole entries,
// letter case and a trailing backslash ignored); writes and announces nothing then. Raises as
// WriteUserEnvVar.
void AddAppDirToUserPath();

// Removes the first PATH entry naming the application directory, with one neighbouring separator;
// an emptied PATH is deleted. Writes and announces nothing when there is no such entry. Raises as
// WriteUserEnvVar.
void RemoveAppDirFromUserPath();

}  // namespace cx
