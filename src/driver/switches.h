// Finding switches among the parameters. Switch characters are "-" and "/"; names are compared by the
// user locale's case-insensitive comparison.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cx {

using Parameters = std::vector<std::wstring>;

// Whether some parameter is a switch character followed by exactly `name`.
bool IsSwitchPresent(const Parameters& params, std::wstring_view name);

// The rest of the first parameter that is a switch character followed by `prefix`; the search stops at
// that parameter even when the rest is empty.
std::optional<std::wstring> GetSwitchValue(const Parameters& params, std::wstring_view prefix);

// The rest of `param` when it is a switch character followed by `prefix`.
std::optional<std::wstring_view> SwitchRest(std::wstring_view param, std::wstring_view prefix);

}  // namespace cx
