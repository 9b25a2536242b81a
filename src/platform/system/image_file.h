// Questions about program and library files on disk.
#pragma once

#include <string>

#include "platform/system/pe_image.h"

namespace cx {

// The bitness of the program or library at `path`, from its PE header (PeImageBitness over the
// file's first bytes). Unknown when the file cannot be opened or read. Never raises.
Bitness ReadImageBitness(const std::wstring& path);

// Whether `a` and `b` name the same existing file (the same volume and file index), whatever way
// each is spelled: long or short names, letter case, links. False when either cannot be opened.
// Never raises.
bool IsSameFile(const std::wstring& a, const std::wstring& b);

}  // namespace cx
