// Every message box of the tool goes through here: a quiet run ("qu") shows none, and the run's log
// records the text of each, shown or not.
#pragma once

#include <windows.h>

#include <string>

namespace cx {

// From now on no box is shown. Set once, before the driver runs.
void SetQuietMode(bool quiet);

// MessageBoxW without owner window. In a quiet run nothing is shown and the answer is the one the
// box gives when it is closed: IDOK for an OK box, IDCANCEL for any other.
int PresentMessageBox(const std::wstring& text, const std::wstring& caption, UINT flags);

}  // namespace cx
