// The language the tool's texts are shown in.
#pragma once

#include <string>

namespace cx {

// Makes `code` (such as "de_DE") the language of texts loaded from now on; it names the catalogue
// folder exactly as given. An empty code chooses from "LANG" or the Windows user locale.
void SelectLanguage(const std::string& code);

// The code in use.
std::string SelectedLanguage();

}  // namespace cx
