// Getting hold of Word's application object: the Word the user runs, or a new one.
#pragma once

#include "platform/com/com_ptr.h"

namespace cx {

// Word's application interface. It is dual, so the pointer obtained for it also serves the calls by
// member name.
inline constexpr IID kWordApplicationIid = {
    0x00020970, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

inline constexpr wchar_t kWordProgId[] = L"Word.Application";
// Word's program, as the process list names it.
inline constexpr wchar_t kWordProcessName[] = L"WINWORD.EXE";

// The running Word, made visible when it was hidden (the user is about to be told to restart it).
// Empty when Word does not run, is not registered, or any step fails. Raises only when a call to it
// passed its time bound (platform/com/call_bound.h), since starting a Word of the tool's own beside it
// would be wrong.
ComPtr<IDispatch> GetRunningWordApp();

// Whether a Word process runs in the tool's session, reachable through automation or not (the name
// compared as the process list compares names). Never raises; false when the list cannot be taken.
bool IsWordProcessRunning();

// A new Word instance; its visibility is left alone, so it runs without a window the user sees.
// Empty when none can be started; never raises. StartedWord (started_word.h) holds it for a step.
ComPtr<IDispatch> CreateWordApp();

}  // namespace cx
