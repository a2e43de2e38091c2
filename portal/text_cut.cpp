#include "portal/text_cut.h"

#include "portal/gbk_find.h"

namespace velk {

Text CutBetween(std::string_view text, std::string_view start, std::string_view end, long from,
                bool ignore_case) {
  const std::size_t search_from = from <= 1 ? 0 : static_cast<std::size_t>(from - 1);
  const std::size_t found = FindGbk(text, start, search_from, ignore_case);
  if (found == kNotFound) return {};
  const std::size_t after_start = found + start.size();
  const std::size_t found_end =
      end.empty() ? kNotFound : FindGbk(text, end, after_start, ignore_case);
  if (found_end == kNotFound)
    return after_start < text.size() ? Text(text.substr(after_start)) : Text();
  return Text(text.substr(after_start, found_end - after_start));
}

Text CollectBlocks(std::string_view text, std::string_view marker, long skip,
                   std::string_view cut) {
  Text result;
  long segment_number = 0;
  for (std::size_t segment_start = 0;;) {
    const std::size_t next_marker =
        marker.empty() ? kNotFound : FindGbk(text, marker, segment_start, false);
    const std::string_view segment =
        next_marker == kNotFound ? text.substr(segment_start)
                                 : text.substr(segment_start, next_marker - segment_start);
    if (next_marker == kNotFound && segment.empty()) break;
    if (++segment_number > skip) {
      const std::size_t found_cut = FindGbk(segment, cut, 0, false);
      if (found_cut != kNotFound) result.append(segment.substr(0, found_cut));
      result.append("\r\n");
    }
    if (next_marker == kNotFound) break;
    segment_start = next_marker + marker.size();
  }
  return result;
}

Text KeepLastBytes(std::string_view value, std::size_t limit) {
  if (value.size() <= limit) return Text(value);
  const std::size_t earliest = value.size() - limit;
  std::size_t character_start = 0;
  while (character_start < earliest) character_start += GbkCharLength(value, character_start);
  return Text(value.substr(character_start));
}

}  // namespace velk
