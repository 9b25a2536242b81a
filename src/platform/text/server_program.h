// The program file that a COM class's registration names. Portable.
#pragma once

#include <string>
#include <string_view>

namespace cx {

// The program a LocalServer32 command line starts. A command that begins with a quotation mark names
// the text up to the next one (all of it when there is none). Otherwise the program ends at the first
// ".exe" (any letter case) that ends the command or is followed by a blank, since registrations such
// as Word's leave a path with blanks unquoted ("C:\Program Files\...\WINWORD.EXE /Automation"); a
// command without one ends at its first blank. Blanks around the command are ignored; the result is
// empty when nothing is left.
std::wstring ServerProgram(std::wstring_view command);

// An InprocServer32 value as the path of its library: blanks around it and a pair of quotation marks
// around the rest are dropped; blanks inside stay, since a library path is never followed by options.
std::wstring InprocServerPath(std::wstring_view value);

}  // namespace cx
