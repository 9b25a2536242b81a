// A translation domain: one catalogue name ("default", or the tool's own), looked up in the catalogue
// of the current language.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "i18n/file_locator.h"

namespace cx {

// Tells the user that a catalogue was turned off for its character set (text, then caption).
using CharsetWarning = std::function<void(const std::wstring& text, const std::wstring& caption)>;

class TranslationDomain {
public:
    // `directory` ends with a backslash, or is empty for a domain without catalogues. The domain starts
    // closed: its catalogue is looked for at the
    // first lookup.
    TranslationDomain(std::string name, std::wstring directory, std::string language, FileLocator& locator,
                      const CharsetWarning& warning);
    TranslationDomain(const TranslationDomain&) = delete;
    TranslationDomain& operator=(const TranslationDomain&) = delete;
    ~TranslationDomain() { CloseCatalogue(); }

    const std::string& Name() const { return name_; }

    // The translation of `key` (UTF-8, no CR), or `key` itself. Opens the catalogue when the domain
    // is closed; raises EGGIOError when that catalogue cannot be used, leaving the domain closed so
    // that the next lookup tries again.
    std::string_view Translate(std::string_view key);

    // Looks for the catalogue of the domain's language, then of its first two characters. None found:
    // the domain answers untranslated until it is closed. A catalogue whose Content-Type does not
    // declare UTF-8 is closed again, the user is warned once, and the domain stays off for the run.
    void OpenCatalogue();
    // Releases the catalogue and forgets that none was found.
    void CloseCatalogue();
    void ChangeLanguage(const std::string& code);
    // `directory` plus a trailing backslash becomes the base directory (empty: no catalogues); the
    // catalogue is closed.
    void BindDirectory(const std::wstring& directory);

    // A field of the open catalogue's header, trimmed and decoded; empty without a catalogue or field.
    std::wstring GetHeaderField(std::string_view name) const;

    bool Enabled() const { return enabled_; }
    bool OpenFailed() const { return openFailed_; }
    bool HasCatalogue() const { return catalogue_ != nullptr; }
    const std::string& Language() const { return language_; }

private:
    std::wstring CataloguePath(std::string_view language) const;
    bool CatalogueExists(const std::wstring& path) const;

    std::string name_;
    std::wstring directory_;
    std::string language_;
    FileLocator& locator_;
    const CharsetWarning& warning_;
    bool enabled_ = true;
    bool openFailed_ = false;
    // Set while the catalogue is being opened: texts loaded meanwhile (the messages of a catalogue
    // error) skip this domain instead of trying to open the same catalogue again, without end.
    bool opening_ = false;
    MoFile* catalogue_ = nullptr;
};

}  // namespace cx
