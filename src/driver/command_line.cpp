#include "driver/command_line.h"

namespace cx {
namespace {

bool IsSeparator(wchar_t c) { return c >= 1 && c <= 32; }

// Reads one item starting at pos; returns it and leaves pos after it.
std::wstring NextItem(std::wstring_view line, std::size_t& pos) {
    while (pos < line.size() && line[pos] != L'\0') {
        while (pos < line.size() && IsSeparator(line[pos])) ++pos;
        if (pos + 1 < line.size() && line[pos] == L'"' && line[pos + 1] == L'"') {
            pos += 2;
            continue;
        }
        break;
    }
    std::wstring item;
    while (pos < line.size() && line[pos] != L'\0' && !IsSeparator(line[pos])) {
        if (line[pos] == L'"') {
            ++pos;
            while (pos < line.size() && line[pos] != L'\0' && line[pos] != L'"') item.push_back(line[pos++]);
            if (pos < line.size() && line[pos] == L'"') ++pos;
        } else {
            item.push_back(line[pos++]);
        }
    }
    return item;
}

}  // namespace

std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine) {
    std::size_t pos = 0;
    NextItem(commandLine, pos);  // the program name
    std::vector<std::wstring> params;
    for (;;) {
        std::wstring item = NextItem(commandLine, pos);
        if (item.empty()) break;
        params.push_back(std::move(item));
    }
    return params;
}

}  // namespace cx
