#include "platform/text/utf8.h"

#include <gtest/gtest.h>

namespace cx {
namespace {

std::wstring Replacement(std::size_t n) { return std::wstring(n, L'\uFFFD'); }

TEST(Utf8, RoundTripsEveryPlane) {
    const std::wstring text = L"A\u00e9\u4e2d\U0001F600z";
    EXPECT_EQ(EncodeUtf8(text), "A\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80z");
    EXPECT_EQ(DecodeUtf8(EncodeUtf8(text)), text);
}

TEST(Utf8, MalformedSequencesBecomeReplacementCharacters) {
    EXPECT_EQ(DecodeUtf8("a\x80" "b"), L"a" + Replacement(1) + L"b");        // stray continuation
    EXPECT_EQ(DecodeUtf8("\xe4\xb8"), Replacement(1));                       // truncated at the end
    EXPECT_EQ(DecodeUtf8("\xe4\xb8z"), Replacement(1) + L"z");               // truncated in the middle
    EXPECT_EQ(DecodeUtf8("\xc0\xaf"), Replacement(2));                       // overlong lead is invalid
    EXPECT_EQ(DecodeUtf8("\xe0\x80\xaf"), Replacement(1));                   // overlong three-byte form
    EXPECT_EQ(DecodeUtf8("\xed\xa0\x80"), Replacement(1));                   // encoded surrogate
    EXPECT_EQ(DecodeUtf8("\xf4\x90\x80\x80"), Replacement(1));               // above U+10FFFF
    EXPECT_EQ(DecodeUtf8("\xf8\x88\x80\x80\x80"), Replacement(5));           // five-byte form
}

}  // namespace
}  // namespace cx
