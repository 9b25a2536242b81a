// How a string-table text meets a catalogue: the key it is looked up by, and the text shown for the
// bytes found. Portable.
#pragma once

#include <string>
#include <string_view>

namespace cx {

// UTF-8 with every carriage return removed: catalogues hold texts with bare line feeds, while the
// string table has CR LF. Unpaired surrogates are encoded as U+FFFD.
std::string MessageKey(std::wstring_view text);

// Catalogue bytes (or a key that nothing translated) as the tool shows them: a carriage return is
// inserted before every line feed that does not already follow one, then the bytes are decoded from
// UTF-8 (code points above U+FFFF as surrogate pairs, each malformed sequence as one U+FFFD).
std::wstring DisplayText(std::string_view bytes);

}  // namespace cx
