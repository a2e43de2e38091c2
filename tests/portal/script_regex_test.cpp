#include "portal/script_regex.h"

#include <gtest/gtest.h>

#include <string>

namespace velk {
namespace {

class LinkRegexTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(regex.Create(kLinkPattern)); }
  ScriptRegex regex;
};

struct LinkCase {
  const char* name;
  std::string text;
  int matches;
  std::string address;  // sub-match 1 of match 1
  std::string caption;  // sub-match 2 of match 1
};

TEST_F(LinkRegexTest, PicksAddressAndTextOutOfAnchors) {
  const LinkCase cases[] = {
      {"news anchor", "<a href=\"/n/1.html\" target=\"_blank\">某标题</a>", 1, "/n/1.html",
       "某标题"},
      {"upper case and single quotes", "<A HREF='x.htm'>t</A>", 1, "x.htm", "t"},
      {"blanks around =", "<a href = \"y\">t</a>", 1, "y", "t"},
      {"no quotes before the address", "<a href=z\">t</a>", 1, "z", "t"},
      {"empty anchor text", "<a href=\"/x\"></a>", 1, "/x", ""},
      {"text after the last > only", "<a href=\"/x\"><b>bold</a>", 1, "/x", "bold"},
      {"inside a block", "<li class=\"hdline0\"><a href=\"/h\">头条</a></li>", 1, "/h", "头条"},
      {"no anchor", "<div>nothing</div>", 0, "", ""},
      {"anchor without closing tag", "<a href=\"/x\">t", 0, "", ""},
      {"anchor split over lines does not match", "<a href=\"/x\">\r\nt</a>", 0, "", ""},
      {"but the text after its first character may cross a line break",
       "<a href=\"/x\">a\r\nt</a>", 1, "/x", "a\r\nt"},
      {"greedy: one match per line", "<a href=\"/1\" >a</a><a href=\"/2\" >b</a>", 1, "/1", "b"},
      {"the address ends at the first quote before a blank", "<a href=\"/1\">a</a><a href=\"/2\">b</a>",
       1, "/1", "b"},
      {"an address with no blank after it runs to the last quote", "<a href=\"/1\"title=\"t\">a</a>",
       1, "/1\"title=\"t", "a"},
      {"one match per line, two lines", "<a href=\"/1\">a</a>\r\n<a href=\"/2\">b</a>", 2, "/1",
       "a"},
      {"empty text", "", 0, "", ""},
  };
  for (const LinkCase& c : cases) {
    EXPECT_EQ(regex.Execute(c.text), c.matches) << c.name;
    EXPECT_EQ(regex.GetMatchCount(), c.matches) << c.name;
    EXPECT_EQ(regex.GetSubMatchText(1, 1), c.address) << c.name;
    EXPECT_EQ(regex.GetSubMatchText(1, 2), c.caption) << c.name;
    EXPECT_EQ(regex.GetSubMatchCount(), c.matches ? 2 : 0) << c.name;
  }
}

TEST_F(LinkRegexTest, IndicesAreOneBasedAndOutOfRangeGivesEmpty) {
  ASSERT_EQ(regex.Execute("<a href=\"/1\">a</a>\r\n<a href=\"/2\">b</a>"), 2);
  EXPECT_EQ(regex.GetMatchText(1), "<a href=\"/1\">a</a>");
  EXPECT_EQ(regex.GetMatchText(2), "<a href=\"/2\">b</a>");
  EXPECT_EQ(regex.GetSubMatchText(2, 1), "/2");
  EXPECT_EQ(regex.GetSubMatchText(2, 2), "b");
  EXPECT_EQ(regex.GetMatchText(0), "");
  EXPECT_EQ(regex.GetMatchText(3), "");
  EXPECT_EQ(regex.GetMatchText(-1), "");
  EXPECT_EQ(regex.GetSubMatchText(1, 0), "");
  EXPECT_EQ(regex.GetSubMatchText(1, 3), "");
  EXPECT_EQ(regex.GetSubMatchText(0, 1), "");
  EXPECT_EQ(regex.GetSubMatchText(3, 1), "");
}

TEST_F(LinkRegexTest, ANewExecuteReplacesTheMatches) {
  ASSERT_EQ(regex.Execute("<a href=\"/1\">a</a>"), 1);
  EXPECT_EQ(regex.Execute("no link"), 0);
  EXPECT_EQ(regex.GetSubMatchText(1, 1), "");
  EXPECT_EQ(regex.GetSubMatchCount(), 0);
}

TEST_F(LinkRegexTest, HostilePagesEndWithoutCrashOrHang) {
  // Many anchors that never close, on one 5 MB line: every start makes
  // ".*" run to the end of the line and back.
  std::string unclosed;
  while (unclosed.size() < (5u << 20)) unclosed += "<a href=\"/x\" class=\"c\">title ";
  EXPECT_EQ(regex.Execute(unclosed), 0);
  EXPECT_EQ(regex.GetSubMatchText(1, 1), "");

  // One good anchor at the end of the same line is still found, or the
  // engine gives up; either way the result is consistent.
  const int found = regex.Execute(unclosed + "<a href=\"/end\">end</a>");
  EXPECT_EQ(regex.GetSubMatchText(1, 1), found ? "/x" : "");
  EXPECT_EQ(regex.GetSubMatchText(1, 2), found ? "end" : "");
}

TEST(ScriptRegex, EngineGivingUpGivesEmptyResults) {
  ScriptRegex regex;
  ASSERT_TRUE(regex.Create("(a+)+b"));
  ASSERT_EQ(regex.Execute("aab"), 1);
  // Catastrophic backtracking: the match limit stops it.
  const std::string hostile = std::string(40, 'a') + "!b";
  EXPECT_EQ(regex.Execute(hostile), 0);
  EXPECT_EQ(regex.GetMatchText(1), "");
  EXPECT_EQ(regex.Replace(hostile, "x"), "");
}

TEST(ScriptRegex, WithoutAPatternEverythingIsEmpty) {
  ScriptRegex regex;
  EXPECT_EQ(regex.GetPattern(), "");
  EXPECT_EQ(regex.Execute("abc"), 0);
  EXPECT_EQ(regex.GetMatchCount(), 0);
  EXPECT_EQ(regex.GetMatchText(1), "");
  EXPECT_EQ(regex.GetSubMatchCount(), 0);
  EXPECT_EQ(regex.Replace("abc", "x"), "");
  EXPECT_EQ(regex.Copy().Execute("abc"), 0);

  ASSERT_TRUE(regex.Create("b"));
  ASSERT_EQ(regex.Execute("abc"), 1);
  regex.Destroy();
  EXPECT_EQ(regex.GetPattern(), "");
  EXPECT_EQ(regex.GetMatchCount(), 0);
  EXPECT_EQ(regex.GetMatchText(1), "");
  EXPECT_EQ(regex.Execute("abc"), 0);
}

TEST(ScriptRegex, APatternThatDoesNotCompileMatchesNothingAndStaysUsable) {
  ScriptRegex regex;
  EXPECT_FALSE(regex.Create("(unclosed"));
  EXPECT_EQ(regex.GetPattern(), "(unclosed");
  EXPECT_EQ(regex.Execute("(unclosed"), 0);
  EXPECT_EQ(regex.Replace("abc", "x"), "");
  EXPECT_TRUE(regex.Create("c"));
  EXPECT_EQ(regex.Execute("abc"), 1);
}

struct FlagCase {
  const char* name;
  std::string pattern;
  bool ignore_case, multiline, global;
  std::string text;
  int matches;
};

TEST(ScriptRegex, FlagsDefaultToTrueAndEachChangesItsOwnRule) {
  const FlagCase cases[] = {
      {"ignore case", "abc", true, true, true, "xABCx", 1},
      {"case-sensitive", "abc", false, true, true, "xABCx", 0},
      {"ignore case is for letters only", "\\[", true, true, true, "{", 0},
      {"multiline ^", "^b", true, true, true, "a\nb", 1},
      {"single-line ^", "^b", true, false, true, "a\nb", 0},
      {"multiline $ before CR LF", "a$", true, true, true, "a\r\nb", 1},
      {"single-line $ only at the very end", "a$", true, false, true, "a\n", 0},
      {"global takes every match", "a", true, true, true, "aXaXa", 3},
      {"non-global takes the first", "a", true, true, false, "aXaXa", 1},
      {"dot stops at LF", "a.b", true, true, true, "a\nb", 0},
      {"dot stops at CR", "a.b", true, true, true, "a\rb", 0},
      {"empty matches advance by a character", "x*", true, true, true, "中a", 3},
      {"\\< and \\> are plain < and >", "\\<b\\>", true, true, true, "<b> b", 1},
      {"\\S", "\\S+", true, true, true, "ab cd", 2},
      {"lazy repetition", "<.*?>", true, true, true, "<a><b>", 2},
      {"empty class matches nothing", "a[]", true, true, true, "a]", 0},
  };
  for (const FlagCase& c : cases) {
    ScriptRegex regex;
    ASSERT_TRUE(regex.Create(c.pattern, c.ignore_case, c.multiline, c.global)) << c.name;
    EXPECT_EQ(regex.Execute(c.text), c.matches) << c.name;
  }
  ScriptRegex defaults;
  ASSERT_TRUE(defaults.Create("^A"));
  EXPECT_EQ(defaults.Execute("x\na\na"), 2) << "all three flags on by default";
}

struct ReplaceCase {
  const char* name;
  std::string pattern;
  bool global;
  std::string text, replacement, expected;
};

TEST(ScriptRegex, ReplaceUsesScriptReplacementForms) {
  const ReplaceCase cases[] = {
      {"every match", "o", true, "foo boo", "0", "f00 b00"},
      {"first match only", "o", false, "foo boo", "0", "f0o boo"},
      {"no match leaves the text", "z", true, "abc", "x", "abc"},
      {"groups", "(\\w+)@(\\w+)", true, "me@host", "$2 at $1", "host at me"},
      {"whole match and dollar", "b", true, "abc", "[$&$$]", "a[b$]c"},
      {"before and after", "b", true, "abc", "<$`|$'>", "a<a|c>c"},
      {"unknown group number stays literal", "(b)", true, "abc", "$2$1", "a$2bc"},
      {"two-digit group falls back to one digit", "(b)", true, "abc", "$10", "ab0c"},
      {"group that took no part is empty", "a(x)?", true, "ab", "[$1]", "[]b"},
      {"empty matches", "x*", true, "ab", "-", "-a-b-"},
      {"trailing dollar", "b", true, "abc", "$", "a$c"},
  };
  for (const ReplaceCase& c : cases) {
    ScriptRegex regex;
    ASSERT_TRUE(regex.Create(c.pattern, true, true, c.global)) << c.name;
    EXPECT_EQ(regex.Replace(c.text, c.replacement), c.expected) << c.name;
  }
}

TEST(ScriptRegex, CopySharesPatternAndMatchesAndOutlivesTheOriginal) {
  ScriptRegex original;
  ASSERT_TRUE(original.Create(kLinkPattern));
  ASSERT_EQ(original.Execute("<a href=\"/1\">one</a>"), 1);
  ScriptRegex copy = original.Copy();
  EXPECT_EQ(copy.GetMatchCount(), 1);
  EXPECT_EQ(copy.GetSubMatchText(1, 2), "one");
  EXPECT_EQ(copy.GetPattern(), kLinkPattern);

  original.Execute("<a href=\"/2\">two</a>");
  EXPECT_EQ(copy.GetSubMatchText(1, 2), "one") << "the copy keeps its matches";
  original.Destroy();
  EXPECT_EQ(copy.GetSubMatchText(1, 1), "/1");
  EXPECT_EQ(copy.Execute("<a href=\"/3\">three</a>"), 1) << "the copy keeps the pattern";
  EXPECT_EQ(copy.GetSubMatchText(1, 2), "three");
}

}  // namespace
}  // namespace velk
