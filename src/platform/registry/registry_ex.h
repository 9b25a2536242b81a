// Single-value registry helpers: each call opens its key under a predefined root, does one thing and
// closes the key again. Paths may begin with one backslash, which is skipped; error messages show the
// path as the caller passed it. Errors raised here are ERegistryExError with one of three messages:
//   read error   "Unable to open key \"%s\" for read"
//   write error  "Unable to open key \"%s\" for write"
//   value error  "Unable to open key \"%s\" and access value \"%s\""
// The string reader and the key-tree deleter never raise; callers rely on the difference.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace cx {

// The path without its first character when that is a backslash (only one is skipped).
std::wstring RegSubKeyName(std::wstring_view path);

// Sets the default value of `path` (REG_SZ), creating the key and any missing parents. The outcome
// is not examined: never raises.
void WriteRegKeyDefault(HKEY root, const std::wstring& path, const std::wstring& text);

// The REG_SZ or REG_EXPAND_SZ value `name` (empty: the default value) cut at its first NUL and not
// expanded; `fallback` when the key or the value is missing, of another type, or cannot be read.
// Never raises.
std::wstring ReadRegString(HKEY root, const std::wstring& path, const std::wstring& name,
                           const std::wstring& fallback);

// A string value as read by a caller that writes it back, and so must tell a value that is not there
// from one that is there but could not be read: only the first may be replaced.
struct RegStringRead {
    enum class Outcome { Missing, Text, Unreadable };
    Outcome outcome = Outcome::Missing;
    // With Text: the value cut at its first NUL, not expanded.
    std::wstring text;
    // With Text: REG_SZ or REG_EXPAND_SZ.
    DWORD type = REG_NONE;
};

// Reads as ReadRegString does (key opened with KEY_READ), but says what happened. Missing: the key or
// the value does not exist. Unreadable: the key exists but cannot be opened for reading, the value is
// of another type than REG_SZ or REG_EXPAND_SZ, or the read fails otherwise. A value that another
// program changes between the size query and the read is read again, a bounded number of times; one
// that keeps changing through all of them is Unreadable. Never raises.
RegStringRead QueryRegString(HKEY root, const std::wstring& path, const std::wstring& name);

// Raises the read error when the key cannot be opened, the value error when the value is missing,
// not REG_DWORD or longer than four bytes.
std::uint32_t ReadRegDWord(HKEY root, const std::wstring& path, const std::wstring& name);
// ReadRegDWord is not 0; raises as ReadRegDWord.
bool ReadRegBool(HKEY root, const std::wstring& path, const std::wstring& name);

// The writers open an existing key only (nothing is created) and raise the write error when the key
// cannot be opened or the value cannot be set.
// REG_SZ with its terminating NUL.
void WriteRegString(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& text);
// REG_EXPAND_SZ with its terminating NUL, so that %references% keep expanding.
void WriteRegExpandString(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& text);
void WriteRegDWord(HKEY root, const std::wstring& path, const std::wstring& name, std::uint32_t value);
// REG_DWORD 1 or 0.
void WriteRegBool(HKEY root, const std::wstring& path, const std::wstring& name, bool value);

// Raises the write error when the key cannot be opened and the value error when the value cannot be
// deleted (a missing value included); true otherwise.
bool DeleteRegValue(HKEY root, const std::wstring& path, const std::wstring& name);

// False only when the key is missing; a key that exists but denies this process access exists.
// Never raises.
bool RegKeyExists(HKEY root, const std::wstring& path);

// Deletes the key and everything below it, depth first, the sub-key with the highest index first. It
// stops at the first sub-key that cannot be deleted, leaving that one, its lower-index siblings and
// the key in place. True when the key is gone; false also for a missing key. Never raises.
bool DeleteRegKeyTree(HKEY root, const std::wstring& path);

}  // namespace cx
