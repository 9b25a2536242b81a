// The language of the Windows user, as a catalogue language code.
#pragma once

#include <windows.h>

#include <string>

namespace cx {

// The two locale questions the answer depends on; a seam for tests, since a Wine prefix cannot be
// given another user locale from inside a test.
class LocaleQueries {
public:
    virtual ~LocaleQueries() = default;
    // GetLocaleInfoA for the user default locale with `type`, into `buffer`: the count it returns.
    virtual int UserLocaleInfo(LCTYPE type, char (&buffer)[5]) const = 0;
    virtual LCID ThreadLocale() const = 0;
};

// language_COUNTRY from the user locale's two-letter ISO names ("no" becomes "nb": catalogues are
// made for Bokmål); when either name is not two letters, the thread locale's code from a fixed
// table; else "C".
std::string GetSystemLanguageCode(const LocaleQueries& locale);
// The same for the running system.
std::string GetSystemLanguageCode();

}  // namespace cx
