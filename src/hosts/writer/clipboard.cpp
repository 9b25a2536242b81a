#include "hosts/writer/clipboard.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace cx {
namespace {

class ClipboardSession {
public:
    ClipboardSession() : open_(::OpenClipboard(nullptr) != FALSE) {}
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    ~ClipboardSession() {
        if (open_) ::CloseClipboard();
    }
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

// Hands `size` bytes to the clipboard under `format`; the clipboard owns the block once it took it.
bool StoreBlock(UINT format, const void* data, std::size_t size) {
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    if (!block) return false;
    void* target = ::GlobalLock(block);
    if (!target) {
        ::GlobalFree(block);
        return false;
    }
    std::memcpy(target, data, size);
    ::GlobalUnlock(block);
    if (!::SetClipboardData(format, block)) {
        ::GlobalFree(block);
        return false;
    }
    return true;
}

}  // namespace

bool PutRtfOnClipboard(std::string_view rtf, std::optional<std::wstring_view> text) {
    const UINT rtfFormat = ::RegisterClipboardFormatW(L"Rich Text Format");
    if (rtfFormat == 0) return false;
    const ClipboardSession session;
    if (!session.IsOpen() || !::EmptyClipboard()) return false;
    std::string rtfData(rtf);
    if (!StoreBlock(rtfFormat, rtfData.c_str(), rtfData.size() + 1)) return false;
    if (!text) return true;
    const std::wstring textData(*text);
    return StoreBlock(CF_UNICODETEXT, textData.c_str(), (textData.size() + 1) * sizeof(wchar_t));
}

}  // namespace cx
