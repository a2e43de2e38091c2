#include "platform/process.h"

#include <gtest/gtest.h>

// <thread> brings the clocks; <chrono> itself has a "\u00b5s" literal that
// the GBK execution character set cannot hold.
#include <thread>
#include <sys/stat.h>

#include <filesystem>
#include <thread>

#include "platform/files.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"

namespace velk {
namespace {

// Waits for the marker a started program writes: at most 5 s, in 10 ms steps.
bool marker_appears(const Text& marker) {
  for (int i = 0; i < 500; ++i) {
    if (read_file(marker) == "started\n") return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

class RunProgram : public ::testing::Test {
 protected:
  // A script at `name` that writes "started" into the marker file.
  Text make_script(const Text& name, mode_t mode = 0755) {
    const Text path = dir_.path(name);
    const std::string marker = native_path(marker_);
    // Written under a name of its own, then renamed: the marker appears whole.
    EXPECT_TRUE(write_file(path, "#!/bin/sh\necho started > \"" + marker + ".$$\" && mv \"" + marker + ".$$\" \"" +
                                     marker + "\"\n"));
    ::chmod(native_path(path).c_str(), mode);
    return path;
  }
  test::TempDir dir_;
  const Text marker_ = dir_.path("marker");
};

TEST_F(RunProgram, StartsAProgramWithoutWaiting) {
  const Text program = make_script("VelkFeedback");
  EXPECT_TRUE(run_program(program));
  EXPECT_TRUE(marker_appears(marker_));
}

TEST_F(RunProgram, ExePathNamesTheBinaryWithoutExtension) {
  std::filesystem::create_directory(dir_.native() + "/EcVelk");
  make_script("EcVelk\\VelkUpdate");
  EXPECT_TRUE(run_program(dir_.path("EcVelk\\VelkUpdate.EXE")));
  EXPECT_TRUE(marker_appears(marker_));
}

TEST_F(RunProgram, GbkProgramName) {
  const Text program = make_script("更新");
  EXPECT_TRUE(run_program(program + ".exe"));
  EXPECT_TRUE(marker_appears(marker_));
}

TEST_F(RunProgram, MissingOrNotExecutableGivesFalse) {
  EXPECT_FALSE(run_program(dir_.path("EcVelk\\VelkFeedback.exe")));
  EXPECT_FALSE(run_program(""));
  EXPECT_FALSE(run_program(dir_.text()));  // a folder
  const Text plain = make_script("plain", 0644);
  EXPECT_FALSE(run_program(plain));
  // Executable but no program: exec fails, and posix_spawn says so.
  const Text garbage = dir_.path("garbage");
  ASSERT_TRUE(write_file(garbage, "\x7F" "ELF nonsense"));
  ::chmod(native_path(garbage).c_str(), 0755);
  EXPECT_FALSE(run_program(garbage));
  EXPECT_EQ(read_file(marker_), "");
}

// The children of this process, as "pid state" (Z for a zombie).
std::vector<std::string> children() {
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string stat = read_file(entry.path().string() + "/stat");
    std::size_t close = stat.rfind(')');  // "pid (name) state ppid ..."
    if (close == std::string::npos || close + 4 > stat.size()) continue;
    long ppid = std::strtol(stat.c_str() + close + 4, nullptr, 10);
    if (ppid == ::getpid()) found.push_back(entry.path().filename().string() + " " + stat[close + 2]);
  }
  return found;
}

// Every started program is reaped once it ends: no child, zombie or not,
// stays behind.
TEST_F(RunProgram, LeavesNoZombies) {
  const Text program = make_script("quick");
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(run_program(program));
  std::vector<std::string> left = children();
  for (int i = 0; i < 500 && !left.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    left = children();
  }
  EXPECT_TRUE(left.empty()) << testing::PrintToString(left);
}

}  // namespace
}  // namespace velk
