// Finds message boxes (dialog class #32770) of a process, reads them, and presses their buttons.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace cxtest {

enum class BoxIcon { None, Error, Warning, Information, Question, Unknown };

struct BoxButton {
    int id;
    std::wstring text;
};

struct BoxInfo {
    HWND hwnd = nullptr;
    std::wstring caption;
    std::wstring text;
    BoxIcon icon = BoxIcon::Unknown;
    std::vector<BoxButton> buttons;
    // Button ids in dialog order, e.g. {IDYES, IDNO, IDCANCEL}.
    std::vector<int> ButtonIds() const;
};

// The first visible message box owned by process `pid` (any process when 0), if one is showing.
std::optional<BoxInfo> FindBox(DWORD pid);

// Waits up to `timeoutMs` for a box of `pid`.
std::optional<BoxInfo> WaitForBox(DWORD pid, DWORD timeoutMs);

// Presses the button `id` of the box.
void PressButton(const BoxInfo& box, int id);

// The icon shown by a box. The system icons are compared by handle, which works for boxes of the
// calling process; for another process's box the answer may be Unknown.
BoxIcon DetectIcon(HWND box);

const char* ToString(BoxIcon icon);

}  // namespace cxtest
