// The one loader of string-table texts. Every text the tool shows comes through here, so translation
// happens in one place.
#pragma once

#include <initializer_list>
#include <string>

#include "platform/format.h"
#include "resources/string_ids.h"

namespace cx {

// The text of string-table entry `id` in the current language; identifiers of 65536 or more give "ERROR".
// Raises EGGIOError when the catalogue that should translate it cannot be used.
std::wstring LoadResString(unsigned id);

// LoadResString, then FormatText with the arguments. The catalogues hold the format strings, so the
// text is translated before the arguments go in.
std::wstring FormatResString(unsigned id, std::initializer_list<FormatArg> args);

// The English text of entry `id`, as the string table holds it, without translation: for the few
// texts that must not depend on a catalogue (the warning about a broken one). Empty when missing.
std::wstring LoadEnglishResString(unsigned id);

}  // namespace cx
