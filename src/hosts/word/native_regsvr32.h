// Registering a 64-bit library from this 32-bit tool: it cannot load the library itself, so the
// 64-bit regsvr32 does it, in its own process and registry view.
#pragma once

#include <cstdint>
#include <string>

namespace cx {

// regsvr32's exit codes with /s.
inline constexpr std::int32_t kRegsvrDone = 0;

// Runs the 64-bit "regsvr32 /s [/u] "<libraryPath>"", reached from WOW64 through the Windows folder's
// "Sysnative" alias, with the process runner (so a quiet run keeps its job, its deadline and its log),
// and waits for it: as long as the library's own registration takes, like the in-process call of the
// 32-bit library. Returns its exit code (0 done, 3 the library cannot be loaded, 4 no entry point, 5 the
// entry point failed; the runner's codes when it could not be started). Never raises.
std::int32_t RunNativeRegsvr32(const std::wstring& libraryPath, bool doRegister);

}  // namespace cx
