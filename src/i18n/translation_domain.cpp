#include "i18n/translation_domain.h"

#include <windows.h>

#include <algorithm>

#include "i18n/mo_header.h"
#include "platform/run/run_log.h"
#include "platform/system/file_system.h"
#include "platform/text/format.h"
#include "platform/text/res_string.h"
#include "platform/text/utf8.h"
#include "platform/text/win_text.h"

namespace cx {
namespace {

// Resets a flag however the scope is left.
class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;
    ~ScopedFlag() { flag_ = false; }

private:
    bool& flag_;
};

bool DeclaresUtf8(std::wstring contentType) {
    std::transform(contentType.begin(), contentType.end(), contentType.begin(), [](wchar_t c) {
        return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    });
    return contentType.find(L"CHARSET=UTF-8") != std::wstring::npos;
}

// A language code names one folder below the catalogue directory and nothing else. The tool runs with
// administrator rights, and the code comes from its command line or the environment: one that could
// lead out of that directory (a path separator, a drive or stream colon, a step up) or that is longer
// than any locale name finds no catalogue, so that no file outside the directory is ever read.
bool IsLanguageCode(std::string_view code) {
    return code.size() < LOCALE_NAME_MAX_LENGTH && code.find_first_of("\\/:") == std::string_view::npos &&
           code.find("..") == std::string_view::npos;
}

}  // namespace

TranslationDomain::TranslationDomain(std::string name, std::wstring directory, std::string language,
                                     FileLocator& locator, const CharsetWarning& warning)
    : name_(std::move(name)),
      directory_(std::move(directory)),
      language_(std::move(language)),
      locator_(locator),
      warning_(warning) {}

std::string_view TranslationDomain::Translate(std::string_view key) {
    if (!enabled_ || opening_) return key;
    if (!catalogue_ && !openFailed_) OpenCatalogue();
    if (!catalogue_) return key;
    return catalogue_->Lookup(key).text;
}

std::wstring TranslationDomain::CataloguePath(std::string_view language) const {
    return directory_ + ToWide(language) + L"\\LC_MESSAGES\\" + ToWide(name_) + L".mo";
}

bool TranslationDomain::CatalogueExists(const std::wstring& path) const {
    if (locator_.IsEmbeddedCatalogue(path)) return true;
    return IsExistingFile(path);
}

void TranslationDomain::OpenCatalogue() {
    const ScopedFlag opening(opening_);
    // Without a directory there is nothing to look in; a relative path would search the current one.
    if (directory_.empty() || !IsLanguageCode(language_)) {
        openFailed_ = true;
        return;
    }
    std::wstring path = CataloguePath(language_);
    if (!CatalogueExists(path)) path = CataloguePath(std::string_view(language_).substr(0, 2));
    if (!CatalogueExists(path)) {
        LogCatalogue(name_, language_, std::wstring_view());
        openFailed_ = true;
        return;
    }
    LogCatalogue(name_, language_, path);
    catalogue_ = &locator_.AcquireCatalogue(path);
    if (DeclaresUtf8(GetHeaderField("Content-Type"))) return;

    CloseCatalogue();
    enabled_ = false;
    // In English whatever the language: it reports a broken translation, and the message must not
    // itself depend on one.
    warning_(FormatText(LoadEnglishResString(IDS_LOCALIZATION_CHARSET), {ToWide(language_), path}),
             LoadEnglishResString(IDS_LOCALIZATION_CAPTION));
}

void TranslationDomain::CloseCatalogue() {
    if (catalogue_) locator_.ReleaseCatalogue(*catalogue_);
    catalogue_ = nullptr;
    openFailed_ = false;
}

void TranslationDomain::ChangeLanguage(const std::string& code) {
    CloseCatalogue();
    language_ = code;
}

void TranslationDomain::BindDirectory(const std::wstring& directory) {
    CloseCatalogue();
    directory_ = directory.empty() ? std::wstring() : directory + L"\\";
}

std::wstring TranslationDomain::GetHeaderField(std::string_view name) const {
    if (!catalogue_) return {};
    return DecodeUtf8(cx::GetHeaderField(catalogue_->Header(), name));
}

}  // namespace cx
