#include "platform/paths.h"

#include <unistd.h>

#include <mutex>
#include <optional>

#include "platform/codepage.h"

namespace velk {
namespace {

std::mutex run_directory_mutex;
std::optional<Text> run_directory_value;  // guarded by run_directory_mutex

Text executable_folder() {
  std::string buffer(4096, '\0');
  ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return Text();
  buffer.resize(static_cast<std::size_t>(length));
  std::size_t slash = buffer.rfind('/');
  buffer.resize(slash == std::string::npos ? 0 : slash);
  return utf8_to_gbk(buffer);
}

}  // namespace

Text run_directory() {
  std::lock_guard lock(run_directory_mutex);
  if (!run_directory_value) run_directory_value = executable_folder();
  return *run_directory_value;
}

void set_run_directory(const Text& dir) {
  std::lock_guard lock(run_directory_mutex);
  run_directory_value = dir;
}

std::string native_path(const Text& path) {
  // UTF-8 never has 0x5C inside a multi-byte character, so after the
  // conversion every backslash byte is a real backslash.
  std::string utf8 = gbk_to_utf8(path);
  for (char& c : utf8) {
    if (c == '\\') c = '/';
  }
  return utf8;
}

}  // namespace velk
