#include "driver/app_server.h"

#include <windows.h>

#include "platform/app_paths.h"
#include "platform/format.h"
#include "platform/process_runner.h"

namespace cx {

bool RegisterAppServer(bool doRegister) {
    static constexpr const wchar_t* kSwitchWords[] = {L"unregserver", L"regserver"};
    const std::wstring commandLine =
        FormatText(L"\"%s%s\" /%s", {GetAppDir(), L"Corvane.exe", kSwitchWords[doRegister ? 1 : 0]});
    return RunProcess(commandLine, SW_SHOWNORMAL, INFINITE) == 0;
}

}  // namespace cx
