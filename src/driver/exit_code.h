// The exit-code protocol: handlers end the run by raising EReturn, which only the driver catches.
#pragma once

#include <cstdint>

#include "platform/errors.h"

namespace cx {

// The driver's own result: no switch ended the run, the user cancelled, or an error was shown.
constexpr std::int32_t kExitNothingDone = -2;

[[noreturn]] inline void RaiseReturn(std::int32_t code) { throw EReturn(code); }

// true gives 0, false gives 1.
[[noreturn]] inline void RaiseReturnFlag(bool flag) { RaiseReturn(flag ? 0 : 1); }

}  // namespace cx
