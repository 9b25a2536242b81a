#include "platform/text/path_text.h"

#include <gtest/gtest.h>

namespace cx {
namespace {

TEST(PathText, DirectoryAndNameSplitAtTheLastBackslashOrColon) {
    EXPECT_EQ(ExtractPathDir(L"C:\\Tools\\tool.exe"), L"C:\\Tools\\");
    EXPECT_EQ(ExtractPathName(L"C:\\Tools\\tool.exe"), L"tool.exe");
    EXPECT_EQ(ExtractPathDir(L"C:\\tool.exe") + L"Corvane.exe", L"C:\\Corvane.exe");
    EXPECT_EQ(ExtractPathDir(L"C:tool.exe"), L"C:");
    EXPECT_EQ(ExtractPathName(L"C:tool.exe"), L"tool.exe");
    EXPECT_EQ(ExtractPathDir(L"tool.exe"), L"");
    EXPECT_EQ(ExtractPathName(L"tool.exe"), L"tool.exe");
}

TEST(PathText, ReplaceExtOnlyDropsADotInTheName) {
    EXPECT_EQ(ReplacePathExt(L"C:\\Tools\\tool.exe", L""), L"C:\\Tools\\tool");
    EXPECT_EQ(ReplacePathExt(L"C:\\a.b\\name", L""), L"C:\\a.b\\name");
    EXPECT_EQ(ReplacePathExt(L"name.tar.gz", L".mo"), L"name.tar.mo");
    EXPECT_EQ(ReplacePathExt(L"C:.x", L""), L"C:");
    EXPECT_EQ(ReplacePathExt(L"x", L".mo"), L"x.mo");
}

TEST(PathText, ProgramNameOfARegisteredCommandLine) {
    const struct {
        const wchar_t* command;
        const wchar_t* program;
    } cases[] = {
        {L"\"C:\\Program Files\\Word\\WINWORD.EXE\" /Automation", L"WINWORD.EXE"},
        {L"C:\\PROGRA~1\\MICROS~1\\Office16\\WINWORD.EXE /Automation", L"WINWORD.EXE"},
        {L"C:\\Program Files\\Office 4\\program\\soffice.exe -nodefault", L"soffice.exe"},
        {L"  C:\\Odd.Exe.Dir\\server.EXE", L"server.EXE"},
        {L"C:\\tools\\server.bin -x", L"server.bin"},
        {L"\"C:\\unterminated\\a b.exe", L"a b.exe"},
        {L"", L""},
    };
    for (const auto& [command, program] : cases) EXPECT_EQ(CommandProgramName(command), program) << command;
}

}  // namespace
}  // namespace cx
