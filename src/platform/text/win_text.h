// Conversions between UTF-16 and a Windows code page, at the edges only, with checked sizes.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace cx {

std::wstring ToWide(std::string_view text, UINT codePage = CP_ACP);
std::string ToAnsi(std::wstring_view text, UINT codePage = CP_ACP);

}  // namespace cx
