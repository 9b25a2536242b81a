#include "platform/text/format.h"

#include <gtest/gtest.h>

namespace cx {
namespace {

TEST(FormatText, IndexedPlaceholderReusesAnArgument) {
    EXPECT_EQ(FormatText(L"Click to install %s addin,\r\nuninstall %0:s addin", {L"Corvane2"}),
              L"Click to install Corvane2 addin,\r\nuninstall Corvane2 addin");
    // An index moves the position for the placeholders after it.
    EXPECT_EQ(FormatText(L"%1:s %s %0:s %s", {L"a", L"b"}), L"b %s a b");
}

TEST(FormatText, IntegersAndHex) {
    EXPECT_EQ(FormatText(L"Code: %d.", {std::int32_t{-5}}), L"Code: -5.");
    EXPECT_EQ(FormatText(L"OLE error %.8x", {static_cast<std::int32_t>(0x80004005u)}), L"OLE error 80004005");
    EXPECT_EQ(FormatText(L"OLE error %.8x", {std::int32_t{0x1f}}), L"OLE error 0000001f");
    EXPECT_EQ(FormatText(L"%u", {std::int32_t{-2}}), L"4294967294");
    EXPECT_EQ(FormatText(L"[%5d|%-5d|%3s]", {std::int32_t{42}, std::int32_t{7}, L"x"}), L"[   42|7    |  x]");
}

TEST(FormatText, MalformedPlaceholdersStayAsWritten) {
    EXPECT_EQ(FormatText(L"100%% %s", {L"done"}), L"100% done");
    EXPECT_EQ(FormatText(L"%s and %s", {L"one"}), L"one and %s");
    EXPECT_EQ(FormatText(L"%d", {L"text"}), L"%d");
    EXPECT_EQ(FormatText(L"%q %", {}), L"%q %");
    EXPECT_EQ(FormatText(L"%9:s", {L"a"}), L"%9:s");
}

}  // namespace
}  // namespace cx
