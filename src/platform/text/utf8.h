// UTF-8 <-> UTF-16 (wchar_t) conversion, portable. Catalogues are UTF-8; everything inside is UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace cx {

// Unpaired surrogates are encoded as U+FFFD.
std::string EncodeUtf8(std::wstring_view text);

// Code points above U+FFFF become surrogate pairs where wchar_t is 16 bits. Malformed sequences
// (stray continuation bytes, truncated or overlong forms, surrogates, values above U+10FFFF) each
// become one U+FFFD, and decoding resumes at the next byte that can start a sequence.
std::wstring DecodeUtf8(std::string_view bytes);

}  // namespace cx
