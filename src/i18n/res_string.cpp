#include "i18n/res_string.h"

#include <windows.h>

#include <vector>

#include "i18n/gettext_instance.h"
#include "i18n/translation.h"

namespace cx {
namespace {

constexpr unsigned kFirstInvalidId = 65536;

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

// Catalogues and domains belong to the thread that created the engine (the main thread, at start-up).
// The tool has no other threads; should one ever load a text, it gets the English text rather than
// a hand-over to the main thread, which could wait forever on a main thread blocked in a message box.
std::wstring LoadTranslatedResString(HMODULE module, unsigned id) {
    if (id >= kFirstInvalidId) return L"ERROR";
    const std::wstring text = LoadFromModule(module, id);
    GettextInstance& engine = TheGettextInstance();
    if (!engine.IsOwnerThread()) return text;
    return engine.TranslateResourceString(text);
}

}  // namespace

std::wstring LoadResString(unsigned id) {
    return LoadTranslatedResString(::GetModuleHandleW(nullptr), id);
}

std::wstring FormatResString(unsigned id, std::initializer_list<FormatArg> args) {
    return FormatText(LoadResString(id), args);
}

std::wstring LoadEnglishResString(unsigned id) {
    if (id >= kFirstInvalidId) return L"ERROR";
    return LoadFromModule(::GetModuleHandleW(nullptr), id);
}

}  // namespace cx
