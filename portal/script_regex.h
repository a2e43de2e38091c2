#pragma once
// The script regular-expression object: one pattern compiled with
// script-engine (ECMAScript-style) rules, run over a text, keeping the
// resulting matches and handing out match and sub-match texts by 1-based
// index. Every failure (no pattern, a pattern that does not compile, an
// index outside the matches, an engine that gives up on a hostile text)
// gives an empty result: the empty text or 0.
//
// The engine works on the GBK bytes: "." and character classes take one
// byte, and ignore-case folds the letters A-Z. "." never matches a line
// break (CR or LF), and in a pattern "\<" and "\>" are plain "<" and ">".
//
// An instance is used by one thread at a time. Copy() shares the compiled
// pattern and the matches, which never change once made, so a copy may be
// handed to another thread while the original is released.
#include <memory>
#include <string_view>

#include "platform/text.h"

namespace velk {

class ScriptRegex {
 public:
  // Releases the matches, then the compiled pattern.
  void Destroy();
  // A new instance sharing the compiled pattern and the matches.
  ScriptRegex Copy() const;
  // Compiles `pattern`; omitted flags are true. Global: Execute and Replace
  // take every match, left to right, instead of the first only. Multiline:
  // "^" and "$" also match at line breaks. False when the pattern does not
  // compile (the instance then keeps the pattern and matches nothing).
  bool Create(std::string_view pattern, bool ignore_case = true, bool multiline = true,
              bool global = true);
  // The pattern given to Create; empty when there is none.
  Text GetPattern() const;
  // `text` with the match (or every match, when global) replaced by
  // `replacement`, in which $$, $&, $`, $' and $1 ... $99 stand for "$",
  // the match, the text before it, the text after it and a sub-match.
  Text Replace(std::string_view text, std::string_view replacement) const;
  // Runs the pattern over `text`, keeps the matches and returns their count.
  int Execute(std::string_view text);
  int GetMatchCount() const { return match_count_; }
  Text GetMatchText(int match_index) const;
  Text GetSubMatchText(int match_index, int submatch_index) const;
  // Sub-matches (parenthesised groups) of the first match; 0 without matches.
  int GetSubMatchCount() const;

  struct Compiled;
  struct Matches;

 private:
  std::shared_ptr<const Compiled> compiled_;
  std::shared_ptr<const Matches> matches_;
  int match_count_ = 0;
};

// The pattern of the news scraper's link regex: sub-match 1 is the link
// address, sub-match 2 the link text.
inline constexpr std::string_view kLinkPattern =
    R"re(<a href *= *['"]*(\S+)["'].*\>(.[^\<]*)?\</a>)re";

}  // namespace velk
