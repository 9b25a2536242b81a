// Registered paths with %references%, as the system reads them.
#pragma once

#include <string>

namespace cx {

// `text` with its %references% expanded from this process's environment, as COM expands a class's
// REG_EXPAND_SZ server path; `text` unchanged when it has none or the expansion fails. Never raises.
std::wstring ExpandEnvironment(const std::wstring& text);

}  // namespace cx
