// The major version of a program as its COM registration names it.
#pragma once

#include <cstdint>
#include <string>

namespace cx {

// No usable registration.
constexpr std::int32_t kNoVersion = -1;

// Reads the default value of HKEY_CLASSES_ROOT\<progId>\CurVer, such as "Word.Application.11", drops
// as many characters as `progId` and a dot (without comparing them), and rounds the rest, read as a
// number in the user's locale, to the nearest integer (ties to even). kNoVersion when either key is
// missing or nothing is left after the drop; a missing value reads as empty.
// Raises ERegistryException "Invalid data type for ''" when the value is not a string, and
// EConvertError "'%s' is not a valid floating point value" when the rest is not a number or its
// rounded value is outside the 32-bit range.
std::int32_t GetRegisteredVersion(const std::wstring& progId);

// Whether GetRegisteredVersion(progId) is at least `least`; when not, the run's log says what was found.
// Raises as GetRegisteredVersion.
bool IsRegisteredVersionAtLeast(const std::wstring& progId, std::int32_t least);

}  // namespace cx
