#include "hosts/writer/path_list.h"

#include <gtest/gtest.h>

#include <string>

namespace cx {
namespace {

constexpr wchar_t kDir[] = L"C:\\Program Files\\Corvane";

std::optional<std::wstring> Add(std::wstring_view list, std::wstring_view entry = kDir) {
    return WithPathEntry(list, entry, &EqualIgnoringAsciiCase);
}
std::optional<std::wstring> Remove(std::wstring_view list, std::wstring_view entry = kDir) {
    return WithoutPathEntry(list, entry, &EqualIgnoringAsciiCase);
}
std::wstring WithDir(std::wstring_view pattern) {
    std::wstring out;
    for (const wchar_t c : pattern) out += c == L'D' ? std::wstring(kDir) : std::wstring(1, c);
    return out;
}

TEST(PathList, RemovalTakesTheEntryAndOneSeparator) {
    // D stands for the directory; the separator after it goes first, else the one before it.
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"A;D;B", L"A;B"}, {L"D;B", L"B"},   {L"A;D", L"A"},
        {L";D", L""},       {L"D", L""},      {L"D;A;D", L"A;D"},  // the first entry only
        {L";;D;", L";;"},   {L"A;;D", L"A;"},
    };
    for (const auto& [before, after] : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(before)));
        EXPECT_EQ(Remove(WithDir(before)), WithDir(after));
    }
}

TEST(PathList, AddingAppendsUnlessPresentInAnyCaseOrWithABackslash) {
    EXPECT_EQ(Add(L""), L";" + std::wstring(kDir));
    EXPECT_EQ(Add(L"A;B"), L"A;B;" + std::wstring(kDir));
    EXPECT_EQ(Add(L"A;B", L""), std::nullopt);
    EXPECT_EQ(Add(L"A;;B", L"\\"), std::nullopt);
    EXPECT_EQ(Add(L"A;c:\\PROGRAM FILES\\corvane;B"), std::nullopt);
    EXPECT_EQ(Add(L"C:\\Program Files\\Corvane\\"), std::nullopt);
    EXPECT_EQ(Remove(L"A;c:\\program files\\CORVANE\\;B"), L"A;B");
    // An entry that ends with a backslash is found when the directory is given with one, too.
    EXPECT_EQ(Remove(L"A;C:\\Program Files\\Corvane", L"C:\\Program Files\\Corvane\\"), L"A");
    // A directory whose name holds the separator, or none at all, cannot be one entry.
    EXPECT_TRUE(CanBeOnePathEntry(kDir));
    EXPECT_FALSE(CanBeOnePathEntry(L"C:\\Corvane;Tools"));
    EXPECT_FALSE(CanBeOnePathEntry(L"\\"));
}

TEST(PathList, LookAlikeEntriesAreNeitherMatchedNorDamaged) {
    const std::wstring lookAlikes =
        L"C:\\Program Files\\Corvane2;C:\\Program Files\\Corvane\\bin;X:\\C:\\Program Files\\Corvane;"
        L" C:\\Program Files\\Corvane;C:\\Program Files\\Corvane\\\\;\"C:\\Program Files\\Corvane\"";
    EXPECT_EQ(Remove(lookAlikes), std::nullopt);
    EXPECT_EQ(Add(lookAlikes), lookAlikes + L";" + kDir);
    EXPECT_EQ(Remove(lookAlikes + L";" + kDir), lookAlikes);
    EXPECT_EQ(Remove(std::wstring(kDir) + L";" + lookAlikes), lookAlikes);
}

TEST(PathList, ADriveRootKeepsItsBackslashAndLeavesOtherEntriesOnThatDriveAlone) {
    EXPECT_EQ(PathEntryFor(L"C:\\Program Files\\Corvane\\"), kDir);
    EXPECT_EQ(PathEntryFor(L"C:\\"), L"C:\\");
    EXPECT_EQ(PathEntryFor(L"\\\\server\\share\\"), L"\\\\server\\share");
    const std::wstring others = L"C:\\Windows;D:\\C:;c:\\x";
    EXPECT_EQ(Add(others, L"C:\\"), others + L";C:\\");
    EXPECT_EQ(Remove(others, L"C:\\"), std::nullopt);
    EXPECT_EQ(Remove(L"C:\\Windows;c:\\;D:\\x", L"C:\\"), L"C:\\Windows;D:\\x");
    EXPECT_EQ(Remove(L"C:\\Windows;C:;D:\\x", L"C:\\"), L"C:\\Windows;D:\\x");
}

TEST(PathList, TheComparisonDecidesAboutLetterCase) {
    const PathEntryEquals exact = [](std::wstring_view a, std::wstring_view b) { return a == b; };
    EXPECT_EQ(WithoutPathEntry(L"A;c:\\program files\\corvane", kDir, exact), std::nullopt);
    EXPECT_EQ(WithoutPathEntry(L"A;C:\\Program Files\\Corvane", kDir, exact), L"A");
    // The portable comparison folds A to Z only; the Windows side folds every letter.
    EXPECT_TRUE(EqualIgnoringAsciiCase(L"C:\\ABC", L"c:\\abc"));
    EXPECT_FALSE(EqualIgnoringAsciiCase(L"C:\\\u00C9t\u00E9", L"C:\\\u00E9t\u00E9"));
    EXPECT_FALSE(EqualIgnoringAsciiCase(L"C:\\ab", L"C:\\abc"));
}

TEST(PathList, EverythingElseIsKeptExactlyInALongList) {
    std::wstring list;
    for (int i = 0; list.size() < 32767 - 40; ++i) {
        list += L"C:\\\u5199\u4F5C\\%USERPROFILE%\\dir" + std::to_wstring(i) + L"\\;";
    }
    list += L"Z:\\";
    list.resize(32767, L'x');
    const std::wstring dir = L"C:\\\u5199\u4F5C\\Corvane";
    const auto added = WithPathEntry(list, dir, &EqualIgnoringAsciiCase);
    ASSERT_TRUE(added);
    EXPECT_EQ(*added, list + L";" + dir);
    EXPECT_EQ(WithoutPathEntry(*added, dir, &EqualIgnoringAsciiCase), list);
}

}  // namespace
}  // namespace cx
