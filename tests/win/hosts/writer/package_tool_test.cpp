// Which registration of the office suite's class decides the package tool: with elevation only the
// machine's, whatever the user's own classes say.
#include "hosts/writer/package_tool.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "support/install_folder.h"
#include "support/registry_probe.h"
#include "support/text_file.h"

namespace cx {
namespace {

const std::wstring kClassKey = L"CLSID\\{82154420-0FBF-11d4-8313-005004526AB4}";
// Under HKEY_LOCAL_MACHINE the machine's classes, under HKEY_CURRENT_USER the user's own.
const std::wstring kClasses = L"Software\\Classes\\";
const std::wstring kRoot = L"C:\\CXTests\\PackageTool";

class PackageToolTest : public ::testing::Test {
protected:
    PackageToolTest() {
        Clean();
        for (const wchar_t* suite : {L"machine", L"user"}) {
            cxtest::MakeDirs(Dir(suite));
            cxtest::WriteTextFile(Dir(suite) + L"\\unopkg.com", L"");
        }
    }
    ~PackageToolTest() override { Clean(); }

    static std::wstring Dir(const std::wstring& suite) { return kRoot + L"\\" + suite + L"\\program"; }
    static void Register(HKEY root, const std::wstring& suite) {
        cxtest::WriteString(root, kClasses + kClassKey + L"\\LocalServer32", L"",
                            Dir(suite) + L"\\soffice.exe -nodefault");
    }

private:
    static void Clean() {
        cxtest::DeleteTree(HKEY_LOCAL_MACHINE, kClasses + kClassKey);
        cxtest::DeleteTree(HKEY_CURRENT_USER, kClasses + kClassKey);
        cxtest::RemoveTree(kRoot);
    }
};

TEST_F(PackageToolTest, ElevatedOnlyTheMachinesRegistrationCounts) {
    Register(HKEY_CURRENT_USER, L"user");
    const cxtest::UserClassesFirst merged;
    EXPECT_EQ(FindPackageTool({.elevated = false}), Dir(L"user") + L"\\unopkg.com");
    EXPECT_EQ(FindPackageTool({.elevated = true}), std::nullopt) << "a suite registered for this user only";

    Register(HKEY_LOCAL_MACHINE, L"machine");
    EXPECT_EQ(FindPackageTool({.elevated = false}), Dir(L"user") + L"\\unopkg.com");
    EXPECT_EQ(FindPackageTool({.elevated = true}), Dir(L"machine") + L"\\unopkg.com");
}

}  // namespace
}  // namespace cx
