// Where the office suite's package tool lies, judged from the command line its automation server is
// registered with. Portable.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cx {

// The registered command's text up to and including the backslash of its first "\soffice.exe"
// (matched exactly, letter case included), followed by "unopkg.com". Nothing else is examined:
// options after soffice.exe are dropped and a leading quotation mark stays. nullopt when there is no
// "\soffice.exe" or it starts the text.
std::optional<std::wstring> PackageToolCandidate(std::wstring_view serverCommand);

}  // namespace cx
