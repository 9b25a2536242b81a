// Stand-in for the main application "Corvane.exe": journals its exact command line and exits with the
// code written in "Corvane.exe.exitcode" beside it (0 when absent), after waiting the milliseconds
// written in "Corvane.exe.sleep_ms" (a registration that hangs).
#include <windows.h>

#include "common/journal.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    standin::Journal(::GetCommandLineW());
    if (const long sleepMs = standin::SettingNumber(L"sleep_ms", 0); sleepMs > 0)
        ::Sleep(static_cast<DWORD>(sleepMs));
    return static_cast<int>(standin::SettingNumber(L"exitcode", 0));
}
