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

}  // namespace
}  // namespace cx
