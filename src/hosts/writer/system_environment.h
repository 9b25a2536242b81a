// The machine's own environment (HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Session
// Manager\Environment), which every user's programs get joined with their own: the PATH edit of "am"
// runs on it, under a lock of the whole machine.
#pragma once

#include "hosts/writer/user_environment.h"

namespace cx {

inline constexpr wchar_t kSystemPathLockName[] = L"Corvane2.SystemPath";
inline constexpr EnvironmentScope kSystemEnvironmentScope{L"system PATH", L"the system PATH",
                                                          kSystemPathLockName, LockScope::Machine};

// The machine's environment. Values keep their type as the user's do; a write is not mirrored in this
// process's environment, whose PATH is the machine's and the user's joined (the package tool, the only
// program started afterwards, does not need the folder on it). Raises ERegistryExError as the user's
// store does, naming "SYSTEM\CurrentControlSet\Control\Session Manager\Environment".
UserEnvironmentStore& SystemEnvironmentRegistry();

}  // namespace cx
