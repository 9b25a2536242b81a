#include "driver/app_server.h"

#include <windows.h>

#include "platform/process/process_runner.h"
#include "platform/system/app_paths.h"
#include "platform/text/format.h"

namespace cx {

bool RegisterAppServer(bool doRegister) {
    static constexpr const wchar_t* kSwitchWords[] = {L"unregserver", L"regserver"};
    const std::wstring commandLine =
        FormatText(L"\"%s%s\" /%s", {GetAppDir(), L"Corvane.exe", kSwitchWords[doRegister ? 1 : 0]});
    return RunProcess(commandLine, SW_SHOWNORMAL, INFINITE) == 0;
}

}  // namespace cx
