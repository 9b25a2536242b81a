#include "platform/process/process_session.h"

#include <windows.h>

namespace cx {

bool RunsInOwnSession(std::uint32_t pid) {
    DWORD own = 0;
    DWORD theirs = 0;
    if (!::ProcessIdToSessionId(::GetCurrentProcessId(), &own) || !::ProcessIdToSessionId(pid, &theirs))
        return true;
    return own == theirs;
}

}  // namespace cx
