// Finding the office suite's package tool "unopkg.com" through the class the suite registers for its
// automation server.
#pragma once

#include <optional>
#include <string>

#include "platform/registry/class_registration.h"

namespace cx {

// How the tool runs, as far as finding the suite goes: elevated, only the machine's classes count.
using SuiteLookup = ClassesLookup;

// The package tool beside the soffice.exe that the suite's server is registered with, when that file
// exists (and is not a directory). The 32-bit view is tried first; under WOW64 the 64-bit view follows
// when the first yields no package tool. Never raises.
std::optional<std::wstring> FindPackageTool(SuiteLookup lookup);

// FindPackageTool for this process, as it runs.
std::optional<std::wstring> FindPackageTool();

}  // namespace cx
