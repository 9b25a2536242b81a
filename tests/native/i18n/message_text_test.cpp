// The two conversions between a string-table text and a catalogue: the lookup key and the text shown.
#include <gtest/gtest.h>

#include "i18n/message_text.h"

namespace cx {
namespace {

TEST(MessageKeyTest, IsUtf8WithoutCarriageReturns) {
    EXPECT_EQ(MessageKey(L"Click\r\nNo"), "Click\nNo");
    EXPECT_EQ(MessageKey(L"a\rb\r"), "ab");
    EXPECT_EQ(MessageKey(L"f\u00FCr \u4E2D"), "f\xC3\xBCr \xE4\xB8\xAD");
    EXPECT_EQ(MessageKey(L"\U0001F4DD"), "\xF0\x9F\x93\x9D");  // a surrogate pair where wchar_t is 16 bits
    EXPECT_EQ(MessageKey(std::wstring{L'x', wchar_t(0xD83D), L'y'}), "x\xEF\xBF\xBDy");  // a lone half
    EXPECT_EQ(MessageKey(L""), "");
}

TEST(DisplayTextTest, PutsACarriageReturnBeforeEveryBareLineFeed) {
    EXPECT_EQ(DisplayText("a\nb"), L"a\r\nb");
    EXPECT_EQ(DisplayText("a\r\nb"), L"a\r\nb");
    EXPECT_EQ(DisplayText("\n\n"), L"\r\n\r\n");
    EXPECT_EQ(DisplayText("\r\n\n"), L"\r\n\r\n");
    EXPECT_EQ(DisplayText("a\r"), L"a\r");
    // What a string-table text goes through when no catalogue has it.
    EXPECT_EQ(DisplayText(MessageKey(L"one\r\ntwo\rthree\n")), L"one\r\ntwothree\r\n");
}

TEST(DisplayTextTest, DecodesUtf8AndReplacesWhatIsMalformed) {
    EXPECT_EQ(DisplayText("f\xC3\xBCr \xE4\xB8\xAD"), L"f\u00FCr \u4E2D");
    EXPECT_EQ(DisplayText("\xF0\x9F\x93\x9D"), L"\U0001F4DD");
    EXPECT_EQ(DisplayText("a\xFF"
                          "b"),
              L"a\uFFFDb");
    EXPECT_EQ(DisplayText("\xC3"), L"\uFFFD");              // cut short
    EXPECT_EQ(DisplayText("\xF4\x90\x80\x80"), L"\uFFFD");  // above U+10FFFF
    EXPECT_EQ(DisplayText("\xC3\n"), L"\uFFFD\r\n");        // the line end survives a broken sequence
}

}  // namespace
}  // namespace cx
