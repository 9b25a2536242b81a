#include "i18n/gettext_instance.h"

#include <algorithm>

#include "i18n/message_text.h"
#include "i18n/system_language.h"
#include "platform/run/message_box.h"

namespace cx {
namespace {

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Domain names are file names of catalogues, ASCII in practice; no locale's case rules apply.
bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

std::string EnvironmentVariable(const char* name) {
    std::string value(256, '\0');
    for (;;) {
        const DWORD length = ::GetEnvironmentVariableA(name, value.data(), static_cast<DWORD>(value.size()));
        if (length < value.size()) {
            value.resize(length);
            return value;
        }
        value.resize(length);
    }
}

}  // namespace

void ShowCharsetWarningBox(const std::wstring& text, const std::wstring& caption) {
    PresentMessageBox(text, caption, MB_OK);
}

GettextInstance::GettextInstance(FileLocator& locator, const std::wstring& defaultDirectory,
                                 CharsetWarning warning)
    : locator_(locator),
      warning_(std::move(warning)),
      ownerThread_(::GetCurrentThreadId()),
      defaultDirectory_(defaultDirectory) {
    BindDomainDirectory("default", defaultDirectory_);
}

void GettextInstance::SelectLanguage(const std::string& code) {
    std::string chosen = code;
    if (chosen.empty()) {
        chosen = EnvironmentVariable("LANG");
        if (chosen.empty()) chosen = GetSystemLanguageCode();
        chosen = chosen.substr(0, chosen.find('.'));
    }
    language_ = chosen;
    for (const auto& domain : domains_) domain->ChangeLanguage(chosen);
}

// Choosing costs an environment read and locale queries, which a run that shows no text never needs.
void GettextInstance::ChooseLanguageOnce() {
    if (!language_) SelectLanguage(std::string());
}

const std::string& GettextInstance::LanguageCode() {
    ChooseLanguageOnce();
    return *language_;
}

void GettextInstance::AddResourceStringDomain(const std::string& name) {
    const SrwLock::Exclusive hold(resourceDomainsLock_);
    for (const std::string& present : resourceDomains_) {
        if (SameName(present, name)) return;
    }
    resourceDomains_.push_back(name);
}

void GettextInstance::SetCurrentDomain(const std::string& name) {
    currentDomain_ = name;
}

void GettextInstance::BindDomainDirectory(const std::string& domain, const std::wstring& directory) {
    Domain(domain).BindDirectory(directory);
}

std::wstring GettextInstance::TranslateResourceString(std::wstring_view text) {
    if (text.empty()) return {};
    // A copy, so that no lock is held while translating: a catalogue error loads its message through
    // here again.
    std::vector<std::string> names;
    {
        const SrwLock::Shared hold(resourceDomainsLock_);
        names = resourceDomains_;
    }
    std::wstring result;
    for (const std::string& name : names) {
        result = TranslateInDomain(name, text);
        if (result != text) break;
    }
    return result;
}

std::wstring GettextInstance::TranslateInDomain(const std::string& domain, std::wstring_view text) {
    ChooseLanguageOnce();
    const std::string key = MessageKey(text);
    return DisplayText(Domain(domain).Translate(key));
}

const TranslationDomain* GettextInstance::FindDomain(std::string_view name) const {
    for (const auto& domain : domains_) {
        if (SameName(domain->Name(), name)) return domain.get();
    }
    return nullptr;
}

TranslationDomain& GettextInstance::Domain(std::string_view name) {
    for (const auto& domain : domains_) {
        if (SameName(domain->Name(), name)) return *domain;
    }
    domains_.push_back(std::make_unique<TranslationDomain>(
        std::string(name), defaultDirectory_.empty() ? std::wstring() : defaultDirectory_ + L"\\",
        language_.value_or(std::string()), locator_, warning_));
    return *domains_.back();
}

}  // namespace cx
