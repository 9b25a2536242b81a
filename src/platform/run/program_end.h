// How the run ends a program it started: by terminating it with this exit code, whether a wait of the
// process runner gave up or the run's deadline passed. Both places use it, so it lives below both.
#pragma once

#include <cstdint>

namespace cx {

// Exit code given to a child terminated because the wait did not end with it.
constexpr std::int32_t kProcessTerminated = 0x7FFFFFFF;

}  // namespace cx
