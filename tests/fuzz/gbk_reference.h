#pragma once
// Slow, obviously correct versions of the GBK marker find, for the fuzz
// targets to compare the fast one against.
#include <cstddef>
#include <string_view>

namespace velk::fuzz {

inline bool IsLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
inline bool IsTrail(unsigned char byte) { return byte >= 0x40 && byte != 0x7F && byte != 0xFF; }

// Length of the character at `at`: a lead byte with a trail byte after it
// is one character.
inline std::size_t CharLength(std::string_view text, std::size_t at) {
  return IsLead(static_cast<unsigned char>(text[at])) && at + 1 < text.size() &&
                 IsTrail(static_cast<unsigned char>(text[at + 1]))
             ? 2
             : 1;
}

inline unsigned char Fold(unsigned char byte) {
  return byte >= 'A' && byte <= 'Z' ? byte + 32 : byte;
}

// Walks character by character and compares character by character.
inline std::size_t ReferenceFind(std::string_view text, std::string_view needle,
                                 std::size_t from, bool ignore_case) {
  if (from >= text.size()) return static_cast<std::size_t>(-1);
  if (needle.empty()) return from;
  for (std::size_t at = from; at < text.size();) {
    bool same = at + needle.size() <= text.size();
    for (std::size_t j = 0; same && j < needle.size(); ++j) {
      const auto a = static_cast<unsigned char>(needle[j]);
      const auto b = static_cast<unsigned char>(text[at + j]);
      if (CharLength(needle, j) == 2) {
        same = a == b && needle[j + 1] == text[at + j + 1];
        ++j;
      } else {
        same = ignore_case ? Fold(a) == Fold(b) : a == b;
      }
    }
    if (same) return at;
    at += CharLength(text, at);
  }
  return static_cast<std::size_t>(-1);
}

}  // namespace velk::fuzz
