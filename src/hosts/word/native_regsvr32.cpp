#include "hosts/word/native_regsvr32.h"

#include <windows.h>

#include "platform/process/process_runner.h"
#include "platform/text/format.h"

namespace cx {

std::int32_t RunNativeRegsvr32(const std::wstring& libraryPath, bool doRegister) {
    // The Windows folder from the system itself, not from %SystemRoot%: the environment is the
    // caller's to set, and the tool runs elevated.
    wchar_t windowsDir[MAX_PATH];
    const UINT length = ::GetSystemWindowsDirectoryW(windowsDir, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return kProcessStartFailed;
    const std::wstring commandLine = FormatText(L"\"%s\\Sysnative\\regsvr32.exe\" /s %s\"%s\"",
                                                {windowsDir, doRegister ? L"" : L"/u ", libraryPath});
    return RunProcess(commandLine, SW_HIDE, INFINITE);
}

}  // namespace cx
