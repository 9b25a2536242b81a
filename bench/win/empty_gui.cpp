// The baseline for the start-up benchmark: a static Win32 GUI program that does nothing. Given a file
// path as its argument it appends one line to that file, as the price of one file append to set a
// logged run against.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    if (arguments && *arguments) {
        HANDLE file = ::CreateFileW(arguments, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            static const char kLine[] = "one line\r\n";
            DWORD written = 0;
            ::WriteFile(file, kLine, sizeof kLine - 1, &written, nullptr);
            ::CloseHandle(file);
        }
    }
    return 0;
}
