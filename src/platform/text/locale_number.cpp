#include "platform/text/locale_number.h"

#include <windows.h>

#include "platform/errors.h"
#include "platform/text/float_text.h"
#include "platform/text/res_string.h"

namespace cx {

wchar_t UserDecimalSeparator() {
    // LOCALE_SDECIMAL holds at most three characters and the NUL.
    wchar_t buffer[4] = {};
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 4) <= 1) return L'.';
    return buffer[0];
}

double StrToFloat(const std::wstring& text) {
    const auto value = ParseFloat(text, UserDecimalSeparator());
    if (!value) throw EConvertError(FormatResString(IDS_INVALID_FLOAT, {text}));
    return *value;
}

}  // namespace cx
