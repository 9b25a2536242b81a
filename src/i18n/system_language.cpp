#include "i18n/system_language.h"

#include <string_view>

namespace cx {
namespace {

struct LocaleCode {
    LCID locale;
    std::string_view code;
};

// For systems whose user locale has no two-letter ISO names.
constexpr LocaleCode kThreadLocaleCodes[] = {
    {0x0406, "da_DK"}, {0x0407, "de_DE"}, {0x0408, "el_GR"}, {0x0409, "en_US"}, {0x040A, "es_ES"},
    {0x040B, "fi_FI"}, {0x040C, "fr_FR"}, {0x040F, "is_IS"}, {0x0410, "it_IT"}, {0x0412, "ko_KO"},
    {0x0413, "nl_NL"}, {0x0414, "nb_NO"}, {0x0415, "pl_PL"}, {0x0416, "pt_BR"}, {0x0419, "ru_RU"},
    {0x041D, "sv_SE"}, {0x0809, "en_GB"}, {0x080C, "fr_BE"}, {0x0813, "nl_BE"}, {0x0814, "nn_NO"},
    {0x0816, "pt_PT"}, {0x081D, "sv_FI"}, {0x0C0A, "es_ES"}, {0x0C0C, "fr_CA"}, {0x1007, "de_LU"},
};

// A two-letter name comes back as 3: two letters and the terminating zero.
constexpr int kTwoLetterResult = 3;

class SystemLocale : public LocaleQueries {
public:
    int UserLocaleInfo(LCTYPE type, char (&buffer)[5]) const override {
        return ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, 5);
    }
    LCID ThreadLocale() const override { return ::GetThreadLocale(); }
};

}  // namespace

std::string GetSystemLanguageCode(const LocaleQueries& locale) {
    char language[5] = {};
    char country[5] = {};
    if (locale.UserLocaleInfo(LOCALE_SISO639LANGNAME, language) == kTwoLetterResult &&
        locale.UserLocaleInfo(LOCALE_SISO3166CTRYNAME, country) == kTwoLetterResult) {
        const std::string_view name(language, 2);
        return std::string(name == "no" ? "nb" : name) + "_" + std::string(country, 2);
    }
    const LCID thread = locale.ThreadLocale();
    for (const LocaleCode& entry : kThreadLocaleCodes) {
        if (entry.locale == thread) return std::string(entry.code);
    }
    return "C";
}

std::string GetSystemLanguageCode() {
    return GetSystemLanguageCode(SystemLocale());
}

}  // namespace cx
