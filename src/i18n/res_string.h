// The one loader of string-table texts. Every text the tool shows comes through here, so translation
// happens in one place.
#pragma once

#include <initializer_list>
#include <string>

#include "platform/format.h"
#include "resources/string_ids.h"

namespace cx {

// The text of string-table entry `id` in the current language; identifiers of 65536 or more give "ERROR".
std::wstring LoadResString(unsigned id);

// LoadResString, then FormatText with the arguments.
std::wstring FormatResString(unsigned id, std::initializer_list<FormatArg> args);

}  // namespace cx
