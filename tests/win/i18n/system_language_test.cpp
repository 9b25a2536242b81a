// The system's language code from the two locale answers, given here instead of the prefix's (a Wine
// prefix has one user locale, en-US, and a test cannot switch it for one call).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "i18n/system_language.h"

namespace cx {
namespace {

class FakeLocale : public LocaleQueries {
public:
    FakeLocale(const char* language, const char* country, LCID thread)
        : language_(language), country_(country), thread_(thread) {}

    // Like GetLocaleInfoA: the count includes the terminating zero; 0 when the name does not fit.
    int UserLocaleInfo(LCTYPE type, char (&buffer)[5]) const override {
        const char* name = type == LOCALE_SISO639LANGNAME    ? language_
                           : type == LOCALE_SISO3166CTRYNAME ? country_
                                                             : "";
        const std::size_t length = std::strlen(name);
        if (length + 1 > sizeof buffer) return 0;
        std::memcpy(buffer, name, length + 1);
        return static_cast<int>(length + 1);
    }
    LCID ThreadLocale() const override { return thread_; }

private:
    const char* language_;
    const char* country_;
    LCID thread_;
};

TEST(SystemLanguageTest, TwoLetterIsoNamesGiveLanguageAndCountry) {
    EXPECT_EQ(GetSystemLanguageCode(FakeLocale("de", "AT", 0x0409)), "de_AT");
    EXPECT_EQ(GetSystemLanguageCode(FakeLocale("zh", "CN", 0x0409)), "zh_CN");
    // Norwegian catalogues are made for Bokmål.
    EXPECT_EQ(GetSystemLanguageCode(FakeLocale("no", "NO", 0x0409)), "nb_NO");
    EXPECT_EQ(GetSystemLanguageCode(FakeLocale("nn", "NO", 0x0409)), "nn_NO");
}

TEST(SystemLanguageTest, OtherNamesFallBackToTheThreadLocaleTable) {
    // A three-letter language name, a missing or too long country name.
    EXPECT_EQ(GetSystemLanguageCode(FakeLocale("fil", "PH", 0x0407)), "de_DE");
    EXPECT_EQ(GetSystemLanguageCode(FakeLocale("de", "", 0x0814)), "nn_NO");
    EXPECT_EQ(GetSystemLanguageCode(FakeLocale("es", "419x", 0x0C0A)), "es_ES");
    EXPECT_EQ(GetSystemLanguageCode(FakeLocale("", "", 0x1007)), "de_LU");
    EXPECT_EQ(GetSystemLanguageCode(FakeLocale("", "", 0x0414)), "nb_NO");
    // Not in the table.
    EXPECT_EQ(GetSystemLanguageCode(FakeLocale("", "", 0x0437)), "C");
    EXPECT_EQ(GetSystemLanguageCode(FakeLocale("", "", 0x0804)), "C");
}

TEST(SystemLanguageTest, ThePrefixAnswersWithItsUserLocale) {
    // Wine's prefix runs as en-US whatever LANG says (the host has no other locales).
    EXPECT_EQ(GetSystemLanguageCode(), "en_US");
}

}  // namespace
}  // namespace cx
