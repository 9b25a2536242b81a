// Which Word is registered, and whether the add-in supports it.
#pragma once

#include <cstdint>

#include "platform/registry/class_registration.h"

namespace cx {

// Word of Office 2000.
constexpr std::int32_t kMinWordVersion = 9;

// The major version from Word's "CurVer" registration, read where `lookup` trusts (elevated, the
// machine's classes only); -1 when there is none. Raises as GetRegisteredVersion
// (platform/registered_version.h) for a malformed registration.
std::int32_t GetWordVersion(const ClassesLookup& lookup);
// GetWordVersion for this process, as it runs.
std::int32_t GetWordVersion();

// "wv": a Word of version 9 or later is registered, for this process as it runs. Raises as
// GetWordVersion.
bool ProbeWordVersion();

}  // namespace cx
