// Stand-in for the suite's running process "soffice.bin": it only has to be listed among the running
// processes. It stays until "soffice.bin.stop" appears beside it (the file is left in place) or for the
// number of seconds in "soffice.bin.timeout" (default 120).
// Journal "soffice.bin.journal": "start pid=<process id>", then "exit reason=stopfile" or "exit
// reason=timeout".
#include <windows.h>

#include <string>

#include "common/journal.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    standin::Journal(L"start pid=" + std::to_wstring(::GetCurrentProcessId()));
    const std::wstring stopFile = standin::OwnModulePath() + L".stop";
    const ULONGLONG deadline = ::GetTickCount64() + 1000ULL * standin::SettingNumber(L"timeout", 120);
    while (::GetFileAttributesW(stopFile.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (::GetTickCount64() >= deadline) {
            standin::Journal(L"exit reason=timeout");
            return 0;
        }
        ::Sleep(50);
    }
    standin::Journal(L"exit reason=stopfile");
    return 0;
}
