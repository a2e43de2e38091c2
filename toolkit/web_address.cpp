#include "toolkit/web_address.h"

#include <string_view>

#include "platform/codepage.h"

namespace velk::tk {

namespace {

bool is_blank_or_control(unsigned char c) { return c <= 0x20 || c == 0x7F; }

bool is_alpha(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }

// Blanks before an address go, as a browser's address bar drops them; blanks
// at its end go too, except in a query, where they are part of what is
// searched for ("abc " is not "abc").
std::string_view trimmed(std::string_view s) {
  while (!s.empty() && is_blank_or_control(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  if (s.find_first_of("?#") != std::string_view::npos) return s;
  while (!s.empty() && is_blank_or_control(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// The scheme the text begins with (without the colon), or empty. "host:port"
// is no scheme: what follows its colon is a port number.
std::string_view scheme_of(std::string_view s) {
  if (s.empty() || !is_alpha(static_cast<unsigned char>(s[0]))) return {};
  size_t i = 1;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (!is_alpha(c) && !is_digit(c) && c != '+' && c != '-' && c != '.') break;
    ++i;
  }
  if (i >= s.size() || s[i] != ':') return {};
  size_t j = i + 1;
  while (j < s.size() && is_digit(static_cast<unsigned char>(s[j]))) ++j;
  bool port = j > i + 1 && (j == s.size() || s[j] == '/' || s[j] == '?' || s[j] == '#');
  if (port) return {};
  return s.substr(0, i);
}

bool equals_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string percent_escaped(std::string_view utf8) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(utf8.size());
  for (char ch : utf8) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 0x80 || is_blank_or_control(c)) {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 0xF]);
    } else {
      out.push_back(ch);
    }
  }
  return out;
}

}  // namespace

std::string web_address_for_engine(const Text& gbk) {
  std::string utf8 = gbk_to_utf8(gbk);
  std::string_view text = trimmed(utf8);
  if (text.empty()) return "about:invalid";
  std::string_view scheme = scheme_of(text);
  if (equals_ignoring_case(scheme, "javascript")) return "about:blocked";
  if (!scheme.empty()) return percent_escaped(text);
  if (text.substr(0, 2) == "//") return "http:" + percent_escaped(text);
  if (text.front() == '/') return "file://" + percent_escaped(text);
  return "http://" + percent_escaped(text);
}

}  // namespace velk::tk
