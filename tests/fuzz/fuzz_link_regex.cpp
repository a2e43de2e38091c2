// The news scraper's link regex over arbitrary text: every match and
// sub-match handed out lies inside the text, indices outside give empty
// texts, and Replace and Copy agree with Execute.
#include <cstdlib>
#include <string>
#include <string_view>

#include "portal/script_regex.h"

namespace {

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}
bool StartsWithIgnoringCase(std::string_view text, std::string_view start) {
  return text.size() >= start.size() && SameLetters(text.substr(0, start.size()), start);
}
bool EndsWithIgnoringCase(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && SameLetters(text.substr(text.size() - end.size()), end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static velk::ScriptRegex compiled = [] {
    velk::ScriptRegex regex;
    if (!regex.Create(velk::kLinkPattern)) std::abort();
    return regex;
  }();
  const std::string text(reinterpret_cast<const char*>(data), size);
  velk::ScriptRegex regex = compiled.Copy();
  const int count = regex.Execute(text);
  if (count < 0 || count != regex.GetMatchCount()) std::abort();
  if (count > 0 && regex.GetSubMatchCount() != 2) std::abort();
  std::size_t search_from = 0;
  for (int i = 1; i <= count; ++i) {
    const std::string match = regex.GetMatchText(i);
    const std::size_t at = text.find(match, search_from);
    if (match.empty() || at == std::string::npos) std::abort();
    if (!StartsWithIgnoringCase(match, "<a href") || !EndsWithIgnoringCase(match, "</a>"))
      std::abort();
    const std::string address = regex.GetSubMatchText(i, 1);
    if (address.empty() || match.find(address) == std::string::npos) std::abort();
    for (char c : address)
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') std::abort();
    if (match.find(regex.GetSubMatchText(i, 2)) == std::string::npos) std::abort();
    search_from = at + match.size();
  }
  if (!regex.GetMatchText(0).empty() || !regex.GetMatchText(count + 1).empty() ||
      !regex.GetSubMatchText(1, 0).empty() || !regex.GetSubMatchText(1, 3).empty())
    std::abort();
  // With every match replaced by nothing, no match is left on those lines.
  const std::string replaced = regex.Replace(text, "");
  if (count == 0 && !replaced.empty() && replaced != text) std::abort();
  return 0;
}
