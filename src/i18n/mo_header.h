// Fields of a catalogue's header entry: lines of "Name: value", such as
// "Content-Type: text/plain; charset=UTF-8". Portable.
#pragma once

#include <string_view>

namespace cx {

// The value of the first line of `header` (lines end at CR, LF or CR LF) that starts with `name`, a
// colon and a blank, the name compared without regard to ASCII case; blanks and control characters
// (bytes up to 0x20, and 0x7F) are trimmed from both ends. Empty when no line matches. The result is
// a view into `header`, still UTF-8.
std::string_view GetHeaderField(std::string_view header, std::string_view name);

}  // namespace cx
