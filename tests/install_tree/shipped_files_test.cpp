// The settings files and tile pictures laid down beside Velk, read from the
// source tree as they are shipped. Literals here are GBK, like the files.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::string install_tree_path(std::u8string_view relative) {
  const char* source = std::getenv("VELK_SOURCE_DIR");
  EXPECT_NE(source, nullptr) << "VELK_SOURCE_DIR is not set";
  std::string path = source ? source : ".";
  path += "/install-tree/";
  // File names on disk are UTF-8 whatever the execution character set.
  path.append(reinterpret_cast<const char*>(relative.data()), relative.size());
  return path;
}

std::string read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot open " << path;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Splits an INI file into lines, failing the test on a bare CR or LF or on
// a last line without its CRLF.
std::vector<std::string> crlf_lines(const std::string& bytes, const std::string& name) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r') {
      if (i + 1 >= bytes.size() || bytes[i + 1] != '\n') {
        ADD_FAILURE() << name << ": CR without LF at byte " << i;
        continue;
      }
      lines.push_back(line);
      line.clear();
      ++i;
    } else if (c == '\n') {
      ADD_FAILURE() << name << ": LF without CR at byte " << i;
    } else {
      line += c;
    }
  }
  EXPECT_TRUE(line.empty()) << name << ": last line has no CRLF: " << line;
  return lines;
}

// "key=value" with no blanks around "=", split at the first "=".
void expect_entry(const std::string& line, std::string_view key, std::string* value) {
  const size_t eq = line.find('=');
  ASSERT_NE(eq, std::string::npos) << "no '=' in " << line;
  EXPECT_EQ(line.substr(0, eq), key);
  *value = line.substr(eq + 1);
  EXPECT_FALSE(value->empty()) << line;
  EXPECT_NE(line[eq - 1], ' ') << line;
  if (!value->empty()) {
    EXPECT_NE(value->front(), ' ') << line;
  }
}

void expect_home_page(const std::string& address) {
  EXPECT_EQ(address.rfind("http://", 0), 0u) << address;
  EXPECT_GT(address.size(), std::string("http://x/").size() - 1) << address;
  EXPECT_EQ(address.back(), '/') << address;
  EXPECT_EQ(address.find(' '), std::string::npos) << address;
}

TEST(ShippedFiles, TilePicturesAreGif89aOf120x73) {
  for (int n = 1; n <= 12; ++n) {
    std::u8string name = u8"icon/标签";
    for (char c : std::to_string(n)) name += static_cast<char8_t>(c);
    name += u8".gif";
    const std::string gif = read_bytes(install_tree_path(name));
    SCOPED_TRACE("tile " + std::to_string(n));
    ASSERT_GE(gif.size(), 14u);
    EXPECT_EQ(gif.substr(0, 6), "GIF89a");
    const auto byte = [&](size_t i) { return static_cast<std::uint8_t>(gif[i]); };
    EXPECT_EQ(byte(6) | byte(7) << 8, 120);
    EXPECT_EQ(byte(8) | byte(9) << 8, 73);
    EXPECT_EQ(gif.back(), '\x3B') << "no GIF trailer: the file is cut short";
  }
}

TEST(ShippedFiles, SkinFileSelectsTheThirdSkin) {
  EXPECT_EQ(read_bytes(install_tree_path(u8"velkEc.ec")), "[Marun]\r\n皮肤=皮肤3\r\n");
}

TEST(ShippedFiles, TilesFileHoldsTheTwelveSitesInOrder) {
  const std::string titles[12] = {
      "百度一下，你就知道", "新浪网", "腾讯网", "淘宝网", "京东网购", "优酷影视",
      "新浪新闻", "聚美优品", "中关村在线", "百姓网", "1号店", "赶集网",
  };
  const std::vector<std::string> lines =
      crlf_lines(read_bytes(install_tree_path(u8"velkZui.t")), "velkZui.t");
  ASSERT_EQ(lines.size(), 36u);
  std::vector<std::string> addresses;
  for (int n = 1; n <= 12; ++n) {
    SCOPED_TRACE("tile " + std::to_string(n));
    const size_t first = 3 * (n - 1);
    EXPECT_EQ(lines[first], "[标签" + std::to_string(n) + "]");
    std::string title, address;
    expect_entry(lines[first + 1], "标题", &title);
    EXPECT_EQ(title, titles[n - 1]);
    expect_entry(lines[first + 2], "地址", &address);
    expect_home_page(address);
    addresses.push_back(address);
  }
  // The news tile is the news channel of the portal on tile 2, not its home.
  ASSERT_EQ(addresses.size(), 12u);
  EXPECT_NE(addresses[6], addresses[1]);
  for (size_t i = 0; i < addresses.size(); ++i)
    for (size_t j = i + 1; j < addresses.size(); ++j)
      EXPECT_NE(addresses[i], addresses[j]) << "tiles " << i + 1 << " and " << j + 1;
}

TEST(ShippedFiles, RecentFileNamesOneFinanceChannelTwice) {
  const std::vector<std::string> lines =
      crlf_lines(read_bytes(install_tree_path(u8"velkZui.ec")), "velkZui.ec");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "[最近]");
  std::string first, second;
  expect_entry(lines[1], "标签1", &first);
  expect_entry(lines[2], "标签1.地址", &second);
  expect_home_page(first);
  EXPECT_EQ(first, second);
}

}  // namespace
