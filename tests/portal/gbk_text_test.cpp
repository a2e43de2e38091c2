#include "portal/gbk_text.h"

#include <gtest/gtest.h>

#include <string>

namespace velk {
namespace {

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

struct ConvertCase {
  const char* name;
  std::string utf8;
  std::string expected_gbk;  // string literals of this file are GBK
};

TEST(Utf8ToGbk, ConvertsComposesAndSubstitutes) {
  const ConvertCase cases[] = {
      {"empty", "", ""},
      {"ASCII unchanged", "<a href=\"x\">", "<a href=\"x\">"},
      {"Chinese", Utf8(u8"中文"), "中文"},
      {"euro sign is the single byte 0x80", Utf8(u8"€"), "\x80"},
      {"extended GBK ideograph", Utf8(u8"丂"), "\x81\x40"},
      {"emoji outside GBK", Utf8(u8"a\U0001F600b"), "a?b"},
      {"BMP character outside GBK", Utf8(u8"ć"), "?"},
      {"e + combining acute composes", Utf8(u8"e\u0301"), "é"},
      {"u + diaeresis composes", Utf8(u8"lu\u0308"), "lü"},
      {"two marks compose step by step", Utf8(u8"u\u0308\u0300"), "ǜ"},
      {"kana + voiced mark composes", Utf8(u8"か\u3099"), "が"},
      {"no precomposed form in GBK: mark becomes ?", Utf8(u8"c\u0301"), "c?"},
      {"precomposed outside GBK is not made", Utf8(u8"q\u0301"), "q?"},
      {"mark after a substituted character", Utf8(u8"?\u0301"), "??"},
      {"invalid lead byte", "a\xFF" "b", "a?b"},
      {"truncated sequence is one ?", "a\xE4\xB8", "a?"},
      {"truncated sequence before ASCII", "\xE4\xB8z", "?z"},
      {"overlong zero is two ?", "\xC0\x80", "??"},
      {"encoded surrogate", "\xED\xA0\x80", "???"},
      {"lone continuation byte", "\x80x", "?x"},
      {"cut at the first zero byte", std::string("ab\0cd", 5), "ab"},
  };
  for (const ConvertCase& c : cases) EXPECT_EQ(Utf8ToGbk(c.utf8), c.expected_gbk) << c.name;
}

TEST(Utf8ToGbk, ConvertsALongPageWhole) {
  std::string page;
  std::string expected;
  for (int i = 0; i < 200000; ++i) {
    page += Utf8(u8"<li>新闻</li>\r\n");
    expected += "<li>新闻</li>\r\n";
  }
  EXPECT_EQ(Utf8ToGbk(page), expected);
}

}  // namespace
}  // namespace velk
