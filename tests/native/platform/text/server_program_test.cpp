#include "platform/text/server_program.h"

#include <gtest/gtest.h>

namespace cx {
namespace {

TEST(ServerProgram, TheProgramIsCutFromTheRegisteredCommandLine) {
    struct Case {
        const wchar_t* command;
        const wchar_t* program;
    };
    const Case cases[] = {
        {L"\"C:\\Program Files\\Word\\WINWORD.EXE\" /Automation", L"C:\\Program Files\\Word\\WINWORD.EXE"},
        {L"C:\\Program Files\\Microsoft Office\\Root\\Office16\\WINWORD.EXE /Automation",
         L"C:\\Program Files\\Microsoft Office\\Root\\Office16\\WINWORD.EXE"},
        {L"  C:\\PROGRA~1\\MICROS~1\\OFFICE11\\winword.exe  ",
         L"C:\\PROGRA~1\\MICROS~1\\OFFICE11\\winword.exe"},
        // ".exe" only where a name ends.
        {L"C:\\a.exe.d\\x.exe /Automation", L"C:\\a.exe.d\\x.exe"},
        {L"C:\\server /Automation", L"C:\\server"},
        {L"\"C:\\unterminated\\WINWORD.EXE", L"C:\\unterminated\\WINWORD.EXE"},
        {L"   ", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.command)));
        EXPECT_EQ(ServerProgram(c.command), c.program);
    }
}

TEST(ServerProgram, AnInprocServerValueIsAPathWithBlanksAndOptionalQuotes) {
    EXPECT_EQ(InprocServerPath(L" \"C:\\Program Files\\x64\\CVWordAddin2.dll\" "),
              L"C:\\Program Files\\x64\\CVWordAddin2.dll");
    EXPECT_EQ(InprocServerPath(L"C:\\Program Files\\CVWordAddin2.dll"),
              L"C:\\Program Files\\CVWordAddin2.dll");
    EXPECT_EQ(InprocServerPath(L"\""), L"\"");
}

}  // namespace
}  // namespace cx
