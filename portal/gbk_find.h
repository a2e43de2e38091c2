#pragma once
// Finding a text inside GBK text, character by character: an occurrence is
// recognised only where a character begins, never at the second byte of a
// double-byte character. A double-byte character is a lead byte (0x81..0xFE)
// followed by a trail byte (0x40..0xFE but 0x7F). Every other byte stands
// alone: 0x80 (the euro sign), 0xFF, and a lead byte not followed by a
// trail byte, so that a stray byte in a broken page never hides the markup
// after it.
#include <cstddef>
#include <string_view>

#include "platform/codepage.h"

namespace velk {

inline constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

inline bool IsGbkTrailByte(unsigned char byte) { return byte >= 0x40 && byte != 0x7F && byte != 0xFF; }

// Bytes taken by the character that begins at `at` (1 or 2).
inline std::size_t GbkCharLength(std::string_view text, std::size_t at) {
  return is_gbk_lead_byte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() &&
                 IsGbkTrailByte(static_cast<unsigned char>(text[at + 1]))
             ? 2
             : 1;
}

// 0-based index of the first occurrence of `needle` at or after `from`
// (which is taken as the beginning of a character), or kNotFound. With
// `ignore_case` the letters A-Z match their lower-case forms; the bytes of
// double-byte characters always compare exactly. An empty needle is found at
// `from` when text remains there.
std::size_t FindGbk(std::string_view text, std::string_view needle, std::size_t from,
                    bool ignore_case);

}  // namespace velk
