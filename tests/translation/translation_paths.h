// Where the translation tests find what the build made for them: the shipped catalogues beside
// <build>\bin\CXAddinReg.exe, the tests' own catalogues and the tool with embedded catalogues.
#pragma once

#include <string>

#include "support/install_folder.h"

namespace cxtest {

// The build directory, with its trailing backslash.
inline std::wstring BuildDir() {
    const std::wstring tool = ToolExePath();
    const std::wstring bin = tool.substr(0, tool.rfind(L'\\'));
    return bin.substr(0, bin.rfind(L'\\') + 1);
}

inline std::wstring TestCatalogue(const std::wstring& name) {
    return BuildDir() + L"translation-testdata\\" + name + L".mo";
}

inline std::wstring ShippedCatalogue(const std::wstring& language) {
    return BuildDir() + L"bin\\locale\\" + language + L"\\LC_MESSAGES\\CXAddinReg.mo";
}

inline std::wstring EmbeddedToolPath() {
    return BuildDir() + L"embedded\\CXAddinReg.exe";
}

}  // namespace cxtest
