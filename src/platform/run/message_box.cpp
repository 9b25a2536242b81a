#include "platform/run/message_box.h"

#include "platform/run/run_log.h"

namespace cx {
namespace {

bool quietMode = false;

}  // namespace

void SetQuietMode(bool quiet) {
    quietMode = quiet;
}

int PresentMessageBox(const std::wstring& text, const std::wstring& caption, UINT flags) {
    LogMessageBox(caption, text, !quietMode);
    if (quietMode) return (flags & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
    return ::MessageBoxW(nullptr, text.c_str(), caption.c_str(), flags);
}

}  // namespace cx
