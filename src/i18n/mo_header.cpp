#include "i18n/mo_header.h"

namespace cx {
namespace {

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsBlankOrControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F;
}

// Bytes of other scripts are compared exactly; field names are ASCII.
bool StartsWithField(std::string_view line, std::string_view name) {
    if (line.size() < name.size() + 2) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (AsciiUpper(line[i]) != AsciiUpper(name[i])) return false;
    }
    return line[name.size()] == ':' && line[name.size() + 1] == ' ';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::string_view GetHeaderField(std::string_view header, std::string_view name) {
    // Splitting at every CR and every LF also covers CR LF: the empty line between them matches nothing.
    while (!header.empty()) {
        const std::size_t end = header.find_first_of("\r\n");
        const std::string_view line = header.substr(0, end);
        if (StartsWithField(line, name)) return Trim(line.substr(name.size() + 2));
        if (end == std::string_view::npos) break;
        header.remove_prefix(end + 1);
    }
    return {};
}

}  // namespace cx
