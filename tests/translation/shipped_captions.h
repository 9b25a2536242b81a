// The browser captions that "ei" writes, in English and in the shipped translations.
#pragma once

#include <string>
#include <vector>

namespace cxtest {

inline const std::vector<std::wstring> kEnglishCaptions{
    L"Add Content as Corvane2 Note", L"Add Content as Corvane2 Reference", L"Add URL as Corvane2 Reference"};
inline const std::vector<std::wstring> kGermanCaptions{L"Inhalt als Corvane2-Notiz hinzuf\u00FCgen",
                                                       L"Inhalt als Corvane2-Referenz hinzuf\u00FCgen",
                                                       L"URL als Corvane2-Referenz hinzuf\u00FCgen"};
inline const std::vector<std::wstring> kChineseCaptions{
    L"将内容添加为 Corvane2 笔记", L"将内容添加为 Corvane2 参考文献", L"将 URL 添加为 Corvane2 参考文献"};

}  // namespace cxtest
