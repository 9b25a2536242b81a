#include "platform/text/res_string.h"

#include <windows.h>

#include <vector>

namespace cx {
namespace {

constexpr unsigned kFirstInvalidId = 65536;

ResStringTranslator gTranslator = nullptr;

// The text as `module`'s string table holds it, growing the buffer until the text fits.
std::wstring LoadFromModule(HMODULE module, unsigned id) {
    std::vector<wchar_t> buffer(1024);
    for (;;) {
        const int length = ::LoadStringW(module, id, buffer.data(), static_cast<int>(buffer.size()));
        if (length <= 0) return {};
        if (static_cast<std::size_t>(length) + 1 < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

void SetResStringTranslator(ResStringTranslator translator) {
    gTranslator = translator;
}

std::wstring LoadResString(unsigned id) {
    if (id >= kFirstInvalidId) return L"ERROR";
    const std::wstring text = LoadFromModule(::GetModuleHandleW(nullptr), id);
    return gTranslator ? gTranslator(text) : text;
}

std::wstring FormatResString(unsigned id, std::initializer_list<FormatArg> args) {
    return FormatText(LoadResString(id), args);
}

std::wstring LoadEnglishResString(unsigned id) {
    if (id >= kFirstInvalidId) return L"ERROR";
    return LoadFromModule(::GetModuleHandleW(nullptr), id);
}

}  // namespace cx
