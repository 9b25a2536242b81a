#include "platform/process/process_session.h"

#include <windows.h>

#include "platform/handles.h"
#include "platform/process/own_process.h"

namespace cx {
namespace {

// The process token's elevation; nullopt when it cannot be read.
std::optional<bool> ProcessElevated(std::uint32_t pid, const ProcessApi& api) {
    if (!api.openProcess || !api.openProcessToken || !api.tokenInformation) return std::nullopt;
    const UniqueHandle process(api.openProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    UniqueHandle token;
    if (!process || !api.openProcessToken(process.get(), TOKEN_QUERY, token.put())) return std::nullopt;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!api.tokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size))
        return std::nullopt;
    return elevation.TokenIsElevated != 0;
}

}  // namespace

std::optional<std::uint32_t> ProcessSession(std::uint32_t pid, const ProcessApi& api) {
    DWORD session = 0;
    if (!api.processIdToSessionId || !api.processIdToSessionId(pid, &session)) return std::nullopt;
    return session;
}

bool RunsInOwnSession(std::uint32_t pid, const ProcessApi& api) {
    const auto own = ProcessSession(::GetCurrentProcessId(), api);
    const auto theirs = ProcessSession(pid, api);
    return !own || !theirs || *own == *theirs;
}

bool ReachableByAutomation(std::uint32_t pid, const ProcessApi& api) {
    const auto own = ProcessSession(::GetCurrentProcessId(), api);
    const auto theirs = ProcessSession(pid, api);
    if (!own || !theirs || *own != *theirs) return false;
    if (!IsElevated()) return true;
    return ProcessElevated(pid, api).value_or(false);
}

}  // namespace cx
