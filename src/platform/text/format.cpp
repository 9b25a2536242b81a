#include "platform/text/format.h"

#include <cstdint>
#include <vector>

namespace cx {
namespace {

std::wstring Hex(std::uint64_t value) {
    static constexpr wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring digits;
    do {
        digits.insert(digits.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return digits;
}

std::wstring Decimal(std::uint64_t magnitude) {
    std::wstring digits;
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    return digits;
}

// Integer conversions: precision is the minimum number of digits, zero-padded.
std::wstring Integer(const FormatArg& arg, wchar_t type, std::size_t precision) {
    const std::int64_t n = arg.Number();
    std::wstring sign;
    std::wstring digits;
    if (type == L'x') {
        // A negative 32-bit value (an HRESULT) prints as its 8 hexadecimal digits.
        const bool fits32 = n >= INT32_MIN && n <= static_cast<std::int64_t>(UINT32_MAX);
        digits = Hex(fits32 ? static_cast<std::uint32_t>(n) : static_cast<std::uint64_t>(n));
    } else if (type == L'u') {
        digits = Decimal(static_cast<std::uint32_t>(n));
    } else {
        if (n < 0) sign = L"-";
        digits = Decimal(n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n));
    }
    if (digits.size() < precision) digits.insert(0, precision - digits.size(), L'0');
    return sign + digits;
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

}  // namespace

std::wstring FormatText(std::wstring_view format, std::initializer_list<FormatArg> list) {
    const std::vector<FormatArg> args(list);
    std::wstring out;
    std::size_t next = 0;
    std::size_t i = 0;
    while (i < format.size()) {
        const wchar_t c = format[i];
        if (c != L'%') {
            out.push_back(c);
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == L'%') {
            out.push_back(L'%');
            i += 2;
            continue;
        }
        // %[index:][-][width][.precision]type
        std::size_t j = i + 1;
        auto number = [&](std::size_t& value) {
            const std::size_t start = j;
            value = 0;
            while (j < format.size() && IsDigit(format[j]) && j - start < 6) value = value * 10 + (format[j++] - L'0');
            return j > start;
        };
        std::size_t index = next;
        std::size_t value = 0;
        const std::size_t beforeIndex = j;
        if (number(value) && j < format.size() && format[j] == L':') {
            index = value;
            ++j;
        } else {
            j = beforeIndex;
        }
        const bool left = j < format.size() && format[j] == L'-';
        if (left) ++j;
        std::size_t width = 0;
        number(width);
        std::size_t precision = 0;
        if (j < format.size() && format[j] == L'.') {
            ++j;
            number(precision);
        }
        const wchar_t type = j < format.size() ? static_cast<wchar_t>(format[j] | 0x20) : L'\0';
        const bool known = type == L's' || type == L'd' || type == L'u' || type == L'x';
        if (!known || index >= args.size() || args[index].IsText() != (type == L's')) {
            // Leave the malformed placeholder as written.
            const std::size_t end = known ? j + 1 : j;
            out.append(format.substr(i, end - i));
            i = end;
            continue;
        }
        std::wstring piece;
        if (type == L's') {
            piece = std::wstring(args[index].Text());
            if (precision > 0 && piece.size() > precision) piece.resize(precision);
        } else {
            piece = Integer(args[index], type, precision);
        }
        if (piece.size() < width) {
            piece.insert(left ? piece.size() : 0, width - piece.size(), L' ');
        }
        out += piece;
        next = index + 1;
        i = j + 1;
    }
    return out;
}

}  // namespace cx
