#include "i18n/message_text.h"

#include "platform/text/utf8.h"

namespace cx {

std::string MessageKey(std::wstring_view text) {
    std::string key = EncodeUtf8(text);
    std::erase(key, '\r');
    return key;
}

// CR and LF are single bytes in UTF-8 and never part of a longer sequence, so the line ends can be
// fixed before decoding.
std::wstring DisplayText(std::string_view bytes) {
    std::string fixed;
    fixed.reserve(bytes.size() + 8);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) fixed.push_back('\r');
        fixed.push_back(bytes[i]);
    }
    return DecodeUtf8(fixed);
}

}  // namespace cx
