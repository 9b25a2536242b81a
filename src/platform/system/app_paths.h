// Where the tool itself lives. Files installed beside it are named by full path from here.
#pragma once

#include <string>

#include "platform/text/path_text.h"

namespace cx {

// Full path of the running executable. Raises EOSError when the system cannot tell it.
std::wstring GetAppFileName();
// The executable's directory with its trailing backslash.
std::wstring GetAppDir();

}  // namespace cx
