#include "portal/attribute_pattern.h"

#include <boost/regex.hpp>

namespace velk {

bool AttributePattern::Compile(std::string_view pattern) {
  regex_.reset();
  try {
    regex_ = std::make_shared<const boost::regex>(pattern.begin(), pattern.end(),
                                           boost::regex::perl | boost::regex::mod_s);
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

Text FirstSubMatch(const AttributePattern& pattern, std::string_view text) {
  if (!pattern.regex_) return {};
  try {
    boost::match_results<std::string_view::const_iterator> match;
    if (!boost::regex_search(text.begin(), text.end(), match, *pattern.regex_)) return {};
    if (match.size() < 2 || !match[1].matched) return {};
    return Text(match[1].first, match[1].second);
  } catch (const std::exception&) {
    // Boost gives up on patterns too complex for the text.
    return {};
  }
}

}  // namespace velk
