// The pure parts of the search: the query encoder, the marker cut, the
// splitting of a reply, the query addresses and the engine read back from a
// picture.
#include <gtest/gtest.h>

#include <set>

#include "art/main_window.h"
#include "search/engines.h"
#include "search/suggestions.h"

namespace velk {
namespace {

TEST(PercentEncodeUtf8, EscapesEveryByteOfTheUtf8Form) {
  const struct {
    Text gbk;
    Text expected;
  } cases[] = {
      {"abc", "%61%62%63"},
      {"中", "%E4%B8%AD"},
      {"", ""},
      {"a b&%", "%61%20%62%26%25"},
      {"09~", "%30%39%7E"},
      {"你想", "%E4%BD%A0%E6%83%B3"},
      {"\x80", "%E2%82%AC"},  // 0x80 is the euro sign in code page 936
  };
  for (const auto& c : cases) EXPECT_EQ(PercentEncodeUtf8(c.gbk), c.expected) << c.gbk;
}

TEST(TextBetween, FirstStartThenNextEnd) {
  const struct {
    Text text, start, end, expected;
  } cases[] = {
      {"xx[abc]yy", "[", "]", "abc"},
      {"xx[]yy", "[", "]", ""},                  // empty stretch
      {"xx abc]yy", "[", "]", ""},               // no start marker
      {"xx[abc yy", "[", "]", ""},               // no end marker
      {"]x[a]b[c]", "[", "]", "a"},              // an end before the start does not count
      {"<A HREF=x>t</a>", "href=", ">", "x"},     // letter case ignored
      {"S:[\"q\"]})", "s:[\"", "\"]})", "q"},    // the suggestion markers, upper case
      {"a#b", "#引号", "b", ""},                 // the token stands for a quote
      {"a\"x\"b", "#引号", "#引号", "x"},
      {"中文中文", "中", "中", "文"},
      // "中" is D6 D0 and "文" is CE C4: D0 CE across the two is no character.
      {"中文[x]", "\xD0\xCE", "]", ""},
      // The same bytes as a character of their own are found, past the false one.
      {"中文\xD0\xCEok]", "\xD0\xCE", "]", "ok"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TextBetween(c.text, c.start, c.end), c.expected) << c.text << " | " << c.start;
}

TEST(SplitSuggestions, EmptyItemsBeforeASeparatorStayATrailingEmptyPartGoes) {
  const struct {
    Text stretch;
    std::vector<Text> expected;
  } cases[] = {
      {"abc\",\"abd", {"abc", "abd"}},
      {"one", {"one"}},
      {"", {}},
      {"\",\"", {""}},                      // one empty item, the trailing part dropped
      {"\",\"\",\"x", {"", "", "x"}},
      {"a\",\"", {"a"}},
      {"a\",\"\",\"", {"a", ""}},
      {"say \\\"hi\\\"\",\"b", {"say \\\"hi\\\"", "b"}},  // escapes left as they are
      {"中\",\"文", {"中", "文"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitSuggestions(c.stretch), c.expected) << c.stretch;
}

TEST(SuggestionsInReply, CutsTheListOutOfTheScript) {
  const struct {
    Text reply;
    std::vector<Text> expected;
  } cases[] = {
      {"window.baidu.sug({q:\"ab\",p:false,s:[\"abc\",\"abd\"]});", {"abc", "abd"}},
      {"window.baidu.sug({q:\"ab\",p:false,s:[]});", {}},  // an empty list holds no start marker
      {"<html><body>502 Bad Gateway</body></html>", {}},
      {"", {}},
      {"s:[\"a\"]", {}},  // cut short before the end marker
  };
  for (const auto& c : cases) EXPECT_EQ(SuggestionsInReply(c.reply), c.expected) << c.reply;
}

TEST(QueryUrl, FixedTextAndTheQueryUntouched) {
  const Text baidu = QueryUrl(Engine::Baidu, "");
  EXPECT_EQ(baidu.substr(baidu.size() - 6), "/s?wd=");
  const struct {
    Engine engine;
    Text query;
    std::string_view path;
  } cases[] = {
      {Engine::Baidu, "a&b c", "/s?wd="},
      {Engine::Sogou, "中 #%", "/sogou?query="},
      {Engine::Taobao, "x",
       "/search?&stats_click=search_radio_all%253A1&js=1&initiative_id=staobaoz_20140824&q="},
  };
  for (const auto& c : cases) {
    const Text url = QueryUrl(c.engine, c.query);
    EXPECT_EQ(url.substr(url.size() - c.path.size() - c.query.size()), Text(c.path) + c.query);
    EXPECT_EQ(url.rfind("http", 0), 0u) << url;
  }
}

TEST(EngineFromPicture, SameLengthAndSameBytes) {
  const EngineLogos& small = SmallEngineLogos();
  EXPECT_EQ(EngineFromPicture(small.baidu, small), Engine::Baidu);
  EXPECT_EQ(EngineFromPicture(small.sogou, small), Engine::Sogou);
  EXPECT_EQ(EngineFromPicture(small.taobao, small), Engine::Taobao);
  EXPECT_EQ(EngineFromPicture("", small), std::nullopt);
  const Text shorter(small.sogou.substr(0, small.sogou.size() - 1));
  EXPECT_EQ(EngineFromPicture(shorter, small), std::nullopt);
  Text changed(small.taobao);
  changed[changed.size() / 2] ^= 1;
  EXPECT_EQ(EngineFromPicture(changed, small), std::nullopt);
  EXPECT_EQ(EngineFromPicture(small.baidu, WideEngineLogos()), std::nullopt) << "each window its own set";
  EXPECT_EQ(EngineFromPicture(WideEngineLogos().taobao, WideEngineLogos()), Engine::Taobao);
  // Six different pictures, or the read-back could not tell them apart.
  std::set<std::string_view> all{small.baidu, small.sogou, small.taobao, WideEngineLogos().baidu,
                                 WideEngineLogos().sogou, WideEngineLogos().taobao};
  EXPECT_EQ(all.size(), 6u);
}

}  // namespace
}  // namespace velk
