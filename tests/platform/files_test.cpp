#include "platform/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <future>
#include <fstream>

#include "platform/codepage.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

std::string utf8(std::u8string_view s) { return std::string(s.begin(), s.end()); }

std::vector<std::string> names_in(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(Paths, NativePathTurnsBackslashesAndGbkIntoTheFileSystemForm) {
  struct Case {
    const char* name;
    Text path;
    std::string native;
  } cases[] = {
      {"plain", "/opt/velk\\velkZui.t", "/opt/velk/velkZui.t"},
      {"gbk names", "/opt/velk\\icon\\标签1.gif", utf8(u8"/opt/velk/icon/标签1.gif")},
      // 乗 is 0x81 0x5C in GBK: its second byte is no backslash.
      {"second byte 0x5C", "/d\\\x81\x5C\\x", utf8(u8"/d/乗/x")},
      {"forward slashes stay", "/a/b", "/a/b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(native_path(c.path), c.native);
  }
}

TEST(Paths, RunDirectoryIsTheExecutablesFolderUntilSet) {
  const Text original = run_directory();
  EXPECT_EQ(original, fs::canonical("/proc/self/exe").parent_path().string());
  EXPECT_NE(original.back(), '/');
  set_run_directory("/somewhere\\树");
  EXPECT_EQ(run_directory(), "/somewhere\\树");
  set_run_directory(original);
}

TEST(Files, ReadsWhatWasWrittenZeroBytesIncluded) {
  test::TempDir dir;
  const Text file = dir.path("标签1.gif");
  const Bytes bytes("GIF89a\0\xFF\x80rest", 13);
  ASSERT_TRUE(write_file(file, bytes));
  EXPECT_EQ(read_file(file), bytes);
  EXPECT_TRUE(fs::exists(dir.native() + utf8(u8"/标签1.gif")));  // UTF-8 name on disk
  ASSERT_TRUE(write_file(file, "short"));
  EXPECT_EQ(read_file(file), "short");
  ASSERT_TRUE(write_file(file, ""));
  EXPECT_EQ(read_file(file), "");
  EXPECT_EQ(names_in(dir.native()), std::vector<std::string>{utf8(u8"标签1.gif")});
}

TEST(Files, MissingOrUnreadableGivesEmpty) {
  test::TempDir dir;
  EXPECT_EQ(read_file(dir.path("none")), "");
  EXPECT_EQ(read_file(dir.path("no\\such\\folder")), "");
  EXPECT_EQ(read_file(dir.text()), "");  // a folder is no file
}

// A named pipe where a settings or picture file should be: a plain open()
// would wait for a writer for good.
TEST(Files, APipeInPlaceOfAFileReadsAsNoFileAtOnce) {
  test::TempDir dir;
  const Text pipe = dir.path("标签1.gif");
  ASSERT_EQ(::mkfifo(native_path(pipe).c_str(), 0600), 0);
  using Read = std::function<Bytes()>;
  const std::pair<const char*, Read> reads[] = {
      {"read_file", [&] { return read_file(pipe); }},
      {"read_file_settled", [&] { return read_file_settled(pipe).value_or("not settled"); }},
  };
  for (const auto& [what, read] : reads) {
    auto result = std::async(std::launch::async, read);
    if (result.wait_for(std::chrono::seconds(2)) != std::future_status::ready) {
      // Let the blocked open go: a writer comes and leaves.
      int writer = ::open(native_path(pipe).c_str(), O_WRONLY | O_NONBLOCK);
      if (writer >= 0) ::close(writer);
      ADD_FAILURE() << what << " blocked on the pipe";
    }
    EXPECT_EQ(result.get(), "") << what;
  }
}

// Makes the file look as if it was last changed a second ago.
void age(const Text& path) {
  std::filesystem::last_write_time(native_path(path),
                                   std::filesystem::file_time_type::clock::now() - std::chrono::seconds(1));
}

TEST(Files, SettledReadNeverSeesAFileBeingRewrittenInPlace) {
  test::TempDir dir;
  const Text path = dir.path("velkZui.t");
  const Bytes a(200000, 'a'), b(300000, 'b');
  ASSERT_TRUE(write_file(path, a));
  EXPECT_EQ(read_file_settled(path), std::nullopt) << "changed just now";
  age(path);
  EXPECT_EQ(read_file_settled(path), a);
  EXPECT_EQ(read_file_settled(dir.path("missing")), Bytes());
  // Another program that truncates and rewrites the file where it stands,
  // with one write call each time; the kernel may still show the file
  // growing while that call runs.
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    for (int i = 0; i < 400 && !stop; ++i) {
      int fd = ::open(native_path(path).c_str(), O_WRONLY | O_TRUNC);
      const Bytes& content = i % 2 ? a : b;
      if (fd >= 0) {
        ssize_t ignored = ::write(fd, content.data(), content.size());
        (void)ignored;
        ::close(fd);
      }
    }
  });
  for (int i = 0; i < 400; ++i) {
    auto got = read_file_settled(path);
    if (got) {
      EXPECT_TRUE(*got == a || *got == b || got->empty()) << "torn read of " << got->size() << " bytes";
    }
  }
  stop = true;
  writer.join();
  // Once the writer has stopped, the file is taken after the quiet period.
  const Bytes last = read_file(path);
  std::this_thread::sleep_for(std::chrono::milliseconds(kSettleQuietMs + 20));
  EXPECT_EQ(read_file_settled(path), last);
}

TEST(Files, ReplacingKeepsPermissionBits) {
  test::TempDir dir;
  const Text file = dir.path("velkEc.ec");
  ASSERT_TRUE(write_file(file, "one"));
  const std::string native = native_path(file);
  ASSERT_EQ(::chmod(native.c_str(), 0640), 0);
  ASSERT_TRUE(write_file(file, "two"));
  struct stat info {};
  ASSERT_EQ(::stat(native.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

// A write that fails returns false, leaves the old file as it was and no
// temporary file beside it.
class FailedWrite : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = dir_.path("velkZui.t");
    ASSERT_TRUE(write_file(file_, old_));
  }
  void ExpectOldFileIntact() {
    EXPECT_EQ(read_file(file_), old_);
    EXPECT_EQ(names_in(dir_.native()), std::vector<std::string>{"velkZui.t"});
  }
  test::TempDir dir_;
  Text file_;
  const Bytes old_ = "[标签1]\r\n标题=old\r\n";
};

TEST_F(FailedWrite, FolderDoesNotExist) {
  EXPECT_FALSE(write_file(dir_.path("missing\\velkZui.t"), "new"));
  ExpectOldFileIntact();
}

TEST_F(FailedWrite, TargetIsAFolder) {
  fs::create_directory(dir_.native() + "/sub");
  EXPECT_FALSE(write_file(dir_.path("sub"), "new"));
  EXPECT_TRUE(fs::is_directory(dir_.native() + "/sub"));
  fs::remove(dir_.native() + "/sub");
  ExpectOldFileIntact();
}

// The file size limit makes write() fail part way, as a full disk does.
TEST_F(FailedWrite, DiskFullPartWay) {
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = write_file(file_, Bytes(100000, 'x'));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(written);
  ExpectOldFileIntact();
}

TEST_F(FailedWrite, ReadOnlyFolder) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  ASSERT_EQ(::chmod(dir_.native().c_str(), 0555), 0);
  const bool written = write_file(file_, "new");
  ::chmod(dir_.native().c_str(), 0755);
  EXPECT_FALSE(written);
  ExpectOldFileIntact();
}

}  // namespace
}  // namespace velk
