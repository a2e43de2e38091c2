#pragma once
// Cutting parts out of downloaded pages (GBK text) with fixed marker texts.
// Positions are 1-based byte positions; finds recognise a marker only where
// a character begins (portal/gbk_find.h).
#include <cstddef>
#include <string_view>

#include "platform/text.h"

namespace velk {

// The text between the first `start` at or after position `from` (0 or less
// counts as 1) and the first `end` after it. Empty when `start` does not
// occur; everything after `start` when `end` is empty or does not occur.
// `ignore_case` folds the letters A-Z only.
Text CutBetween(std::string_view text, std::string_view start, std::string_view end,
                long from = 1, bool ignore_case = true);

// Splits `text` at every `marker` (case-sensitive), drops the first `skip`
// segments and, for each remaining one, appends the bytes before its first
// `cut` (nothing when `cut` is missing or leads the segment) and CRLF. The
// segment before the first marker counts as the first; an empty segment
// after the last marker is dropped. An empty marker splits nothing.
Text CollectBlocks(std::string_view text, std::string_view marker, long skip,
                   std::string_view cut);

// How much of a scraped address or title is kept.
inline constexpr std::size_t kKeptValueBytes = 400;

// At most the last `limit` bytes of `value`, starting where a character
// begins so that no half of a double-byte character leads the result.
Text KeepLastBytes(std::string_view value, std::size_t limit = kKeptValueBytes);

}  // namespace velk
