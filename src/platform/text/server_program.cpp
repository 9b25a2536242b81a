#include "platform/text/server_program.h"

namespace cx {
namespace {

std::wstring_view Trimmed(std::wstring_view text) {
    const std::size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

wchar_t AsciiLower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool IsExeSuffixAt(std::wstring_view text, std::size_t at) {
    constexpr std::wstring_view kExe = L".exe";
    if (text.size() - at < kExe.size()) return false;
    for (std::size_t i = 0; i < kExe.size(); ++i) {
        if (AsciiLower(text[at + i]) != kExe[i]) return false;
    }
    const std::size_t after = at + kExe.size();
    return after == text.size() || text[after] == L' ';
}

}  // namespace

std::wstring ServerProgram(std::wstring_view command) {
    const std::wstring_view text = Trimmed(command);
    if (!text.empty() && text.front() == L'"') {
        const std::wstring_view rest = text.substr(1);
        return std::wstring(rest.substr(0, rest.find(L'"')));
    }
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (IsExeSuffixAt(text, at)) return std::wstring(text.substr(0, at + 4));
    }
    return std::wstring(text.substr(0, text.find(L' ')));
}

std::wstring InprocServerPath(std::wstring_view value) {
    std::wstring_view text = Trimmed(value);
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"')
        text = text.substr(1, text.size() - 2);
    return std::wstring(text);
}

}  // namespace cx
