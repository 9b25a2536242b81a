// Putting RTF text on the clipboard for an editor to paste.
#pragma once

#include <optional>
#include <string_view>

namespace cx {

// Empties the clipboard and stores `rtf` with its NUL under the registered format "Rich Text Format",
// and `text`, when given, with its NUL as CF_UNICODETEXT. The clipboard is closed on every way out.
// False when any step failed; raises nothing. The earlier contents are not restored.
bool PutRtfOnClipboard(std::string_view rtf, std::optional<std::wstring_view> text = std::nullopt);

}  // namespace cx
