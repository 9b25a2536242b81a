// Questions about files that several parts of the tool ask.
#pragma once

#include <windows.h>

#include <string>

namespace cx {

// Whether `path` names an existing file (not a directory). Never raises.
inline bool IsExistingFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace cx
