#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <ctime>
#include <cerrno>
#include <string>

#include "platform/paths.h"

namespace velk {
namespace {

bool write_all(int fd, const Bytes& bytes) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t written = ::write(fd, p, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

std::string folder_of(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A fresh name beside the target; O_EXCL in the caller makes it ours alone.
std::string temporary_name(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  return target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
}

}  // namespace

Bytes read_file(const Text& path, std::size_t max_bytes) {
  // Non-blocking, so that a named pipe or a device standing where a file
  // should be is refused below instead of waiting for a writer for good.
  int fd = ::open(native_path(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return Bytes();
  Bytes bytes;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || static_cast<std::size_t>(info.st_size) > max_bytes) {
    ::close(fd);
    return Bytes();
  }
  bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      bytes.clear();
      break;
    }
    if (got == 0) break;
    if (static_cast<std::size_t>(got) > max_bytes - bytes.size()) {  // grew while read
      bytes.clear();
      break;
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return bytes;
}

namespace {
bool same_moment(const struct stat& a, const struct stat& b) {
  return a.st_ino == b.st_ino && a.st_dev == b.st_dev && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}
}  // namespace

// Whether the file changed within the quiet period. This compares the file
// system's own time stamp with the wall clock: it is about the file, not
// about the program's timers.
bool changed_just_now(const struct stat& info) {
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const long long age_ms = (now.tv_sec - info.st_mtim.tv_sec) * 1000LL +
                           (now.tv_nsec - info.st_mtim.tv_nsec) / 1000000LL;
  return age_ms >= 0 && age_ms < kSettleQuietMs;
}

std::optional<FileStamp> file_stamp(const Text& path) {
  struct stat info {};
  if (::stat(native_path(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return FileStamp{info.st_dev, info.st_ino, info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

std::optional<Bytes> read_file_settled(const Text& path, std::size_t max_bytes) {
  const std::string native = native_path(path);
  for (int attempt = 0; attempt < 5; ++attempt) {
    struct stat before {}, after {};
    if (::stat(native.c_str(), &before) != 0 || !S_ISREG(before.st_mode)) return Bytes();
    if (changed_just_now(before)) return std::nullopt;
    if (static_cast<std::size_t>(before.st_size) > max_bytes) return Bytes();
    Bytes bytes = read_file(path, max_bytes);
    if (::stat(native.c_str(), &after) != 0) return Bytes();
    if (same_moment(before, after) && bytes.size() == static_cast<std::size_t>(after.st_size))
      return bytes;
  }
  return std::nullopt;
}

bool write_file(const Text& path, const Bytes& bytes) {
  const std::string target = native_path(path);
  if (target.empty()) return false;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temporary = temporary_name(target);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  struct stat old_info {};
  bool ok = true;
  if (::stat(target.c_str(), &old_info) == 0) {
    if (!S_ISREG(old_info.st_mode)) ok = false;
    // The settings files keep whatever permissions they were given.
    else if (::fchmod(fd, old_info.st_mode & 07777) != 0) ok = false;
  }
  ok = ok && write_all(fd, bytes) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    return false;
  }
  // Makes the rename itself durable; the file is already in place.
  int folder = ::open(folder_of(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return true;
}

}  // namespace velk
