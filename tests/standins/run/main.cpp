// Runs the rest of its command line as a program, waits for it and prints its exit code as a signed
// number, which wine's own exit status cannot carry (it keeps only the low byte). Used by the demo.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain() {
    std::wstring line = ::GetCommandLineW();
    // Skip our own (possibly quoted) program name.
    std::size_t pos = 0;
    if (!line.empty() && line[0] == L'"') {
        pos = line.find(L'"', 1);
        pos = pos == std::wstring::npos ? line.size() : pos + 1;
    } else {
        pos = line.find(L' ');
        if (pos == std::wstring::npos) pos = line.size();
    }
    while (pos < line.size() && line[pos] == L' ') ++pos;
    std::wstring rest = line.substr(pos);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, rest.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        std::printf("cannot start: error %lu\n", ::GetLastError());
        return 1;
    }
    ::CloseHandle(info.hThread);
    ::WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(info.hProcess, &code);
    ::CloseHandle(info.hProcess);
    std::printf("%ld\n", static_cast<long>(static_cast<LONG>(code)));
    return 0;
}
