// What the tool does inside Word: connect or disconnect a COM add-in (taking away the legacy toolbar and
// saving the Normal template first when it was there), and close a Word the tool started itself. Every call
// goes by member name and waits for Word; a call Word reports as failed raises EOleException with Word's own
// description (or EOleSysError when Word gave none). Where errors are absorbed is said per function.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <string_view>

namespace cx {

// The command bar that older releases of the add-in left in Word.
inline constexpr wchar_t kLegacyToolbarName[] = L"Corvane2 Toolbar";

// ProgIDs match when, converted to the ANSI code page, they have the same length and are equal apart
// from the case of A to Z.
bool SameProgId(std::wstring_view a, std::wstring_view b);

// Finds the first add-in in Word's COM add-in list whose ProgID matches `progId`; removes the legacy
// toolbar, then sets the add-in's Connect. An add-in that is not listed changes nothing. Raises when
// the add-in list cannot be read; a failure while removing the toolbar or connecting is absorbed, and
// skips what follows it, unless it is a call that passed its time bound. Raises EAssertionFailed for a
// null `word`.
void SetComAddinConnected(IDispatch* word, std::wstring_view progId, bool connect);

// Deletes the command bar `barName` with its controls, the last control first, then saves the Normal
// template; when Word returns no bar nothing was changed and nothing is saved. Raises at the first
// failing call, so a lookup that Word reports as failed also skips the save.
void DeleteCommandBar(IDispatch* word, std::wstring_view barName);

// Closes Word without saving its documents. Raises on failure.
void QuitWordApp(IDispatch* word);

}  // namespace cx
