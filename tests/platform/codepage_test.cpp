#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace velk {
namespace {

std::string utf8(std::u8string_view s) { return std::string(s.begin(), s.end()); }

// Characters that convert both ways without loss. GBK literals are GBK
// bytes in this program; u8 and u literals stay UTF-8 and UTF-16.
struct RoundTrip {
  const char* name;
  std::string gbk;
  std::string utf8;
  std::u16string utf16;
};

const RoundTrip kRoundTrips[] = {
    {"empty", "", "", u""},
    {"ascii", "http://a.b/c?d=1&e", "http://a.b/c?d=1&e", u"http://a.b/c?d=1&e"},
    {"chinese", "中文", utf8(u8"中文"), u"中文"},
    {"chinese literal is gbk", "\xD6\xD0\xCE\xC4", utf8(u8"中文"), u"中文"},
    {"euro sign at 0x80", "\x80", utf8(u8"€"), u"€"},
    {"embedded zero byte kept", std::string("a\0中", 4), utf8(u8"a") + '\0' + utf8(u8"中"), std::u16string(u"a\0中", 3)},
    {"second byte 0x5C", "\x81\x5C", utf8(u8"乗"), u"乗"},
    {"mixed with full-width punctuation", "你想找什么？", utf8(u8"你想找什么？"), u"你想找什么？"},
};

TEST(CodePage, RoundTrips) {
  for (const RoundTrip& c : kRoundTrips) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(gbk_to_utf8(c.gbk), c.utf8);
    EXPECT_EQ(utf8_to_gbk(c.utf8), c.gbk);
    EXPECT_EQ(gbk_to_utf16(c.gbk), c.utf16);
    EXPECT_EQ(utf16_to_gbk(c.utf16), c.gbk);
    EXPECT_EQ(utf8_to_utf16(c.utf8), c.utf16);
    EXPECT_EQ(utf16_to_utf8(c.utf16), c.utf8);
  }
}

struct ToGbk {
  const char* name;
  std::string utf8;
  std::string gbk;
};

const ToGbk kToGbk[] = {
    {"emoji outside gbk", utf8(u8"a😀b"), "a?b"},
    {"character outside gbk", utf8(u8"\u0E01"), "?"},
    {"lone invalid byte", "a\xFF" "b", "a?b"},
    {"lone continuation byte", "\x80", "?"},
    {"truncated sequence at end", "a\xE4\xB8", "a?"},
    {"truncated sequence before ascii", "\xE4\xB8" "b", "?b"},
    {"overlong slash", "\xC0\xAF", "??"},
    {"encoded surrogate", "\xED\xA0\x80", "???"},
    {"past U+10FFFF", "\xF4\x90\x80\x80", "????"},
    {"valid after invalid", "\xFF" + utf8(u8"中"), "?中"},
};

TEST(CodePage, Utf8ToGbkSubstitutesQuestionMarks) {
  for (const ToGbk& c : kToGbk) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(utf8_to_gbk(c.utf8), c.gbk);
  }
}

struct FromGbk {
  const char* name;
  std::string gbk;
  std::string utf8;
};

const FromGbk kFromGbk[] = {
    {"0xFF is no gbk byte", "a\xFF" "b", utf8(u8"a\uFFFDb")},
    {"lead byte at end", "a\x81", utf8(u8"a\uFFFD")},
    {"lead byte before a blank", "\x81 b", utf8(u8"\uFFFD b")},
    {"character after a bad byte", "\xFF" "中", utf8(u8"\uFFFD中")},
};

TEST(CodePage, GbkToUtf8SubstitutesReplacementCharacters) {
  for (const FromGbk& c : kFromGbk) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(gbk_to_utf8(c.gbk), c.utf8);
  }
}

TEST(CodePage, Utf16EdgeCases) {
  // Macro arguments are spelt out as GBK text, which has no emoji.
  const std::string emoji_utf8 = utf8(u8"😀");
  const std::u16string emoji_utf16 = u"😀";  // a surrogate pair
  EXPECT_EQ(utf8_to_utf16(emoji_utf8), emoji_utf16);
  EXPECT_EQ(utf16_to_utf8(emoji_utf16), emoji_utf8);
  EXPECT_EQ(utf16_to_utf8(std::u16string(1, char16_t(0xD800))), utf8(u8"\uFFFD"));
  EXPECT_EQ(utf16_to_gbk(std::u16string{u'a', char16_t(0xDC00), u'b'}), "a?b");
  EXPECT_EQ(utf8_to_utf16("\xFF"), u"\uFFFD");
  EXPECT_EQ(utf16_to_gbk(emoji_utf16), "?");
}

// Longer than the converters' internal buffers, so they must resume.
TEST(CodePage, LongTextsConvertWhole) {
  std::string gbk;
  std::string expected_utf8;
  for (int i = 0; i < 5000; ++i) {
    gbk += "中a";
    expected_utf8 += utf8(u8"中a");
  }
  gbk += "\xFF";
  expected_utf8 += utf8(u8"\uFFFD");
  EXPECT_EQ(gbk_to_utf8(gbk), expected_utf8);
  std::string emoji_run;
  for (int i = 0; i < 3000; ++i) emoji_run += utf8(u8"😀中");
  std::string expected_gbk;
  for (int i = 0; i < 3000; ++i) expected_gbk += "?中";
  EXPECT_EQ(utf8_to_gbk(emoji_run), expected_gbk);
}

TEST(CodePage, ConvertsOnManyThreadsAtOnce) {
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &failures] {
      for (int i = 0; i < 500; ++i) {
        if (utf8_to_gbk(gbk_to_utf8("你想找什么？\x80")) != "你想找什么？\x80") ++failures[t];
        if (utf8_to_gbk(utf8(u8"\U0001F600")) != "?") ++failures[t];
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (int f : failures) EXPECT_EQ(f, 0);
}

}  // namespace
}  // namespace velk
