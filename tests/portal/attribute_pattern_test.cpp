#include "portal/attribute_pattern.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "portal/scraper_patterns.h"

namespace velk {
namespace {

struct SubMatchCase {
  const char* name;
  std::string_view pattern;
  std::string text;
  std::string expected;
};

TEST(FirstSubMatch, TakesGroupOneOfTheFirstMatch) {
  const SubMatchCase cases[] = {
      {"first attribute, not data-src", kSrcPattern, "<img src=\"a.jpg\" data-src=\"b.jpg\">",
       "a.jpg"},
      {"lazy: stops at the first quote", kHrefPattern, "<a href=\"/v/1\" title=\"t\">", "/v/1"},
      {"dot matches a line break", kTitlePattern, "title=\"two\r\nlines\"", "two\r\nlines"},
      {"case-sensitive", kSrcPattern, "<IMG SRC=\"a.jpg\">", ""},
      {"no match", kTitlePattern, "<a href=\"x\">", ""},
      {"no closing quote", kSrcPattern, "<img src=\"a.jpg", ""},
      {"empty value", kHrefPattern, "href=\"\"", ""},
      {"GBK title", kTitlePattern, "<a title=\"热播剧\">", "热播剧"},
      {"group that took no part", "a(x)?b", "ab", ""},
      {"pattern without a group", "src", "src=\"a\"", ""},
  };
  for (const SubMatchCase& c : cases) {
    AttributePattern pattern;
    ASSERT_TRUE(pattern.Compile(c.pattern)) << c.name;
    EXPECT_EQ(FirstSubMatch(pattern, c.text), c.expected) << c.name;
  }
}

TEST(FirstSubMatch, UncompiledOrInvalidPatternGivesEmpty) {
  AttributePattern pattern;
  EXPECT_EQ(FirstSubMatch(pattern, "src=\"a\""), "");
  EXPECT_FALSE(pattern.Compile("src=\"(.*?\""));
  EXPECT_FALSE(pattern.IsCompiled());
  EXPECT_EQ(FirstSubMatch(pattern, "src=\"a\""), "");
}

TEST(FirstSubMatch, EngineGivingUpOnAHostileTextGivesEmpty) {
  AttributePattern pattern;
  ASSERT_TRUE(pattern.Compile("(a*)*(x+x+)*b(c)"));
  EXPECT_EQ(FirstSubMatch(pattern, std::string(5000, 'a')), "");
}

TEST(FirstSubMatch, FindsAValueAtTheEndOfAFiveMegabyteLine) {
  AttributePattern pattern;
  ASSERT_TRUE(pattern.Compile(kSrcPattern));
  std::string page(5 << 20, 'x');
  page += "<img src=\"end.jpg\">";
  EXPECT_EQ(FirstSubMatch(pattern, page), "end.jpg");
  page.replace(page.size() - 2, 1, "!");  // remove the closing quote
  EXPECT_EQ(FirstSubMatch(pattern, page), "");
}

TEST(ScraperPatterns, CompileTheFourPatternsAndCopiesOutliveTheRelease) {
  ScraperPatterns patterns;
  EXPECT_EQ(patterns.link_regex.Execute("<a href=\"x\">t</a>"), 0);
  EXPECT_TRUE(CompileLinkRegex(patterns));
  EXPECT_TRUE(CompileAttributePatterns(patterns));
  EXPECT_EQ(patterns.link_regex.GetPattern(), kLinkPattern);

  // A worker takes copies; the exit path releases the originals meanwhile.
  ScriptRegex link = patterns.link_regex.Copy();
  AttributePattern src = patterns.src_pattern, href = patterns.href_pattern,
                   title = patterns.title_pattern;
  std::string link_address, picture, address, caption;
  std::thread worker([&] {
    link.Execute("<a href=\"/n/1.html\">t</a>");
    link_address = link.GetSubMatchText(1, 1);
    const std::string block = "<a href=\"/v\" title=\"T\"><img src=\"p.jpg\"></a>";
    picture = FirstSubMatch(src, block);
    address = FirstSubMatch(href, block);
    caption = FirstSubMatch(title, block);
  });
  ReleaseScraperPatterns(patterns);
  worker.join();
  EXPECT_EQ(link_address, "/n/1.html");
  EXPECT_EQ(picture, "p.jpg");
  EXPECT_EQ(address, "/v");
  EXPECT_EQ(caption, "T");
  EXPECT_EQ(patterns.link_regex.GetPattern(), "");
  EXPECT_FALSE(patterns.src_pattern.IsCompiled());
}

}  // namespace
}  // namespace velk
