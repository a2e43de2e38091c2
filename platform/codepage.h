#pragma once
// Conversions between GBK (code page 936, glibc's "CP936": 0x80 is the euro
// sign), UTF-16 and UTF-8. All functions are thread-safe and keep zero bytes
// (the whole view is converted, a zero byte is an ordinary character).
//
// Substitutions:
// - bytes that are not valid GBK become U+FFFD (one per undecodable byte);
// - bytes that are not valid UTF-8 become U+FFFD (UTF-16, UTF-8 results) or
//   "?" (GBK results), one per maximal invalid sequence;
// - lone UTF-16 surrogates become U+FFFD, or "?" in GBK;
// - a character GBK cannot represent becomes "?".
#include <string>
#include <string_view>

#include "platform/text.h"

namespace velk {

std::string gbk_to_utf8(std::string_view gbk);
Text utf8_to_gbk(std::string_view utf8);
std::u16string gbk_to_utf16(std::string_view gbk);
Text utf16_to_gbk(std::u16string_view utf16);
std::u16string utf8_to_utf16(std::string_view utf8);
std::string utf16_to_utf8(std::u16string_view utf16);

// True when the byte starts a double-byte GBK character (0x81..0xFE).
inline bool is_gbk_lead_byte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

}  // namespace velk
