// Path text functions over backslash paths. Portable.
#pragma once

#include <string>
#include <string_view>

namespace cx {

// Up to and including the last backslash or colon; empty when there is none.
std::wstring ExtractPathDir(std::wstring_view fileName);
// After the last backslash or colon; the whole text when there is none.
std::wstring ExtractPathName(std::wstring_view fileName);
// Drops the extension (only when the last dot, backslash or colon is a dot) and appends `extension`.
std::wstring ReplacePathExt(std::wstring_view fileName, std::wstring_view extension);

}  // namespace cx
