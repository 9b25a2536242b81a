// The translation engine: domains created on first use, the language, and the list of domains every
// string-table text is looked up in.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "i18n/file_locator.h"
#include "platform/srw_lock.h"
#include "i18n/translation_domain.h"

namespace cx {

// The warning as the tool shows it: a message box with an OK button and no owner.
void ShowCharsetWarningBox(const std::wstring& text, const std::wstring& caption);

class GettextInstance {
public:
    // Catalogues come from `locator`, which must outlive the engine. Domains look for them under
    // `defaultDirectory` (no trailing backslash; empty: nowhere), the "default" domain included. The thread
    // calling this becomes the owner thread. The language is chosen at the first lookup, unless one is
    // selected before.
    GettextInstance(FileLocator& locator, const std::wstring& defaultDirectory,
                    CharsetWarning warning = ShowCharsetWarningBox);
    GettextInstance(const GettextInstance&) = delete;
    GettextInstance& operator=(const GettextInstance&) = delete;

    // An empty `code` chooses automatically: "LANG", else the system's language, cut before its first
    // dot. Any other code is used exactly as given. Every domain closes its catalogue.
    void SelectLanguage(const std::string& code);
    // The language in use (chosen now if nothing was yet).
    const std::string& LanguageCode();

    // Appends `name` to the domains every string-table text is tried in; a name already there
    // (compared without regard to case) is left alone.
    void AddResourceStringDomain(const std::string& name);
    void SetCurrentDomain(const std::string& name);
    const std::string& CurrentDomain() const { return currentDomain_; }
    // Gives `domain` (created if missing) the directory `directory` plus a backslash.
    void BindDomainDirectory(const std::string& domain, const std::wstring& directory);

    // The first translation of `text` that differs from it, trying the resource-string domains in
    // order; when none differs, the last domain's result. Raises EGGIOError as TranslateInDomain.
    std::wstring TranslateResourceString(std::wstring_view text);
    // `text` looked up in `domain` (created if missing), with CR LF line ends. Raises EGGIOError when
    // the domain's catalogue cannot be used.
    std::wstring TranslateInDomain(const std::string& domain, std::wstring_view text);

    bool IsOwnerThread() const { return ::GetCurrentThreadId() == ownerThread_; }

    // The domain named `name`, if it exists; for checks.
    const TranslationDomain* FindDomain(std::string_view name) const;

private:
    TranslationDomain& Domain(std::string_view name);
    void ChooseLanguageOnce();

    FileLocator& locator_;
    CharsetWarning warning_;
    DWORD ownerThread_;
    std::wstring defaultDirectory_;
    std::string currentDomain_ = "default";
    std::optional<std::string> language_;
    std::vector<std::unique_ptr<TranslationDomain>> domains_;  // in creation order

    SrwLock resourceDomainsLock_;
    std::vector<std::string> resourceDomains_{"default"};
};

}  // namespace cx
