// Text-to-number conversion in the user's locale.
#pragma once

#include <string>

namespace cx {

// The first character of the user locale's decimal separator; "." when the system gives none.
wchar_t UserDecimalSeparator();

// ParseFloat (platform/float_text.h) with the user locale's decimal separator. Raises EConvertError
// "'%s' is not a valid floating point value" with the text as given.
double StrToFloat(const std::wstring& text);

}  // namespace cx
