// Text to floating-point number with a given decimal separator, as version registrations need it.
// Portable: the caller supplies the locale's separator.
#pragma once

#include <optional>
#include <string_view>

namespace cx {

// Accepts, in this order: any blanks (U+0020); an optional "+" or "-"; decimal digits with at most one
// `decimalSeparator` among or after them (at least one digit in all, so "5", "5," and ",5" are numbers
// when the separator is a comma); an optional exponent, "e" or "E" with an optional sign and at least
// one digit; any blanks. Nothing else: no thousands separators, no other decimal mark than
// `decimalSeparator`, no "inf" or "nan", no hexadecimal. nullopt for anything else and for a value
// outside double's range.
std::optional<double> ParseFloat(std::wstring_view text, wchar_t decimalSeparator);

// Nearest integer value, ties to the even neighbour (2.5 gives 2, 3.5 gives 4, -2.5 gives -2).
double RoundHalfToEven(double value);

}  // namespace cx
