// Stand-in for the main application "Corvane.exe": journals its exact command line and exits with the
// code written in "Corvane.exe.exitcode" beside it (0 when absent).
#include <windows.h>

#include "common/journal.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    standin::Journal(::GetCommandLineW());
    return static_cast<int>(standin::SettingNumber(L"exitcode", 0));
}
