#include "driver/command_line.h"

#include <gtest/gtest.h>

namespace cx {
namespace {

using Params = std::vector<std::wstring>;

TEST(SplitCommandLine, SeparatorsAreRunsOfControlCharactersAndBlanks) {
    EXPECT_EQ(SplitCommandLine(L"tool.exe /wi\t-ni \x01\x1f /x"), (Params{L"/wi", L"-ni", L"/x"}));
    EXPECT_EQ(SplitCommandLine(L"tool.exe"), Params{});
    EXPECT_EQ(SplitCommandLine(L""), Params{});
    // Characters above 32 belong to a parameter, including those beyond ASCII.
    EXPECT_EQ(SplitCommandLine(L"t /ei\u00e9\u4e2d!"), (Params{L"/ei\u00e9\u4e2d!"}));
}

TEST(SplitCommandLine, QuotesOpenAStretchAndAreDropped) {
    EXPECT_EQ(SplitCommandLine(L"\"C:\\Program Files\\t.exe\" \"/wi\" a\"b c\"d"), (Params{L"/wi", L"ab cd"}));
    // An unterminated quote runs to the end of the line.
    EXPECT_EQ(SplitCommandLine(L"t \"/a b"), (Params{L"/a b"}));
    // No escape character: a backslash before a quote is just a backslash.
    EXPECT_EQ(SplitCommandLine(L"t a\\\"b c\""), (Params{L"a\\b c"}));
}

TEST(SplitCommandLine, EmptyQuotedItemsBeforeAParameterAreSkipped) {
    EXPECT_EQ(SplitCommandLine(L"t \"\""), Params{});
    EXPECT_EQ(SplitCommandLine(L"t \"\" \"\"/wv"), (Params{L"/wv"}));
    EXPECT_EQ(SplitCommandLine(L"t \"\"\"\" /wv"), (Params{L"/wv"}));
}

TEST(SplitCommandLine, SplittingEndsAtTheFirstEmptyItem) {
    // A lone quote before the end yields an empty item, which ends the list.
    EXPECT_EQ(SplitCommandLine(L"t /a \"\" /b"), (Params{L"/a", L"/b"}));
    EXPECT_EQ(SplitCommandLine(L"t /a \""), (Params{L"/a"}));
    EXPECT_EQ(SplitCommandLine(L"t /a \" /b"), (Params{L"/a", L" /b"}));
}

TEST(SplitCommandLine, TheProgramNameMayBeQuotedOrEmpty) {
    EXPECT_EQ(SplitCommandLine(L"\"a b\"/wv"), Params{});
    EXPECT_EQ(SplitCommandLine(L"\"\" /wv"), Params{});
}

}  // namespace
}  // namespace cx
