// Program entry of CXAddinReg.exe.
#include <windows.h>

#include "driver/command_line.h"
#include "driver/exit_code.h"
#include "driver/message_boxes.h"
#include "driver/run_command_line.h"
#include "driver/switch_table.h"
#include "driver/unattended.h"
#include "i18n/translation.h"
#include "platform/errors.h"
#include "platform/system/app_paths.h"
#include "platform/system/library_search.h"
#include "platform/text/win_text.h"

namespace {

// The tool's own catalogue is named after the executable (CXAddinReg.mo) and tried after
// "default.mo". Cheap: the language is chosen and catalogues are opened only when a text is loaded.
void SetUpTranslationDomains() {
    cx::InstallTranslation();
    const std::string domain = cx::ToAnsi(cx::ReplacePathExt(cx::ExtractPathName(cx::GetAppFileName()), L""));
    cx::AddResourceStringDomain(domain);
    cx::SetCurrentDomain(domain);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    cx::RestrictLibrarySearch();
    const cx::Parameters params = cx::SplitCommandLine(::GetCommandLineW());
    // First of all: a quiet run must not show even a box about its own start-up.
    const cx::UnattendedOptions unattended = cx::ParseUnattended(params);
    if (!cx::BeginUnattended(unattended)) return cx::EndUnattended(cx::kExitNothingDone);
    try {
        SetUpTranslationDomains();
    } catch (const cx::Exception& error) {
        // Only the executable's own name can fail here; the driver is not running yet to show it.
        cx::ShowErrorBox(error.Message());
        return cx::EndUnattended(cx::kExitNothingDone);
    }
    cx::ReportRefusedLog(unattended);
    return cx::EndUnattended(cx::RunCommandLine(params, cx::ToolCommands()));
}
