#include "driver/message_boxes.h"

#include <windows.h>

#include "platform/run/message_box.h"
#include "platform/text/res_string.h"

namespace cx {
namespace {

struct ResultMessage {
    bool installing;
    std::int32_t code;
    unsigned textId;
    bool warning;
};

constexpr ResultMessage kResultMessages[] = {
    {true, 0, IDS_WORD_INSTALLED, false},
    {true, 1, IDS_WORD_INSTALL_FAILED, true},
    {true, 2, IDS_WORD_INSTALL_RESTART, false},
    {false, 0, IDS_WORD_REMOVED, false},
};

}  // namespace

void ShowErrorBox(const std::wstring& message) {
    PresentMessageBox(message, kCaption, MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

void ShowResultMessage(const std::wstring& text, bool warning) {
    PresentMessageBox(text, kCaption, MB_OK | (warning ? MB_ICONWARNING : MB_ICONINFORMATION));
}

void ShowWordAddinResult(std::int32_t code, bool installing) {
    for (const ResultMessage& message : kResultMessages) {
        if (message.installing == installing && message.code == code) {
            ShowResultMessage(LoadResString(message.textId), message.warning);
            return;
        }
    }
}

}  // namespace cx
