#pragma once
// Whole-file reads and atomic whole-file writes.
#include <optional>

#include "platform/text.h"

namespace velk {

// The whole file; empty when it is missing or cannot be read.
Bytes read_file(const Text& path);

// The whole file as it stood at one moment: read again while its size, time
// or identity changed during the read (another program writing it in place),
// and not taken at all while it was changed less than kSettleQuietMs ago (a
// writer may be between two steps of its write). Empty when missing;
// nullopt when it did not hold still: the caller keeps what it had and asks
// again later.
inline constexpr int kSettleQuietMs = 50;
std::optional<Bytes> read_file_settled(const Text& path);

// Creates or replaces the file atomically: the bytes go to a temporary file
// in the same folder, which is flushed to disk and renamed over the old one.
// A reader never sees half a file. On failure (full disk, read-only or
// missing folder) the old file is untouched, no temporary file is left and
// the result is false. A replaced file keeps its permission bits.
bool write_file(const Text& path, const Bytes& bytes);

}  // namespace velk
