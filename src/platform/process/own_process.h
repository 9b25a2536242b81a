// What the tool's own process runs as: a 32-bit program on 32-bit or on 64-bit Windows (WOW64), and
// with an elevated token or not. Both are asked of the system at run time.
#pragma once

#include "platform/registry/class_registration.h"

namespace cx {

// True when this 32-bit process runs on 64-bit Windows, where part of the registry has a separate
// 64-bit view. IsWow64Process is looked up at run time; false when it is missing or fails. Never raises.
bool RunsUnderWow64();

// True when the process token is elevated (TokenElevation). When that cannot be told the answer is
// true, so that callers fall back to what only administrators can change. Never raises.
bool IsElevated();

// Where this process looks up class registrations: IsElevated and RunsUnderWow64. Never raises.
ClassesLookup OwnClassesLookup();

}  // namespace cx
