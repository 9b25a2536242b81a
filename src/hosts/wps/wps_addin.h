// The reference manager's add-in for Kingsoft WPS: version probe and the add-in's registration key.
#pragma once

#include <cstdint>

namespace cx {

// WPS versions above 5 load the add-in.
constexpr std::int32_t kMinWpsVersion = 6;

// The major version from WPS's "CurVer" registration; -1 when there is none. Raises as
// GetRegisteredVersion (platform/registered_version.h) for a malformed registration.
std::int32_t GetWpsVersion();

// "pv": a WPS of version 6 or later is registered. Raises as GetWpsVersion.
bool ProbeWpsVersion();

// "pi": writes the add-in key under HKEY_LOCAL_MACHINE with its four values. False when a value
// could not be written; values written before stay. Never raises.
bool InstallWpsAddin();

// "pu": deletes the add-in key with everything below it; true when it is gone (false when it was
// missing). Never raises.
bool UninstallWpsAddin();

}  // namespace cx
