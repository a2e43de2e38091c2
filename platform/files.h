#pragma once
// Whole-file reads and atomic whole-file writes.
#include <cstddef>
#include <optional>

#include "platform/text.h"

namespace velk {

inline constexpr std::size_t kNoSizeLimit = static_cast<std::size_t>(-1);
// Settings files (INI profiles, the tiles file) are a few KB: anything far
// larger is no settings file of ours and is refused.
inline constexpr std::size_t kMaxSettingsFileBytes = 1 << 20;

// The whole file; empty when it is missing, cannot be read, is not a regular
// file (a pipe or a device there is refused without waiting) or holds more
// than `max_bytes`.
Bytes read_file(const Text& path, std::size_t max_bytes = kNoSizeLimit);

// What tells one version of a file from another: its identity, size and
// change time. None when the file is missing or not a regular file.
struct FileStamp {
  unsigned long long device = 0, inode = 0;
  long long size = 0, changed_s = 0, changed_ns = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
std::optional<FileStamp> file_stamp(const Text& path);

// The whole file as it stood at one moment: read again while its size, time
// or identity changed during the read (another program writing it in place),
// and not taken at all while it was changed less than kSettleQuietMs ago (a
// writer may be between two steps of its write). Empty when missing;
// nullopt when it did not hold still: the caller keeps what it had and asks
// again later.
inline constexpr int kSettleQuietMs = 50;
std::optional<Bytes> read_file_settled(const Text& path, std::size_t max_bytes = kNoSizeLimit);

// Creates or replaces the file atomically: the bytes go to a temporary file
// in the same folder, which is flushed to disk and renamed over the old one.
// A reader never sees half a file. On failure (full disk, read-only or
// missing folder) the old file is untouched, no temporary file is left and
// the result is false. A replaced file keeps its permission bits.
bool write_file(const Text& path, const Bytes& bytes);

}  // namespace velk
