#include "portal/gbk_find.h"

#include <cstring>

namespace velk {
namespace {

unsigned char FoldAsciiLetter(unsigned char byte) {
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

// Compares character by character from a character start: single-byte
// characters fold their case, double-byte characters compare exactly (their
// second byte may look like a letter).
bool MatchesAtIgnoringCase(std::string_view text, std::size_t at, std::string_view needle) {
  if (text.size() - at < needle.size()) return false;
  for (std::size_t j = 0; j < needle.size();) {
    const auto wanted = static_cast<unsigned char>(needle[j]);
    const auto seen = static_cast<unsigned char>(text[at + j]);
    if (GbkCharLength(needle, j) == 2) {
      if (wanted != seen || needle[j + 1] != text[at + j + 1]) return false;
      j += 2;
    } else {
      if (FoldAsciiLetter(wanted) != FoldAsciiLetter(seen)) return false;
      ++j;
    }
  }
  return true;
}

// Next byte position at or after `from` where the needle's bytes occur,
// whether or not a character begins there.
std::size_t NextCandidate(std::string_view text, std::string_view needle, std::size_t from,
                          bool ignore_case) {
  if (from >= text.size() || text.size() - from < needle.size()) return kNotFound;
  if (!ignore_case) {
    const void* hit = memmem(text.data() + from, text.size() - from, needle.data(), needle.size());
    return hit ? static_cast<const char*>(hit) - text.data() : kNotFound;
  }
  const auto first = static_cast<unsigned char>(needle[0]);
  const unsigned char folded_first = FoldAsciiLetter(first);
  const bool first_is_letter = folded_first >= 'a' && folded_first <= 'z';
  const std::size_t last_start = text.size() - needle.size();
  for (std::size_t at = from; at <= last_start; ++at) {
    if (!first_is_letter) {
      // Markers mostly begin with "<": let memchr skip to the next one.
      const void* hit = std::memchr(text.data() + at, first, last_start - at + 1);
      if (!hit) return kNotFound;
      at = static_cast<const char*>(hit) - text.data();
    } else if (FoldAsciiLetter(static_cast<unsigned char>(text[at])) != folded_first) {
      continue;
    }
    std::size_t j = 1;
    while (j < needle.size() && FoldAsciiLetter(static_cast<unsigned char>(text[at + j])) ==
                                    FoldAsciiLetter(static_cast<unsigned char>(needle[j])))
      ++j;
    if (j == needle.size()) return at;
  }
  return kNotFound;
}

// Moves a known character start forward to the last character start at or
// before `target`. A byte below 0x40 is never a trail byte, so the walk may begin just after the last such byte: markup
// ("<", ">", quotes, blanks) keeps that walk short.
std::size_t CharacterStartUpTo(std::string_view text, std::size_t known_start,
                               std::size_t target) {
  for (std::size_t back = target; back > known_start; --back) {
    if (static_cast<unsigned char>(text[back - 1]) < 0x40) {
      known_start = back;
      break;
    }
  }
  while (known_start < target) {
    const std::size_t next = known_start + GbkCharLength(text, known_start);
    if (next > target) break;
    known_start = next;
  }
  return known_start;
}

}  // namespace

std::size_t FindGbk(std::string_view text, std::string_view needle, std::size_t from,
                    bool ignore_case) {
  if (from >= text.size()) return kNotFound;
  if (needle.empty()) return from;
  std::size_t character_start = from;
  for (std::size_t search_from = from;;) {
    const std::size_t candidate = NextCandidate(text, needle, search_from, ignore_case);
    if (candidate == kNotFound) return kNotFound;
    character_start = CharacterStartUpTo(text, character_start, candidate);
    if (character_start == candidate &&
        (!ignore_case || MatchesAtIgnoringCase(text, candidate, needle)))
      return candidate;
    // Inside a double-byte character, or a case-folded trail byte: go on
    // from the next character start.
    character_start += GbkCharLength(text, character_start);
    search_from = character_start;
  }
}

}  // namespace velk
