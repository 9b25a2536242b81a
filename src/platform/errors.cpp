#include "platform/errors.h"

#include "platform/text/utf8.h"

namespace cx {

Exception::Exception(std::wstring message) : message_(std::move(message)), utf8_(EncodeUtf8(message_)) {}

}  // namespace cx
