#pragma once
// Turning pages that arrive as UTF-8 into GBK text before they are searched.
#include <string_view>

#include "platform/text.h"

namespace velk {

// The characters of `utf8` (up to its first zero byte) as GBK text (code
// page 936). A base character followed by a combining mark becomes the
// precomposed character where GBK has one; a character GBK cannot represent
// becomes "?", and so does each ill-formed piece of UTF-8.
Text Utf8ToGbk(std::string_view utf8);

}  // namespace velk
