#include "i18n/res_string.h"

#include <windows.h>

#include <vector>

namespace cx {
namespace {

// The English text as the string table holds it, growing the buffer until the text fits.
std::wstring LoadEnglish(unsigned id) {
    std::vector<wchar_t> buffer(1024);
    for (;;) {
        const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, buffer.data(),
                                         static_cast<int>(buffer.size()));
        if (length <= 0) return {};
        if (static_cast<std::size_t>(length) + 1 < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::wstring LoadResString(unsigned id) {
    if (id >= 65536) return L"ERROR";
    return LoadEnglish(id);
}

std::wstring FormatResString(unsigned id, std::initializer_list<FormatArg> args) {
    return FormatText(LoadResString(id), args);
}

}  // namespace cx
