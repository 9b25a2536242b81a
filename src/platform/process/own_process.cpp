#include "platform/process/own_process.h"

#include <windows.h>

#include "platform/handles.h"
#include "platform/system/system_function.h"

namespace cx {

bool RunsUnderWow64() {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64Process = FindSystemFunction<IsWow64ProcessFn>(Kernel32(), "IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64Process && isWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

bool IsElevated() {
    UniqueHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return true;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size)) return true;
    return elevation.TokenIsElevated != 0;
}

ClassesLookup OwnClassesLookup() {
    return {IsElevated(), RunsUnderWow64()};
}

}  // namespace cx
