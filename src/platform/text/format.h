// The message syntax the tool's texts use: %s, %d, %u, %x with optional "index:", "-", width and
// ".precision" (so "%.8x" and "%0:s"), and "%%". A placeholder without an index takes the argument
// after the previous one; an indexed one also moves that position. Portable.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace cx {

class FormatArg {
public:
    FormatArg(std::wstring_view text) : isText_(true), text_(text) {}
    FormatArg(const std::wstring& text) : isText_(true), text_(text) {}
    FormatArg(const wchar_t* text) : isText_(true), text_(text) {}
    template <typename N, typename = std::enable_if_t<std::is_integral_v<N>>>
    FormatArg(N number) : isText_(false), number_(static_cast<std::int64_t>(number)) {}

    bool IsText() const { return isText_; }
    std::wstring_view Text() const { return text_; }
    std::int64_t Number() const { return number_; }

private:
    bool isText_;
    std::wstring_view text_;
    std::int64_t number_ = 0;
};

// A placeholder whose argument is missing or of the wrong kind is left in the output as written:
// a malformed translation must not crash the tool or lose the rest of the message.
std::wstring FormatText(std::wstring_view format, std::initializer_list<FormatArg> args);

}  // namespace cx
