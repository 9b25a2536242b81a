#include "i18n/translation.h"

#include <windows.h>

#include "i18n/file_locator.h"
#include "i18n/gettext_instance.h"
#include "platform/text/path_text.h"
#include "platform/text/res_string.h"

namespace cx {
namespace {

// The executable's path, or empty. Not GetAppFileName: its error message would be loaded through the
// engine that is being created here.
std::wstring ExecutablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

struct Translation {
    explicit Translation(const std::wstring& exePath)
        : engine(locator, exePath.empty() ? std::wstring() : ExtractPathDir(exePath) + L"locale") {
        locator.ScanEmbeddedCatalogues(exePath);
    }

    FileLocator locator;  // declared first, so destroyed after the engine
    GettextInstance engine;
};

// Catalogues and domains belong to the thread that created the engine (the main thread, at start-up).
// The tool has no other threads; should one ever load a text, it gets the English text rather than
// a hand-over to the main thread, which could wait forever on a main thread blocked in a message box.
std::wstring TranslateLoadedText(std::wstring_view english) {
    GettextInstance& engine = TheGettextInstance();
    if (!engine.IsOwnerThread()) return std::wstring(english);
    return engine.TranslateResourceString(english);
}

}  // namespace

GettextInstance& TheGettextInstance() {
    static Translation translation(ExecutablePath());
    return translation.engine;
}

void AddResourceStringDomain(const std::string& name) {
    TheGettextInstance().AddResourceStringDomain(name);
}

void SetCurrentDomain(const std::string& name) {
    TheGettextInstance().SetCurrentDomain(name);
}

void InstallTranslation() {
    SetResStringTranslator(&TranslateLoadedText);
}

}  // namespace cx
