// The registry accessor against the real registry, in a scratch key under HKCU deleted first.
#include "platform/registry/registry_accessor.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "support/registry_probe.h"

namespace cx {
namespace {

const HKEY kRoot = HKEY_CURRENT_USER;
const std::wstring kScratch = L"Software\\CXTests\\RegistryAccessor";
const std::wstring kRooted = L"\\" + kScratch;

template <typename Action>
std::wstring RaisedMessage(Action action) {
    try {
        action();
    } catch (const ERegistryException& error) {
        return error.Message();
    }
    return L"(nothing raised)";
}

class RegistryAccessorTest : public ::testing::Test {
protected:
    RegistryAccessorTest() {
        cxtest::DeleteTree(kRoot, kScratch);
        cxtest::CreateKey(kRoot, kScratch);
    }
    ~RegistryAccessorTest() override { cxtest::DeleteTree(kRoot, kScratch); }
};

TEST_F(RegistryAccessorTest, OpensWithoutCreatingAndRelativeToTheCurrentKey) {
    cxtest::WriteString(kRoot, kScratch + L"\\App\\CurVer", L"", L"App.7");
    RegistryAccessor registry(kRoot, KEY_READ);
    EXPECT_FALSE(registry.OpenKey(kRooted + L"\\None", false));
    EXPECT_FALSE(cxtest::KeyExists(kRoot, kScratch + L"\\None"));
    // From the root (no key is open), then from the current key.
    ASSERT_TRUE(registry.OpenKey(kScratch + L"\\App", false));
    ASSERT_TRUE(registry.OpenKey(L"CurVer", false));
    EXPECT_EQ(registry.ReadString(L""), L"App.7");
    // A leading backslash goes back to the root even with a key open.
    ASSERT_TRUE(registry.OpenKey(kRooted + L"\\App\\CurVer", false));
    EXPECT_EQ(registry.ReadString(L""), L"App.7");
    EXPECT_FALSE(registry.OpenKey(L"CurVer", false));
}

TEST_F(RegistryAccessorTest, OpenWithCreateMakesMissingParents) {
    RegistryAccessor registry(kRoot, KEY_ALL_ACCESS);
    ASSERT_TRUE(registry.OpenKey(kRooted + L"\\a\\b\\c", true));
    registry.WriteString(L"", L"\u4e2d\u6587");
    registry.WriteInteger(L"Contexts", 57);
    registry.CloseKey();
    EXPECT_EQ(cxtest::ReadString(kRoot, kScratch + L"\\a\\b\\c", L""), L"\u4e2d\u6587");
    const auto contexts = cxtest::ReadValue(kRoot, kScratch + L"\\a\\b\\c", L"Contexts");
    ASSERT_TRUE(contexts);
    EXPECT_EQ(contexts->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(contexts->Dword(), 57u);
}

TEST_F(RegistryAccessorTest, ReadStringAcceptsStringTypesOnly) {
    const wchar_t withNul[] = L"one\0two";
    cxtest::WriteRaw(kRoot, kScratch, L"nul", REG_SZ, withNul, sizeof withNul);
    cxtest::WriteString(kRoot, kScratch, L"expand", L"%TEMP%", REG_EXPAND_SZ);
    cxtest::WriteDword(kRoot, kScratch, L"number", 11);
    cxtest::WriteDword(kRoot, kScratch, L"", 11);
    RegistryAccessor registry(kRoot, KEY_READ);
    ASSERT_TRUE(registry.OpenKey(kRooted, false));
    EXPECT_EQ(registry.ReadString(L"nul"), L"one");
    EXPECT_EQ(registry.ReadString(L"expand"), L"%TEMP%");
    EXPECT_EQ(registry.ReadString(L"missing"), L"");
    EXPECT_EQ(RaisedMessage([&] { registry.ReadString(L"number"); }), L"Invalid data type for 'number'");
    EXPECT_EQ(RaisedMessage([&] { registry.ReadString(L""); }), L"Invalid data type for ''");
}

TEST_F(RegistryAccessorTest, AFailedWriteRaisesWithTheValueName) {
    RegistryAccessor registry(kRoot, KEY_READ);
    ASSERT_TRUE(registry.OpenKey(kRooted, false));
    // A key opened for reading only refuses values.
    EXPECT_EQ(RaisedMessage([&] { registry.WriteString(L"", L"x"); }), L"Failed to set data for ''");
    EXPECT_EQ(RaisedMessage([&] { registry.WriteInteger(L"Contexts", 57); }),
              L"Failed to set data for 'Contexts'");
    EXPECT_EQ(cxtest::ExportTree(kRoot, kScratch), std::vector<std::wstring>{L"[" + kScratch + L"]"});
}

TEST_F(RegistryAccessorTest, DeleteKeyRemovesTheWholeBranch) {
    cxtest::CreateKey(kRoot, kScratch + L"\\entry\\a\\b");
    cxtest::CreateKey(kRoot, kScratch + L"\\entry\\c");
    cxtest::CreateKey(kRoot, kScratch + L"\\other");
    RegistryAccessor registry(kRoot, KEY_ALL_ACCESS);
    EXPECT_TRUE(registry.DeleteKey(kRooted + L"\\entry"));
    EXPECT_FALSE(cxtest::KeyExists(kRoot, kScratch + L"\\entry"));
    EXPECT_TRUE(cxtest::KeyExists(kRoot, kScratch + L"\\other"));
    EXPECT_FALSE(registry.DeleteKey(kRooted + L"\\entry"));
    // Relative to the current key.
    ASSERT_TRUE(registry.OpenKey(kRooted, false));
    EXPECT_TRUE(registry.DeleteKey(L"other"));
    EXPECT_EQ(cxtest::SubKeys(kRoot, kScratch), std::vector<std::wstring>{});
}

}  // namespace
}  // namespace cx
