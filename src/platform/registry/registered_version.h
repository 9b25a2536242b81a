// The major version of a program as its COM registration names it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry/class_registration.h"

namespace cx {

// No usable registration.
constexpr std::int32_t kNoVersion = -1;

// Reads the default value of <progId>\CurVer, such as "Word.Application.11", under the classes root
// that `lookup` trusts, in the first of its views where both keys exist; drops as many characters as
// `progId` and a dot (without comparing them), and rounds the rest, read as a number in the user's
// locale, to the nearest integer (ties to even). kNoVersion when either key is missing in every view
// or nothing is left after the drop; a missing value reads as empty. The default lookup reads
// HKEY_CLASSES_ROOT in the process's own view.
// Raises ERegistryException "Invalid data type for ''" when the value is not a string, and
// EConvertError "'%s' is not a valid floating point value" when the rest is not a number or its
// rounded value is outside the 32-bit range.
std::int32_t GetRegisteredVersion(const std::wstring& progId,
                                  const ClassesLookup& lookup = {.elevated = false});

// Whether GetRegisteredVersion(progId) is at least `least`; when not, the run's log says what was found.
// Raises as GetRegisteredVersion.
bool IsRegisteredVersionAtLeast(const std::wstring& progId, std::int32_t least,
                                const ClassesLookup& lookup = {.elevated = false});

}  // namespace cx
