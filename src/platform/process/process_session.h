// Which logon session a process belongs to: a program the user runs in another session (another user,
// a service) is not one the tool's caller sees.
#pragma once

#include <cstdint>

namespace cx {

// True when process `pid` runs in the calling process's session, and also when its session cannot be
// read (the process ended, or may not be queried): callers use it to warn, and a needless warning costs
// less than a missing one. Raises nothing.
bool RunsInOwnSession(std::uint32_t pid);

}  // namespace cx
