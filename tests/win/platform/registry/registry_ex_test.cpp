// The single-value registry helpers against the real registry, in a scratch key under HKCU that each
// case deletes first.
#include "platform/registry/registry_ex.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/errors.h"
#include "support/registry_probe.h"

namespace cx {
namespace {

const HKEY kRoot = HKEY_CURRENT_USER;
const std::wstring kScratch = L"Software\\CXTests\\RegistryEx";
// The same key as callers often write it, with the leading backslash.
const std::wstring kRooted = L"\\" + kScratch;

// The message of the ERegistryExError that `action` raises.
template <typename Action>
std::wstring RaisedMessage(Action action) {
    try {
        action();
    } catch (const ERegistryExError& error) {
        return error.Message();
    }
    return L"(nothing raised)";
}

std::wstring ReadError(const std::wstring& path) {
    return L"Unable to open key \"" + path + L"\" for read";
}
std::wstring WriteError(const std::wstring& path) {
    return L"Unable to open key \"" + path + L"\" for write";
}
std::wstring ValueError(const std::wstring& path, const std::wstring& name) {
    return L"Unable to open key \"" + path + L"\" and access value \"" + name + L"\"";
}

// Gives `path` a DACL that denies DELETE to everyone, so that it can no longer be opened with
// KEY_ALL_ACCESS; Wine honours that, as Windows does.
void DenyDelete(const std::wstring& path) {
    cxtest::SetKeyDacl(kRoot, path, L"D:(D;;SD;;;WD)(A;;KA;;;WD)");
    HKEY key = nullptr;
    ASSERT_NE(::RegOpenKeyExW(kRoot, path.c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS)
        << "the registry does not enforce the DACL";
}

class RegistryExTest : public ::testing::Test {
protected:
    RegistryExTest() {
        cxtest::DeleteTree(kRoot, kScratch);
        cxtest::CreateKey(kRoot, kScratch);
    }
    ~RegistryExTest() override { cxtest::DeleteTree(kRoot, kScratch); }
};

TEST(RegSubKeyName, SkipsExactlyOneLeadingBackslash) {
    EXPECT_EQ(RegSubKeyName(L"\\Software\\X"), L"Software\\X");
    EXPECT_EQ(RegSubKeyName(L"Software\\X"), L"Software\\X");
    EXPECT_EQ(RegSubKeyName(L"\\\\Software"), L"\\Software");
    EXPECT_EQ(RegSubKeyName(L"\\"), L"");
}

using WriteRegKeyDefaultTest = RegistryExTest;

TEST_F(WriteRegKeyDefaultTest, CreatesTheKeyWithMissingParents) {
    WriteRegKeyDefault(kRoot, kRooted + L"\\a\\b\\c", L"deep");
    EXPECT_EQ(cxtest::ReadString(kRoot, kScratch + L"\\a\\b\\c", L""), L"deep");
}

TEST_F(WriteRegKeyDefaultTest, EmptyTextStoresOneTerminator) {
    WriteRegKeyDefault(kRoot, kScratch + L"\\e", L"");
    const auto value = cxtest::ReadValue(kRoot, kScratch + L"\\e", L"");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value->data, std::vector<BYTE>(sizeof(wchar_t), 0));
}

TEST_F(WriteRegKeyDefaultTest, OverwritesAndKeepsOtherValues) {
    cxtest::WriteString(kRoot, kScratch, L"", L"old");
    cxtest::WriteDword(kRoot, kScratch, L"keep", 5);
    WriteRegKeyDefault(kRoot, kScratch, L"\u4e2d\u6587 \u00e9");
    EXPECT_EQ(cxtest::ReadString(kRoot, kScratch, L""), L"\u4e2d\u6587 \u00e9");
    EXPECT_EQ(cxtest::ReadDword(kRoot, kScratch, L"keep"), 5u);
}

using ReadRegStringTest = RegistryExTest;

TEST_F(ReadRegStringTest, MissingKeyValueOrNonStringGivesTheDefault) {
    cxtest::WriteDword(kRoot, kScratch, L"number", 7);
    EXPECT_EQ(ReadRegString(kRoot, kScratch + L"\\none", L"", L"dflt"), L"dflt");
    EXPECT_EQ(ReadRegString(kRoot, kScratch, L"none", L"dflt"), L"dflt");
    EXPECT_EQ(ReadRegString(kRoot, kScratch, L"number", L"dflt"), L"dflt");
}

TEST_F(ReadRegStringTest, AnEmptyStringIsAValueNotTheDefault) {
    cxtest::WriteString(kRoot, kScratch, L"empty", L"");
    EXPECT_EQ(ReadRegString(kRoot, kScratch, L"empty", L"dflt"), L"");
}

TEST_F(ReadRegStringTest, WithOrWithoutLeadingBackslash) {
    cxtest::WriteString(kRoot, kScratch, L"", L"default value");
    cxtest::WriteString(kRoot, kScratch, L"named", L"\u4e2d\u6587");
    EXPECT_EQ(ReadRegString(kRoot, kRooted, L"", L"dflt"), L"default value");
    EXPECT_EQ(ReadRegString(kRoot, kScratch, L"", L"dflt"), L"default value");
    EXPECT_EQ(ReadRegString(kRoot, kRooted, L"named", L"dflt"), L"\u4e2d\u6587");
}

TEST_F(ReadRegStringTest, CutsAtTheFirstNul) {
    const wchar_t data[] = L"before\0after";
    cxtest::WriteRaw(kRoot, kScratch, L"nul", REG_SZ, data, sizeof data);
    EXPECT_EQ(ReadRegString(kRoot, kScratch, L"nul", L"dflt"), L"before");
}

TEST_F(ReadRegStringTest, DataWithoutTerminatorOrOfOddSize) {
    const wchar_t data[] = L"abc";
    cxtest::WriteRaw(kRoot, kScratch, L"bare", REG_SZ, data, 3 * sizeof(wchar_t));
    EXPECT_EQ(ReadRegString(kRoot, kScratch, L"bare", L"dflt"), L"abc");
    // Half of the last character: it must not bring in bytes from beyond the data.
    cxtest::WriteRaw(kRoot, kScratch, L"odd", REG_SZ, data, 3 * sizeof(wchar_t) - 1);
    const std::wstring odd = ReadRegString(kRoot, kScratch, L"odd", L"dflt");
    ASSERT_EQ(odd.size(), 3u);
    EXPECT_EQ(odd.substr(0, 2), L"ab");
    EXPECT_EQ(odd[2], L'c' & 0xFF);
}

TEST_F(ReadRegStringTest, ExpandStringIsReturnedUnexpanded) {
    cxtest::WriteString(kRoot, kScratch, L"x", L"%SystemRoot%\\x", REG_EXPAND_SZ);
    EXPECT_EQ(ReadRegString(kRoot, kScratch, L"x", L"dflt"), L"%SystemRoot%\\x");
}

using QueryRegStringTest = RegistryExTest;

// What a caller that writes the value back must tell apart: nothing there, text, or something it must
// not replace.
TEST_F(QueryRegStringTest, TellsMissingFromTextFromUnreadable) {
    using Outcome = RegStringRead::Outcome;
    EXPECT_EQ(QueryRegString(kRoot, kScratch + L"\\none", L"x").outcome, Outcome::Missing);
    EXPECT_EQ(QueryRegString(kRoot, kScratch, L"none").outcome, Outcome::Missing);
    cxtest::WriteString(kRoot, kScratch, L"x", L"%SystemRoot%\\x", REG_EXPAND_SZ);
    const RegStringRead text = QueryRegString(kRoot, kRooted, L"x");
    EXPECT_EQ(text.outcome, Outcome::Text);
    EXPECT_EQ(text.text, L"%SystemRoot%\\x");
    EXPECT_EQ(text.type, static_cast<DWORD>(REG_EXPAND_SZ));
    const BYTE bytes[] = {'a', 0, 'b', 0, 0, 0, 0, 0};
    for (const DWORD type : {REG_DWORD, REG_BINARY, REG_MULTI_SZ, REG_NONE}) {
        cxtest::WriteRaw(kRoot, kScratch, L"odd", type, bytes, type == REG_DWORD ? 4 : sizeof bytes);
        EXPECT_EQ(QueryRegString(kRoot, kScratch, L"odd").outcome, Outcome::Unreadable) << type;
    }
    cxtest::CreateKey(kRoot, kScratch + L"\\closed");
    cxtest::WriteString(kRoot, kScratch + L"\\closed", L"x", L"kept");
    cxtest::SetKeyDacl(kRoot, kScratch + L"\\closed", L"D:(D;;KR;;;WD)(A;;KA;;;WD)");
    EXPECT_EQ(QueryRegString(kRoot, kScratch + L"\\closed", L"x").outcome, Outcome::Unreadable);
    EXPECT_EQ(ReadRegString(kRoot, kScratch + L"\\closed", L"x", L"dflt"), L"dflt");
    EXPECT_TRUE(RegKeyExists(kRoot, kRooted + L"\\closed"));
    EXPECT_FALSE(RegKeyExists(kRoot, kRooted + L"\\none"));
    cxtest::SetKeyDacl(kRoot, kScratch + L"\\closed", L"D:(A;;KA;;;WD)");
}

// Another program rewrites the value between the size query and the read, growing and shrinking it:
// every read still gets one whole version.
TEST_F(QueryRegStringTest, AValueChangingSizeMeanwhileIsReadWhole) {
    const std::wstring shortText = L"C:\\Short";
    const std::wstring longText = shortText + L";" + std::wstring(4000, L'x');
    cxtest::WriteString(kRoot, kScratch, L"PATH", shortText);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; !done; ++i)
            cxtest::WriteString(kRoot, kScratch, L"PATH", i % 2 ? longText : shortText);
    });
    int misread = 0;
    for (int i = 0; i < 2000; ++i) {
        const RegStringRead read = QueryRegString(kRoot, kScratch, L"PATH");
        if (read.outcome != RegStringRead::Outcome::Text || (read.text != shortText && read.text != longText))
            ++misread;
    }
    done = true;
    writer.join();
    EXPECT_EQ(misread, 0);
}

using ReadRegDWordTest = RegistryExTest;

TEST_F(ReadRegDWordTest, ReadsTheValueAndItsBooleanMeaning) {
    cxtest::WriteDword(kRoot, kScratch, L"n", 0xFFFFFFFEu);
    cxtest::WriteDword(kRoot, kScratch, L"zero", 0);
    EXPECT_EQ(ReadRegDWord(kRoot, kRooted, L"n"), 0xFFFFFFFEu);
    EXPECT_TRUE(ReadRegBool(kRoot, kScratch, L"n"));
    EXPECT_FALSE(ReadRegBool(kRoot, kScratch, L"zero"));
}

TEST_F(ReadRegDWordTest, MissingKeyIsTheReadErrorWithThePathAsPassed) {
    EXPECT_EQ(RaisedMessage([] { ReadRegDWord(kRoot, kRooted + L"\\none", L"n"); }),
              ReadError(kRooted + L"\\none"));
    EXPECT_EQ(RaisedMessage([] { ReadRegBool(kRoot, kScratch + L"\\none", L"n"); }),
              ReadError(kScratch + L"\\none"));
}

TEST_F(ReadRegDWordTest, MissingValueOrOtherTypeIsTheValueError) {
    const BYTE four[4] = {1, 0, 0, 0};
    cxtest::WriteRaw(kRoot, kScratch, L"binary", REG_BINARY, four, sizeof four);
    cxtest::WriteString(kRoot, kScratch, L"text", L"1");  // four bytes, like a DWORD
    cxtest::WriteString(kRoot, kScratch, L"long", L"12345");
    for (const wchar_t* name : {L"none", L"binary", L"text", L"long"}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(name)));
        EXPECT_EQ(RaisedMessage([&] { ReadRegDWord(kRoot, kRooted, name); }), ValueError(kRooted, name));
    }
}

using WriteRegValueTest = RegistryExTest;

TEST_F(WriteRegValueTest, WritesTypesAndSizes) {
    WriteRegString(kRoot, kRooted, L"s", L"text \u4e2d");
    WriteRegString(kRoot, kScratch, L"empty", L"");
    WriteRegDWord(kRoot, kScratch, L"d", 0x12345678u);
    WriteRegBool(kRoot, kScratch, L"t", true);
    WriteRegBool(kRoot, kScratch, L"f", false);
    const auto s = cxtest::ReadValue(kRoot, kScratch, L"s");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(s->data.size(), 7 * sizeof(wchar_t));  // six characters and the terminator
    EXPECT_EQ(s->Text(), L"text \u4e2d");
    const auto empty = cxtest::ReadValue(kRoot, kScratch, L"empty");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->data, std::vector<BYTE>(sizeof(wchar_t), 0));
    const auto d = cxtest::ReadValue(kRoot, kScratch, L"d");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(d->data, (std::vector<BYTE>{0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(cxtest::ReadDword(kRoot, kScratch, L"t"), 1u);
    EXPECT_EQ(cxtest::ReadDword(kRoot, kScratch, L"f"), 0u);
}

TEST_F(WriteRegValueTest, MissingKeyIsTheWriteErrorAndNothingIsCreated) {
    const std::wstring missing = kRooted + L"\\none";
    EXPECT_EQ(RaisedMessage([&] { WriteRegString(kRoot, missing, L"s", L"x"); }), WriteError(missing));
    EXPECT_EQ(RaisedMessage([&] { WriteRegDWord(kRoot, missing, L"d", 1); }), WriteError(missing));
    EXPECT_EQ(RaisedMessage([&] { WriteRegBool(kRoot, missing, L"b", true); }), WriteError(missing));
    EXPECT_FALSE(cxtest::KeyExists(kRoot, kScratch + L"\\none"));
    // The default-value writer, on the contrary, creates it.
    WriteRegKeyDefault(kRoot, missing, L"");
    EXPECT_TRUE(cxtest::KeyExists(kRoot, kScratch + L"\\none"));
}

TEST_F(WriteRegValueTest, AValueThatCannotBeSetIsAlsoTheWriteError) {
    // Longer than the registry's limit for value names (16383 characters).
    const std::wstring tooLong(20000, L'v');
    EXPECT_EQ(RaisedMessage([&] { WriteRegDWord(kRoot, kScratch, tooLong, 1); }), WriteError(kScratch));
}

using DeleteRegValueTest = RegistryExTest;

TEST_F(DeleteRegValueTest, DeletesOnlyTheNamedValue) {
    cxtest::WriteDword(kRoot, kScratch, L"gone", 1);
    cxtest::WriteDword(kRoot, kScratch, L"kept", 2);
    EXPECT_TRUE(DeleteRegValue(kRoot, kRooted, L"gone"));
    EXPECT_FALSE(cxtest::ReadValue(kRoot, kScratch, L"gone"));
    EXPECT_EQ(cxtest::ReadDword(kRoot, kScratch, L"kept"), 2u);
}

TEST_F(DeleteRegValueTest, MissingValueIsTheValueErrorMissingKeyTheWriteError) {
    EXPECT_EQ(RaisedMessage([] { DeleteRegValue(kRoot, kRooted, L"none"); }), ValueError(kRooted, L"none"));
    EXPECT_EQ(RaisedMessage([] { DeleteRegValue(kRoot, kScratch + L"\\none", L"v"); }),
              WriteError(kScratch + L"\\none"));
}

using DeleteRegKeyTreeTest = RegistryExTest;

TEST_F(DeleteRegKeyTreeTest, MissingKeyGivesFalse) {
    EXPECT_FALSE(DeleteRegKeyTree(kRoot, kRooted + L"\\none"));
}

TEST_F(DeleteRegKeyTreeTest, RemovesATreeThreeLevelsDeep) {
    for (const wchar_t* leaf : {L"\\t\\a\\x\\1", L"\\t\\a\\x\\2", L"\\t\\a\\y", L"\\t\\b", L"\\t\\c\\z\\3"}) {
        cxtest::WriteDword(kRoot, kScratch + leaf, L"v", 1);
    }
    cxtest::WriteDword(kRoot, kScratch + L"\\sibling", L"v", 1);
    // With the leading backslash: the child paths are built from the caller's path.
    EXPECT_TRUE(DeleteRegKeyTree(kRoot, kRooted + L"\\t"));
    EXPECT_FALSE(cxtest::KeyExists(kRoot, kScratch + L"\\t"));
    EXPECT_TRUE(cxtest::KeyExists(kRoot, kScratch + L"\\sibling"));
}

TEST_F(DeleteRegKeyTreeTest, StopsAtTheFirstSubKeyThatCannotBeDeleted) {
    const std::wstring tree = kScratch + L"\\t";
    for (const wchar_t* child : {L"k0", L"k1", L"k2", L"k3", L"k4"}) {
        cxtest::WriteDword(kRoot, tree + L"\\" + child + L"\\deeper", L"v", 1);
    }
    const std::vector<std::wstring> order = cxtest::SubKeys(kRoot, tree);
    ASSERT_EQ(order.size(), 5u);
    // The third in enumeration order is locked: the two after it go, it and the two before it stay.
    DenyDelete(tree + L"\\" + order[2]);

    EXPECT_FALSE(DeleteRegKeyTree(kRoot, tree));

    EXPECT_EQ(cxtest::SubKeys(kRoot, tree), (std::vector<std::wstring>{order[0], order[1], order[2]}));
    // The lower-index siblings were not even entered.
    EXPECT_TRUE(cxtest::KeyExists(kRoot, tree + L"\\" + order[0] + L"\\deeper"));
    EXPECT_TRUE(cxtest::KeyExists(kRoot, tree + L"\\" + order[1] + L"\\deeper"));
}

TEST_F(DeleteRegKeyTreeTest, ALockedKeyDeepDownKeepsItsWholeBranch) {
    const std::wstring tree = kScratch + L"\\t";
    cxtest::CreateKey(kRoot, tree + L"\\a\\b\\c");
    cxtest::CreateKey(kRoot, tree + L"\\a\\b2");
    ASSERT_EQ(cxtest::SubKeys(kRoot, tree + L"\\a"), (std::vector<std::wstring>{L"b", L"b2"}));
    DenyDelete(tree + L"\\a\\b\\c");
    EXPECT_FALSE(DeleteRegKeyTree(kRoot, tree));
    // b2 comes after b, so it went first; b, a and the tree stay because c did.
    EXPECT_FALSE(cxtest::KeyExists(kRoot, tree + L"\\a\\b2"));
    EXPECT_TRUE(cxtest::KeyExists(kRoot, tree + L"\\a\\b\\c"));
}

}  // namespace
}  // namespace cx
