#include "support/message_box_driver.h"

namespace cxtest {
namespace {

constexpr int kTextControlId = 0xFFFF;

std::wstring WindowText(HWND hwnd) {
    const int length = ::GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

std::wstring ClassName(HWND hwnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return name;
}

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if ((search->pid == 0 || owner == search->pid) && ::IsWindowVisible(hwnd) && ClassName(hwnd) == L"#32770") {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectButton(HWND child, LPARAM param) {
    auto* buttons = reinterpret_cast<std::vector<BoxButton>*>(param);
    if (_wcsicmp(ClassName(child).c_str(), L"Button") == 0 && ::IsWindowVisible(child)) {
        buttons->push_back({::GetDlgCtrlID(child), WindowText(child)});
    }
    return TRUE;
}

}  // namespace

std::vector<int> BoxInfo::ButtonIds() const {
    std::vector<int> ids;
    for (const BoxButton& button : buttons) ids.push_back(button.id);
    return ids;
}

BoxIcon DetectIcon(HWND box) {
    HWND iconControl = nullptr;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (_wcsicmp(ClassName(child).c_str(), L"Static") == 0 && (::GetWindowLongW(child, GWL_STYLE) & SS_ICON)) {
            iconControl = child;
            break;
        }
    }
    if (!iconControl || !::IsWindowVisible(iconControl)) return BoxIcon::None;
    const auto icon = reinterpret_cast<HICON>(::SendMessageW(iconControl, STM_GETICON, 0, 0));
    if (!icon) return BoxIcon::None;
    const struct {
        LPCWSTR id;
        BoxIcon kind;
    } known[] = {{IDI_HAND, BoxIcon::Error},
                 {IDI_EXCLAMATION, BoxIcon::Warning},
                 {IDI_ASTERISK, BoxIcon::Information},
                 {IDI_QUESTION, BoxIcon::Question}};
    for (const auto& k : known) {
        if (::LoadIconW(nullptr, k.id) == icon) return k.kind;
    }
    return BoxIcon::Unknown;
}

std::optional<BoxInfo> FindBox(DWORD pid) {
    Search search{pid, nullptr};
    ::EnumWindows(&FindTopLevel, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return std::nullopt;
    BoxInfo info;
    info.hwnd = search.found;
    info.caption = WindowText(search.found);
    if (HWND text = ::GetDlgItem(search.found, kTextControlId)) info.text = WindowText(text);
    info.icon = DetectIcon(search.found);
    ::EnumChildWindows(search.found, &CollectButton, reinterpret_cast<LPARAM>(&info.buttons));
    return info;
}

std::optional<BoxInfo> WaitForBox(DWORD pid, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        // The box's controls are filled after it becomes visible; a short settle avoids reading it half-made.
        if (auto box = FindBox(pid)) {
            ::Sleep(50);
            return FindBox(pid);
        }
        if (::GetTickCount64() >= deadline) return std::nullopt;
        ::Sleep(20);
    }
}

void PressButton(const BoxInfo& box, int id) {
    ::PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box.hwnd, id)));
}

const char* ToString(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::None: return "none";
        case BoxIcon::Error: return "error";
        case BoxIcon::Warning: return "warning";
        case BoxIcon::Information: return "information";
        case BoxIcon::Question: return "question";
        case BoxIcon::Unknown: break;
    }
    return "unknown";
}

}  // namespace cxtest
