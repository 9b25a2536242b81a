#include "hosts/writer/package_tool_path.h"

#include <gtest/gtest.h>

namespace cx {
namespace {

TEST(PackageToolPath, TakesTheDirectoryOfTheFirstExactSofficeExe) {
    EXPECT_EQ(PackageToolCandidate(L"C:\\Suite\\program\\soffice.exe -nodefault"),
              L"C:\\Suite\\program\\unopkg.com");
    EXPECT_EQ(PackageToolCandidate(L"C:\\A\\soffice.exe\\B\\soffice.exe"), L"C:\\A\\unopkg.com");
    EXPECT_EQ(PackageToolCandidate(L"C:\\Suite\\program\\soffice.exe.bak"),
              L"C:\\Suite\\program\\unopkg.com");
    // A leading quotation mark stays: such a candidate names no file.
    EXPECT_EQ(PackageToolCandidate(L"\"C:\\Program Files\\Suite\\program\\soffice.exe\" -nodefault"),
              L"\"C:\\Program Files\\Suite\\program\\unopkg.com");
}

TEST(PackageToolPath, NoCandidateWithoutAnExactSofficeExeAfterTheFirstCharacter) {
    for (const wchar_t* command :
         {L"", L"C:\\Suite\\program\\SOFFICE.EXE", L"C:\\Suite\\program\\Soffice.exe",
          L"\\soffice.exe -nodefault", L"C:\\Suite\\program\\soffice.bin", L"C:\\Suite\\program/soffice.exe",
          L"soffice.exe"}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(command)));
        EXPECT_EQ(PackageToolCandidate(command), std::nullopt);
    }
}

}  // namespace
}  // namespace cx
