// A child for the process runner's tests. Arguments, in any order:
//   --bytes N     write N bytes ('a'..'z' repeating) to standard output
//   --stderr      write them to standard error instead
//   --nul-at K    make byte K (from 0) a NUL
//   --chunk C     write in chunks of C bytes (default 4096)
//   --exit E      exit with code E (default 0)
//   --sleep MS    sleep before exiting
//   --window      while sleeping, keep a hidden top-level window that ends the program with exit code
//                 0x57 on WM_CLOSE, as a program asked to close does
//   --for-ms MS   stop writing after MS, even before N bytes (a safety end for endless writers)
//   --spawn ARGS  first start a copy of itself with ARGS (one argument) in the background, which
//                 inherits this one's standard handles
#include <windows.h>

#include <cstdlib>
#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "common/background.h"
#include "common/journal.h"

LRESULT CALLBACK ClosingWindow(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CLOSE) ::ExitProcess(0x57);
    return ::DefWindowProcW(hwnd, message, wparam, lparam);
}

int wmain(int argc, wchar_t** argv) {
    long long bytes = 0;
    long long nulAt = -1;
    long chunk = 4096;
    long exitCode = 0;
    long sleepMs = 0;
    long forMs = -1;
    bool toStderr = false;
    bool window = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const wchar_t* next = i + 1 < argc ? argv[i + 1] : L"0";
        if (arg == L"--bytes") bytes = std::wcstoll(next, nullptr, 0), ++i;
        else if (arg == L"--nul-at") nulAt = std::wcstoll(next, nullptr, 0), ++i;
        else if (arg == L"--chunk") chunk = std::wcstol(next, nullptr, 0), ++i;
        else if (arg == L"--exit") exitCode = std::wcstol(next, nullptr, 0), ++i;
        else if (arg == L"--sleep") sleepMs = std::wcstol(next, nullptr, 0), ++i;
        else if (arg == L"--for-ms") forMs = std::wcstol(next, nullptr, 0), ++i;
        else if (arg == L"--stderr") toStderr = true;
        else if (arg == L"--window") window = true;
        else if (arg == L"--spawn") {
            if (!standin::StartInBackground(L"\"" + standin::OwnModulePath() + L"\" " + next)) return 99;
            ++i;
        }
    }
    const ULONGLONG deadline = forMs >= 0 ? ::GetTickCount64() + static_cast<ULONGLONG>(forMs) : ~0ULL;
    HANDLE out = ::GetStdHandle(toStderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    std::vector<char> buffer(static_cast<std::size_t>(chunk > 0 ? chunk : 4096));
    for (long long written = 0; written < bytes && ::GetTickCount64() < deadline;) {
        const long long n = std::min<long long>(static_cast<long long>(buffer.size()), bytes - written);
        for (long long k = 0; k < n; ++k) {
            const long long index = written + k;
            buffer[static_cast<std::size_t>(k)] = index == nulAt ? '\0' : static_cast<char>('a' + index % 26);
        }
        DWORD done = 0;
        if (!::WriteFile(out, buffer.data(), static_cast<DWORD>(n), &done, nullptr)) break;
        written += n;
    }
    if (window) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &ClosingWindow;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ChildStandinWindow";
        ::RegisterClassW(&windowClass);
        ::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 1, 1, nullptr, nullptr,
                          windowClass.hInstance, nullptr);
        const ULONGLONG until = ::GetTickCount64() + static_cast<ULONGLONG>(sleepMs);
        for (ULONGLONG now = ::GetTickCount64(); now < until; now = ::GetTickCount64()) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(until - now), QS_ALLINPUT);
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
        }
    } else if (sleepMs > 0) {
        ::Sleep(static_cast<DWORD>(sleepMs));
    }
    return static_cast<int>(exitCode);
}
