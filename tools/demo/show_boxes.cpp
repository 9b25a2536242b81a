// For the demo: runs a program, prints the caption and text of every message box it shows (UTF-8),
// answers each one (Cancel where the box has it, else its first button) and prints the program's
// signed exit code. A box would otherwise block the demo, which has no one to click it.
//   cx_show_boxes.exe "C:\path\program.exe" arguments...
#include <windows.h>

#include <string>
#include <vector>

namespace {

void Print(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                          nullptr);
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                nullptr);
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

struct Search {
    DWORD pid;
    HWND box;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    if (owner != search->pid || !::IsWindowVisible(window) || std::wstring(name) != L"#32770") return TRUE;
    search->box = window;
    return FALSE;
}

BOOL CALLBACK CollectButton(HWND child, LPARAM param) {
    wchar_t name[16] = {};
    ::GetClassNameW(child, name, 16);
    if (_wcsicmp(name, L"Button") == 0 && ::IsWindowVisible(child)) {
        reinterpret_cast<std::vector<int>*>(param)->push_back(::GetDlgCtrlID(child));
    }
    return TRUE;
}

// Cancel where the box offers it, else its first button.
int ButtonToPress(HWND box) {
    std::vector<int> buttons;
    ::EnumChildWindows(box, &CollectButton, reinterpret_cast<LPARAM>(&buttons));
    for (const int id : buttons) {
        if (id == IDCANCEL) return id;
    }
    return buttons.empty() ? IDOK : buttons.front();
}

// Everything after our own (possibly quoted) name.
std::wstring RestOfCommandLine() {
    const std::wstring line = ::GetCommandLineW();
    std::size_t pos = line.empty() || line[0] != L'"' ? line.find(L' ') : line.find(L'"', 1);
    if (pos == std::wstring::npos) return {};
    pos = line.find_first_not_of(L' ', pos + 1);
    return pos == std::wstring::npos ? std::wstring() : line.substr(pos);
}

}  // namespace

int wmain() {
    std::wstring command = RestOfCommandLine();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        Print(L"cannot start: error " + std::to_wstring(::GetLastError()) + L"\n");
        return 1;
    }
    ::CloseHandle(process.hThread);
    HWND answered = nullptr;
    while (::WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT) {
        Search search{process.dwProcessId, nullptr};
        ::EnumWindows(&FindBox, reinterpret_cast<LPARAM>(&search));
        if (!search.box || search.box == answered) continue;
        ::Sleep(50);  // let the box fill in its text
        answered = search.box;
        std::wstring text = WindowText(::GetDlgItem(search.box, 0xFFFF));
        for (std::size_t at = text.find(L'\n'); at != std::wstring::npos; at = text.find(L'\n', at + 1)) {
            text.insert(at + 1, L"    ");  // continuation lines stay under the box
        }
        Print(L"  box \"" + WindowText(search.box) + L"\": " + text + L"\n");
        ::PostMessageW(search.box, WM_COMMAND, MAKEWPARAM(ButtonToPress(search.box), BN_CLICKED), 0);
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hProcess);
    Print(L"  exit code: " + std::to_wstring(static_cast<LONG>(code)) + L"\n");
    return 0;
}
