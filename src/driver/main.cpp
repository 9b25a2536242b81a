// Program entry of CXAddinReg.exe.
#include <windows.h>

#include "driver/command_line.h"
#include "driver/run_command_line.h"
#include "driver/switch_table.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const cx::Parameters params = cx::SplitCommandLine(::GetCommandLineW());
    return cx::RunCommandLine(params, cx::ToolCommands());
}
