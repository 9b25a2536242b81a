// Files classified by their PE header, and files told apart by identity, on real files: the built
// stand-ins of both bitnesses.
#include "platform/system/image_file.h"

#include <gtest/gtest.h>

#include "support/install_folder.h"
#include "support/text_file.h"

namespace cx {
namespace {

TEST(ImageFile, BuildsAreClassifiedByTheirHeaderWhateverTheirName) {
    const cxtest::InstallFolder folder(L"image file");
    folder.AddStandin(L"x64\\CVWordAddin2.dll", L"CVWordAddin2.dll");
    cxtest::WriteTextFile(folder.Path(L"text.dll"), L"MZ but nothing more");
    EXPECT_EQ(ReadImageBitness(cxtest::StandinPath(L"CVWordAddin2.dll")), Bitness::Bits32);
    EXPECT_EQ(ReadImageBitness(cxtest::StandinPath(L"x64\\WordStandin.exe")), Bitness::Bits64);
    EXPECT_EQ(ReadImageBitness(folder.Path(L"CVWordAddin2.dll")), Bitness::Bits64);
    EXPECT_EQ(ReadImageBitness(folder.Path(L"text.dll")), Bitness::Unknown);
    EXPECT_EQ(ReadImageBitness(folder.Path(L"missing.dll")), Bitness::Unknown);
}

TEST(ImageFile, TheSameFileIsRecognisedHoweverItIsSpelled) {
    const cxtest::InstallFolder folder(L"same file");
    folder.AddStandin(L"CVWordAddin2.dll");
    folder.AddStandin(L"CVWordAddin2.dll", L"copy.dll");
    const std::wstring path = folder.Path(L"CVWordAddin2.dll");
    EXPECT_TRUE(IsSameFile(path, folder.Path(L"cvwordaddin2.DLL")));
    EXPECT_TRUE(IsSameFile(path, folder.Path(L"x\\..\\CVWordAddin2.dll")));
    EXPECT_FALSE(IsSameFile(path, folder.Path(L"copy.dll")));
    EXPECT_FALSE(IsSameFile(path, folder.Path(L"missing.dll")));
}

}  // namespace
}  // namespace cx
