// Finding the office suite's package tool "unopkg.com" through the class the suite registers for its
// automation server.
#pragma once

#include <optional>
#include <string>

namespace cx {

// How the tool runs, as far as finding the suite goes.
struct SuiteLookup {
    // Elevated: only the machine's class registrations count, never the user's own.
    bool elevated = true;
    // A 32-bit process on 64-bit Windows: a 64-bit suite registers in the 64-bit view only.
    bool wow64 = false;
};

// The package tool beside the soffice.exe that the suite's server is registered with, when that file
// exists (and is not a directory). The 32-bit view is tried first; under WOW64 the 64-bit view follows
// when the first yields no package tool. Never raises.
std::optional<std::wstring> FindPackageTool(SuiteLookup lookup);

// FindPackageTool for this process, as it runs.
std::optional<std::wstring> FindPackageTool();

}  // namespace cx
