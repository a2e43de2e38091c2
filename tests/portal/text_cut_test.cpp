#include "portal/text_cut.h"

#include <gtest/gtest.h>

#include <string>

#include "portal/gbk_find.h"

namespace velk {
namespace {

struct FindCase {
  const char* name;
  std::string text;
  std::string needle;
  std::size_t from;
  bool ignore_case;
  std::size_t expected;
};

// "\xB0\x61" is one double-byte character whose second byte is "a"; "\xB0\x41"
// is another one whose second byte is "A".
TEST(FindGbk, RecognisesOccurrencesOnlyWhereACharacterBegins) {
  const FindCase cases[] = {
      {"plain", "xxabxx", "ab", 0, false, 2},
      {"from skips an earlier one", "abab", "ab", 1, false, 2},
      {"second byte of a character is not a start", "\xB0" "ab", "ab", 0, false, kNotFound},
      {"found after that character", "\xB0" "aab", "ab", 0, false, 2},
      {"a false start inside a character does not hide a later one", "\xB0" "abab", "ab", 0,
       false, 3},
      {"repeated characters whose second byte is the marker's first", "\xB0" "a\xB0" "ab", "ab",
       0, false, kNotFound},
      {"run of double-byte characters", "\xD6\xD0\xCE\xC4<p>", "<p>", 0, false, 4},
      {"marker beginning with a trail byte value", "\xD6\xD0\xD0\xCE", "\xD0\xD0", 0, false,
       kNotFound},
      {"0x80 stands alone (euro sign)", "\x80<p>", "<p>", 0, false, 1},
      {"0xFF stands alone", "\xFF<p>", "<p>", 0, false, 1},
      {"lead byte at the very end", "ab\xB0", "\xB0", 0, false, 2},
      {"lead byte without a trail byte stands alone", "\xB0<p>", "<p>", 0, false, 1},
      {"0x7F is no trail byte", "\xB0\x7F" "a", "\x7F" "a", 0, false, 1},
      {"ignore case folds A-Z", "<P>abc", "<p>", 0, true, 0},
      {"exact case does not fold", "<P>abc", "<p>", 0, false, kNotFound},
      {"ignore case leaves trail bytes exact", "\xB0\x41", "\xB0\x61", 0, true, kNotFound},
      {"ignore case: letter after a trail byte letter", "\xB0\x41P", "p", 0, true, 2},
      {"ignore case: a trail byte is not a letter", "\xB0P", "p", 0, true, kNotFound},
      {"ignore case leaves other bytes exact", "[", "{", 0, true, kNotFound},
      {"needle longer than text", "ab", "abc", 0, false, kNotFound},
      {"empty needle at from", "abc", "", 1, false, 1},
      {"empty needle on empty rest", "abc", "", 3, false, kNotFound},
      {"from beyond the end", "abc", "c", 9, false, kNotFound},
  };
  for (const FindCase& c : cases)
    EXPECT_EQ(FindGbk(c.text, c.needle, c.from, c.ignore_case), c.expected) << c.name;
}

struct CutCase {
  const char* name;
  std::string text, start, end;
  long from;
  bool ignore_case;
  std::string expected;
};

TEST(CutBetween, CutsBetweenMarkers) {
  const CutCase cases[] = {
      {"markers ignore letter case", "<P>abc</p>", "<p>", "</P>", 1, true, "abc"},
      {"exact case when asked", "<P>abc</p><p>x</P>", "<p>", "</P>", 1, false, "x"},
      {"start missing", "<p>abc</p>", "<div>", "</p>", 1, true, ""},
      {"end missing gives the rest", "<p>abc</p>", "<p>", "</div>", 1, true, "abc</p>"},
      {"empty end gives the rest", "<p>abc</p>", "<p>", "", 1, true, "abc</p>"},
      {"end right after start", "<p></p>", "<p>", "</p>", 1, true, ""},
      {"start ends the text", "abc<p>", "<p>", "</p>", 1, true, ""},
      {"start ends the text, empty end", "abc<p>", "<p>", "", 1, true, ""},
      {"end searched after start only", "</p><p>x</p>", "<p>", "</p>", 1, true, "x"},
      {"end overlapping start is not reused", "<p>x", "<p>", "p>", 1, true, "x"},
      {"first start wins", "<p>1</p><p>2</p>", "<p>", "</p>", 1, true, "1"},
      {"from picks a later start", "<p>1</p><p>2</p>", "<p>", "</p>", 4, true, "2"},
      {"from 0 counts as 1", "<p>1</p>", "<p>", "</p>", 0, true, "1"},
      {"negative from counts as 1", "<p>1</p>", "<p>", "</p>", -5, true, "1"},
      {"from beyond the end", "<p>1</p>", "<p>", "</p>", 100, true, ""},
      {"empty start: from position 1", "abc|d", "", "|", 1, true, "abc"},
      {"empty text", "", "", "", 1, true, ""},
      {"start inside a double-byte character is skipped", "\xB0" "ab1ab2|", "ab", "|", 1, false,
       "2"},
      {"end inside a double-byte character is skipped", "ab\xB0|x|", "ab", "|", 1, true,
       "\xB0|x"},
      {"GBK content", "<b>中文</b>", "<B>", "</B>", 1, true, "中文"},
  };
  for (const CutCase& c : cases)
    EXPECT_EQ(CutBetween(c.text, c.start, c.end, c.from, c.ignore_case), c.expected) << c.name;
}

TEST(CutBetween, DefaultsStartAtOneAndIgnoreCase) {
  EXPECT_EQ(CutBetween("<DIV class=\"focus\">x</LI>", "<div class=\"focus\">", "</li>"), "x");
}

TEST(CutBetween, HandlesAFiveMegabytePageOnOneLine) {
  std::string page = "<ul class=\"imgCon\">";
  page.append(5 << 20, 'x');
  const Text cut = CutBetween(page, "<UL CLASS=\"imgcon\">", "</dl>");
  EXPECT_EQ(cut.size(), std::size_t{5} << 20);
  EXPECT_EQ(CutBetween(page, "</dl>", "x"), "");
}

struct CollectCase {
  const char* name;
  std::string text, marker;
  long skip;
  std::string cut, expected;
};

TEST(CollectBlocks, SkipsSegmentsAndCutsEach) {
  const CollectCase cases[] = {
      {"no cut marker: empty lines", "xMaMbMc", "M", 2, "z", "\r\n\r\n"},
      {"skip 3", "xMaMbMc", "M", 3, "z", "\r\n"},
      {"skip 4", "xMaMbMc", "M", 4, "z", ""},
      {"skip beyond the segments", "xMaMbMc", "M", 40, "z", ""},
      {"trailing empty segment dropped", "xMa1</a>Mb2</a>M", "M", 2, "</a>", "b2\r\n"},
      {"skip 0 keeps the text before the first marker", "x1|Ma2|", "M", 0, "|", "x1\r\na2\r\n"},
      {"negative skip counts as 0", "x1|Ma2|", "M", -1, "|", "x1\r\na2\r\n"},
      {"empty segment between markers counts", "xMMb|", "M", 1, "|", "\r\nb\r\n"},
      {"cut at position 1 gives an empty line", "xM|bM", "M", 1, "|", "\r\n"},
      {"no marker: the whole text is segment 1", "ab|c", "M", 0, "|", "ab\r\n"},
      {"no marker, skip 1", "ab|c", "M", 1, "|", ""},
      {"empty text gives no segment", "", "M", 0, "|", ""},
      {"marker is case-sensitive", "xma|Mb|", "M", 1, "|", "b\r\n"},
      {"cut is case-sensitive", "xMaB|Mab|", "M", 1, "b", "\r\na\r\n"},
      {"marker inside a double-byte character does not split", "x\xB0MaMb|", "M", 1, "|",
       "b\r\n"},
      {"empty marker splits nothing", "ab|", "", 0, "|", "ab\r\n"},
      {"empty cut gives empty lines", "xMaMb", "M", 1, "", "\r\n\r\n"},
      {"multi-byte marker", "x<a class=\"tv-icon\"1</b><a class=\"tv-icon\"2</b>",
       "<a class=\"tv-icon\"", 2, "</b>", "2\r\n"},
  };
  for (const CollectCase& c : cases)
    EXPECT_EQ(CollectBlocks(c.text, c.marker, c.skip, c.cut), c.expected) << c.name;
}

TEST(CollectBlocks, AMissingCutMarkerOnAHugeBlockGivesAnEmptyLine) {
  std::string page = "headM";
  page.append(5 << 20, 'y');
  EXPECT_EQ(CollectBlocks(page, "M", 1, "</a>"), "\r\n");
}

struct KeepCase {
  const char* name;
  std::string value;
  std::size_t limit;
  std::string expected;
};

TEST(KeepLastBytes, KeepsTheEndWithoutSplittingACharacter) {
  const std::string chinese_200 = [] {
    std::string s;
    for (int i = 0; i < 200; ++i) s += "中";
    return s;
  }();
  const KeepCase cases[] = {
      {"shorter is kept whole", "abc", 400, "abc"},
      {"exactly the limit", std::string(400, 'a'), 400, std::string(400, 'a')},
      {"one over", "b" + std::string(400, 'a'), 400, std::string(400, 'a')},
      {"double-byte boundary falls on the cut", "a" + chinese_200, 400, chinese_200},
      {"cut would split a character", chinese_200 + "a", 400, chinese_200.substr(2) + "a"},
      {"small limit", "ab中", 2, "中"},
      {"empty", "", 400, ""},
  };
  for (const KeepCase& c : cases)
    EXPECT_EQ(KeepLastBytes(c.value, c.limit), c.expected) << c.name;
  EXPECT_EQ(kKeptValueBytes, 400u);
}

}  // namespace
}  // namespace velk
