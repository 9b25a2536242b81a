#include "i18n/language.h"

#include "i18n/gettext_instance.h"
#include "i18n/translation.h"

namespace cx {

void SelectLanguage(const std::string& code) {
    TheGettextInstance().SelectLanguage(code);
}

std::string SelectedLanguage() {
    return TheGettextInstance().LanguageCode();
}

}  // namespace cx
