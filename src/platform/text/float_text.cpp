#include "platform/text/float_text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace cx {
namespace {

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

}  // namespace

std::optional<double> ParseFloat(std::wstring_view text, wchar_t decimalSeparator) {
    std::size_t i = 0;
    std::size_t end = text.size();
    while (i < end && text[i] == L' ') ++i;
    while (end > i && text[end - 1] == L' ') --end;

    // The number is rewritten in the form from_chars reads, whatever the locale's separator.
    std::string ascii;
    if (i < end && (text[i] == L'+' || text[i] == L'-')) {
        if (text[i] == L'-') ascii.push_back('-');
        ++i;
    }
    bool digits = false;
    bool separator = false;
    for (; i < end; ++i) {
        if (IsDigit(text[i])) {
            ascii.push_back(static_cast<char>(text[i]));
            digits = true;
        } else if (text[i] == decimalSeparator && !separator) {
            ascii.push_back('.');
            separator = true;
        } else {
            break;
        }
    }
    if (!digits) return std::nullopt;
    if (i < end && (text[i] == L'e' || text[i] == L'E')) {
        ascii.push_back('e');
        ++i;
        if (i < end && (text[i] == L'+' || text[i] == L'-')) ascii.push_back(static_cast<char>(text[i++]));
        const std::size_t exponentStart = i;
        for (; i < end && IsDigit(text[i]); ++i) ascii.push_back(static_cast<char>(text[i]));
        if (i == exponentStart) return std::nullopt;
    }
    if (i != end) return std::nullopt;

    double value = 0;
    const auto [last, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error != std::errc() || last != ascii.data() + ascii.size()) return std::nullopt;
    return value;
}

double RoundHalfToEven(double value) {
    const double down = std::floor(value);
    const double fraction = value - down;
    if (fraction < 0.5) return down;
    if (fraction > 0.5) return down + 1;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

}  // namespace cx
