#pragma once
// INI profile files with the Windows profile semantics the settings files
// rely on. Files are GBK and read whole on every call.
#include <string_view>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace velk {

// Longest value read_ini returns, in bytes.
inline constexpr std::size_t kIniValueMaxBytes = 10239;

// The value of `key` in `section`; empty text when the file, section or key
// is missing. Names match regardless of the case of ASCII letters (double-
// byte characters compare exactly). The first matching section and the first
// matching key in it win. Blanks (spaces, tabs) at both ends of the value are
// dropped, then one pair of matching surrounding quotes (double or single).
// Everything after the first "=" belongs to the value. A value longer than
// kIniValueMaxBytes is cut there, one byte earlier when the cut would split a
// double-byte character. A file larger than kMaxSettingsFileBytes, or one
// that is not a regular file, reads as empty.
Text read_ini(const Text& file, const Text& section, const Text& key);

// One parse of a whole INI text, for callers that read many values at once
// (the tile reload reads 24). value() answers exactly as read_ini would for
// a file holding `content`.
class IniSnapshot {
 public:
  explicit IniSnapshot(Bytes content);
  IniSnapshot(const IniSnapshot&) = delete;
  IniSnapshot& operator=(const IniSnapshot&) = delete;
  Text value(const Text& section, const Text& key) const;

 private:
  Bytes content_;
  std::vector<std::string_view> lines_;  // views into content_
};

// Every key of the first section named `section`, in file order, with values
// read as read_ini reads them (a key that occurs twice is listed twice).
std::vector<std::pair<Text, Text>> read_ini_section(const Text& file, const Text& section);

// Sets `key` in `section` to `value`, creating the file and the section when
// missing. An existing key is replaced in place (its spelling kept); a new
// key goes after the last line of its section; every other line, comment and
// the order are kept. Lines are written with CRLF, with a CRLF after the last
// line; GBK bytes go unchanged. The file is replaced atomically.
// False, with the old file intact, when the write fails or when a name or the
// value could not be stored on one line (line breaks, an empty key, "=" in a
// key, "]" in a section name).
bool write_ini(const Text& file, const Text& section, const Text& key, const Text& value);

}  // namespace velk
