// The tool's message boxes: no owner window, caption "Corvane2" (never translated).
#pragma once

#include <cstdint>
#include <string>

namespace cx {

inline constexpr wchar_t kCaption[] = L"Corvane2";

// The driver's error box: MB_OK | MB_ICONERROR | MB_TASKMODAL.
void ShowErrorBox(const std::wstring& message);

// MB_OK with the information icon, or the warning icon when `warning` is true.
void ShowResultMessage(const std::wstring& text, bool warning);

// The interactive mode's result message for a Word add-in install or removal; codes without a message
// show nothing.
void ShowWordAddinResult(std::int32_t code, bool installing);

}  // namespace cx
