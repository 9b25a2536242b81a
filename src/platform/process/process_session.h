// Which logon session a process belongs to, and whether the tool's automation calls can reach it: a
// program the user runs in another session (another user, a service), or without elevation while the
// tool runs elevated, is not one the tool's caller sees, nor one COM hands the tool's calls to.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/process/running_processes.h"

namespace cx {

// The session of process `pid`; nullopt when it cannot be read (the process ended, or may not be
// queried). Raises nothing.
std::optional<std::uint32_t> ProcessSession(std::uint32_t pid, const ProcessApi& api = SystemProcessApi());

// True when process `pid` runs in the calling process's session, and also when its session cannot be
// read: callers use it to warn, and a needless warning costs less than a missing one. Raises nothing.
bool RunsInOwnSession(std::uint32_t pid, const ProcessApi& api = SystemProcessApi());

// True when COM would hand the calling process the objects that process `pid` serves instead of
// starting a server of its own: `pid` runs in the caller's session and, when the caller runs elevated,
// elevated as well (an elevated caller is never given a server that runs without elevation). False when
// either cannot be told: a server started for nothing costs more than a question not asked. Raises
// nothing.
bool ReachableByAutomation(std::uint32_t pid, const ProcessApi& api = SystemProcessApi());

}  // namespace cx
