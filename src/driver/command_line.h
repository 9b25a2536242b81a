// Splitting the process's command line into parameters. Portable.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cx {

// Items are separated by runs of characters 1..32; a double quote opens a stretch (to the next quote or
// the end) in which blanks belong to the item, and the quotes are dropped; there is no escape
// character. Pairs of adjacent quotes before an item are skipped. The first item is the program name
// and is not returned; splitting ends at the first empty item, so no parameter is empty.
std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine);

}  // namespace cx
