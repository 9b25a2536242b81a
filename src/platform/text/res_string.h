// The one loader of string-table texts. Every text the tool shows comes through here, so translation
// happens in one place. The loader belongs to the platform layer, which asks for its error texts by
// identifier; the translation engine, which sits above it, plugs itself in at start-up.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/text/format.h"
#include "resources/string_ids.h"

namespace cx {

// Turns a loaded English text into the text shown. May raise (EGGIOError for an unusable catalogue).
using ResStringTranslator = std::wstring (*)(std::wstring_view english);

// Every text loaded from now on passes through `translator`; null shows the English texts.
void SetResStringTranslator(ResStringTranslator translator);

// The text of string-table entry `id` in the current language; identifiers of 65536 or more give "ERROR".
// Raises what the translator raises.
std::wstring LoadResString(unsigned id);

// LoadResString, then FormatText with the arguments. The catalogues hold the format strings, so the
// text is translated before the arguments go in.
std::wstring FormatResString(unsigned id, std::initializer_list<FormatArg> args);

// The English text of entry `id`, as the string table holds it, without translation: for the few
// texts that must not depend on a catalogue (the warning about a broken one). Empty when missing.
std::wstring LoadEnglishResString(unsigned id);

}  // namespace cx
