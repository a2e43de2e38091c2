#pragma once
// Perl-style patterns that pick attribute values out of page blocks
// (Boost.Regex: case-sensitive, "." also matches a line break).
#include <memory>
#include <string_view>

#include "platform/text.h"

#include <boost/regex_fwd.hpp>

namespace velk {

class AttributePattern {
 public:
  // False (and no pattern kept) when `pattern` does not compile.
  bool Compile(std::string_view pattern);
  bool IsCompiled() const { return regex_ != nullptr; }
  void Release() { regex_.reset(); }

 private:
  friend Text FirstSubMatch(const AttributePattern& pattern, std::string_view text);
  // Never changed once compiled, so copies may be read by several threads.
  std::shared_ptr<const boost::regex> regex_;
};

// Sub-match 1 of the first match of `pattern` in `text`. Empty when the
// pattern is not compiled, nothing matches, the group took no part, or the
// engine gave up on the text.
Text FirstSubMatch(const AttributePattern& pattern, std::string_view text);

// The three attribute patterns of the scrapers.
inline constexpr std::string_view kSrcPattern = R"re(src="(.*?)")re";
inline constexpr std::string_view kHrefPattern = R"re(href="(.*?)")re";
inline constexpr std::string_view kTitlePattern = R"re(title="(.*?)")re";

}  // namespace velk
