#include "platform/ini.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

#include "platform/files.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"

namespace velk {
namespace {

struct IniWrite {
  Text section = {}, key = {}, value = {};
  bool succeeds = true;
};

struct IniRead {
  Text section = {}, key = {};
  Text expected = {};
};

// Runs `writes` inside a file system that refuses them in some way.
using Obstacle = std::function<void(const test::TempDir&, const std::function<void()>& writes)>;

struct IniCase {
  const char* name = "";
  std::optional<Bytes> file = {};  // content before the writes; none: no file
  std::vector<IniWrite> writes = {};
  std::vector<IniRead> reads = {};           // after the writes
  std::optional<Bytes> file_after = {};      // exact bytes after the writes
  Text file_name = "velkZui.t";              // relative to the test folder
  Obstacle obstacle = {};
  bool needs_non_root = false;
  int concurrent_rounds = 0;  // repeats the writes while another thread reads
};

const Text kTiles =
    "; comment kept\r\n"
    "[标签1]\r\n"
    "标题=百度一下，你就知道\r\n"
    "地址=http://www.baidu.com/\r\n"
    "\r\n"
    "[标签2]\r\n"
    "标题=新浪网\r\n";

void disk_full(const test::TempDir&, const std::function<void()>& writes) {
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 1024;
  ::setrlimit(RLIMIT_FSIZE, &small);
  writes();
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);
}

void read_only_folder(const test::TempDir& dir, const std::function<void()>& writes) {
  ::chmod(dir.native().c_str(), 0555);
  writes();
  ::chmod(dir.native().c_str(), 0755);
}

const Bytes kBigFile = "[a]\r\nk=" + Bytes(5000, 'v') + "\r\n";

std::vector<IniCase> ini_cases() {
  return {
      {.name = "missing file", .file = std::nullopt, .reads = {{"标签1", "标题", ""}}},
      {.name = "missing section", .file = kTiles, .reads = {{"标签3", "标题", ""}}},
      {.name = "missing key", .file = kTiles, .reads = {{"标签2", "地址", ""}}},
      {.name = "names ignore ascii letter case",
       .file = "[Marun]\r\nSkin=皮肤3\r\n",
       .reads = {{"MARUN", "skin", "皮肤3"}, {"marun", "SKIN", "皮肤3"}}},
      {.name = "double-byte names compare exactly",  // 丄 0x81 0x41, 乤 0x81 0x61
       .file = "[\x81\x41]\r\n\x81\x41=upper\r\n",
       .reads = {{"\x81\x41", "\x81\x41", "upper"}, {"\x81\x61", "\x81\x41", ""}, {"\x81\x41", "\x81\x61", ""}}},
      {.name = "section name whose second byte is ']'",  // 乚 0x81 0x5D
       .file = "[\x81\x5D]\r\nk=v\r\n",
       .reads = {{"\x81\x5D", "k", "v"}}},
      {.name = "blanks at both ends dropped",
       .file = "[s]\r\n \t key \t= \t value with  inner blanks \t \r\n",
       .reads = {{"s", "key", "value with  inner blanks"}}},
      {.name = "everything after the first '=' kept",
       .file = "[s]\r\n地址=http://a.cn/?x=1&y==2\r\n",
       .reads = {{"s", "地址", "http://a.cn/?x=1&y==2"}}},
      {.name = "empty value", .file = "[s]\r\nk=\r\n", .reads = {{"s", "k", ""}}},
      {.name = "sections out of order and extra sections",
       .file = "[其他]\r\n标题=x\r\n[标签2]\r\n标题=二\r\n[标签1]\r\n标题=一\r\n[extra]\r\n标题=y\r\n",
       .reads = {{"标签1", "标题", "一"}, {"标签2", "标题", "二"}}},
      {.name = "first matching section and key win",
       .file = "[s]\r\nk=first\r\nK=second\r\n[S]\r\nk=third\r\nonly=later\r\n",
       .reads = {{"s", "k", "first"}, {"s", "only", ""}}},
      {.name = "keys before any section belong to none",
       .file = "k=loose\r\n[s]\r\nother=1\r\n",
       .reads = {{"s", "k", ""}, {"", "k", ""}}},
      {.name = "lf line ends and no line end after the last line",
       .file = "[Marun]\n皮肤=皮肤2\n[x]\ny=1",
       .reads = {{"Marun", "皮肤", "皮肤2"}, {"x", "y", "1"}}},
      {.name = "one pair of surrounding quotes dropped",
       .file = "[s]\r\na=\"  quoted  \"\r\nb='single'\r\nc=\"open\r\nd=\"mixed'\r\ne=\"\"x\"\"\r\n",
       .reads = {{"s", "a", "  quoted  "}, {"s", "b", "single"}, {"s", "c", "\"open"},
                 {"s", "d", "\"mixed'"}, {"s", "e", "\"x\""}}},
      {.name = "long ascii value cut at 10239 bytes",
       .file = "[s]\r\nk=" + Bytes(12000, 'a') + "\r\n",
       .reads = {{"s", "k", Text(10239, 'a')}}},
      {.name = "long gbk value never cut inside a character",
       .file = [] {
         Bytes file = "[s]\r\nk=";
         for (int i = 0; i < 6000; ++i) file += "中";
         return file + "\r\n";
       }(),
       .reads = {{"s", "k", [] {
                    Text value;
                    for (int i = 0; i < 5119; ++i) value += "中";  // 10238 bytes
                    return value;
                  }()}}},
      {.name = "write creates the file and the section",
       .file = std::nullopt,
       .writes = {{"Marun", "皮肤", "皮肤3"}},
       .reads = {{"Marun", "皮肤", "皮肤3"}},
       .file_after = "[Marun]\r\n皮肤=皮肤3\r\n"},
      {.name = "write replaces a key in place keeping every other line",
       .file = kTiles,
       .writes = {{"标签1", "地址", "http://www.sina.com.cn/"}},
       .file_after =
           "; comment kept\r\n[标签1]\r\n标题=百度一下，你就知道\r\n地址=http://www.sina.com.cn/\r\n"
           "\r\n[标签2]\r\n标题=新浪网\r\n"},
      {.name = "write keeps the key's spelling and gbk bytes",
       .file = "[Marun]\r\nSkin = old\r\n",
       .writes = {{"marun", "SKIN", "皮肤\x80乗"}},
       .reads = {{"Marun", "Skin", "皮肤\x80乗"}},
       .file_after = "[Marun]\r\nSkin=皮肤\x80乗\r\n"},
      {.name = "write appends a new key at the end of its section",
       .file = kTiles,
       .writes = {{"标签1", "新", "v"}},
       .file_after =
           "; comment kept\r\n[标签1]\r\n标题=百度一下，你就知道\r\n地址=http://www.baidu.com/\r\n新=v\r\n"
           "\r\n[标签2]\r\n标题=新浪网\r\n"},
      {.name = "write appends a new section and ends every line in crlf",
       .file = "[a]\nk=v",
       .writes = {{"b", "x", "1"}, {"a", "k", "w"}},
       .file_after = "[a]\r\nk=w\r\n[b]\r\nx=1\r\n"},
      {.name = "value with a line break refused, file unchanged",
       .file = kTiles,
       .writes = {{"标签1", "标题", "a\r\n[标签3]", false}, {"标签1", "", "v", false}},
       .file_after = kTiles},
      {.name = "write into a folder that does not exist fails",
       .file = std::nullopt,
       .writes = {{"s", "k", "v", false}},
       .reads = {{"s", "k", ""}},
       .file_name = "missing\\velkZui.t"},
      {.name = "disk full: write fails, old file intact, no temporary file",
       .file = kBigFile,
       .writes = {{"a", "k", Text(6000, 'w'), false}},
       .file_after = kBigFile,
       .obstacle = disk_full},
      {.name = "read-only folder: write fails, old file intact",
       .file = kTiles,
       .writes = {{"标签1", "标题", "new", false}},
       .file_after = kTiles,
       .obstacle = read_only_folder,
       .needs_non_root = true},
      {.name = "a reader during many writes never sees half a file",
       .file = "[s]\r\nk=" + Text(8000, 'a') + "\r\n",
       .writes = {{"s", "k", Text(8000, 'b')}, {"s", "k", Text(8000, 'a')}},
       .concurrent_rounds = 40},
  };
}

std::vector<std::string> names_in(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  return names;
}

TEST(Ini, Cases) {
  for (const IniCase& c : ini_cases()) {
    SCOPED_TRACE(c.name);
    if (c.needs_non_root && ::geteuid() == 0) {
      std::printf("skipped for root: %s\n", c.name);
      continue;
    }
    test::TempDir dir;
    const Text file = dir.path(c.file_name);
    if (c.file) {
      ASSERT_TRUE(write_file(file, *c.file));
    }

    auto run_writes = [&] {
      for (const IniWrite& w : c.writes) {
        EXPECT_EQ(write_ini(file, w.section, w.key, w.value), w.succeeds) << w.section << "/" << w.key;
      }
    };
    if (c.concurrent_rounds > 0) {
      // Every value the reader sees must be one the writers wrote whole.
      std::atomic<bool> done{false};
      std::atomic<int> reads{0}, torn{0};
      std::thread reader([&] {
        while (!done || reads == 0) {
          Text value = read_ini(file, "s", "k");
          if (value != Text(8000, 'a') && value != Text(8000, 'b')) ++torn;
          ++reads;
        }
      });
      for (int round = 0; round < c.concurrent_rounds; ++round) run_writes();
      done = true;
      reader.join();
      EXPECT_EQ(torn, 0) << "of " << reads << " reads";
    } else if (c.obstacle) {
      c.obstacle(dir, run_writes);
    } else {
      run_writes();
    }

    const IniSnapshot snapshot(read_file(file));  // one parse answers the same
    for (const IniRead& r : c.reads) {
      EXPECT_EQ(read_ini(file, r.section, r.key), r.expected) << r.section << "/" << r.key;
      EXPECT_EQ(snapshot.value(r.section, r.key), r.expected) << "snapshot " << r.section << "/" << r.key;
    }
    if (c.file_after) {
      EXPECT_EQ(read_file(file), *c.file_after);
    }
    if (c.file) {
      EXPECT_EQ(names_in(dir.native()).size(), 1u) << "a temporary file was left behind";
    }
  }
}

TEST(Ini, SectionListsItsKeysInOrder) {
  test::TempDir dir;
  const Text file = dir.path("endpoints.ini");
  ASSERT_TRUE(write_file(file, "[other]\r\nx=1\r\n[Endpoints]\r\nvendor = http://127.0.0.1:1 \r\n;note\r\nbaidu=\"b\"\r\n"));
  std::vector<std::pair<Text, Text>> expected{{"vendor", "http://127.0.0.1:1"}, {"baidu", "b"}};
  EXPECT_EQ(read_ini_section(file, "endpoints"), expected);
  EXPECT_TRUE(read_ini_section(file, "none").empty());
  EXPECT_TRUE(read_ini_section(dir.path("missing"), "endpoints").empty());
}

}  // namespace
}  // namespace velk
