#include "platform/ini.h"

#include <deque>
#include <mutex>
#include <optional>
#include <string_view>

#include "platform/codepage.h"
#include "platform/files.h"

namespace velk {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim_blanks(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Names compare by characters: ASCII letters ignoring case, double-byte GBK
// characters exactly (their second byte may look like a letter).
bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (is_gbk_lead_byte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (ascii_lower(a[i]) != ascii_lower(b[i])) {
      return false;
    }
  }
  return true;
}

// Position of the first `c` that stands as a character of its own.
std::size_t find_char(std::string_view s, char c) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == c) return i;
    if (is_gbk_lead_byte(static_cast<unsigned char>(s[i]))) ++i;
  }
  return std::string_view::npos;
}

// The lines of a file without their line ends (CRLF or LF).
std::vector<std::string_view> split_lines(std::string_view content) {
  std::vector<std::string_view> lines;
  while (!content.empty()) {
    std::size_t end = content.find('\n');
    std::string_view line = content.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    content.remove_prefix(end + 1);
  }
  return lines;
}

// The name of a "[section]" line, or nothing for any other line.
std::optional<std::string_view> section_name(std::string_view line) {
  line = trim_blanks(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  return trim_blanks(line.substr(0, find_char(line, ']')));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;  // as written, blanks included
};

std::optional<KeyLine> key_line(std::string_view line) {
  std::size_t equals = line.find('=');  // '=' is never a second GBK byte
  if (equals == std::string_view::npos) return std::nullopt;
  return KeyLine{trim_blanks(line.substr(0, equals)), line.substr(equals + 1)};
}

Text clean_value(std::string_view raw) {
  std::string_view value = trim_blanks(raw);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  if (value.size() > kIniValueMaxBytes) {
    std::size_t cut = 0;
    while (cut < value.size()) {
      std::size_t step = is_gbk_lead_byte(static_cast<unsigned char>(value[cut])) ? 2 : 1;
      if (cut + step > kIniValueMaxBytes) break;
      cut += step;
    }
    value = value.substr(0, cut);
  }
  return Text(value);
}

// Lines [first, last) of the body of the first section named `section`.
struct SectionRange {
  std::size_t header;
  std::size_t first;
  std::size_t last;
};

std::optional<SectionRange> find_section(const std::vector<std::string_view>& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto name = section_name(lines[i]);
    if (!name || !same_name(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines.size() && !section_name(lines[end])) ++end;
    return SectionRange{i, i + 1, end};
  }
  return std::nullopt;
}

bool fits_on_one_line(std::string_view s) { return s.find_first_of("\r\n") == std::string_view::npos; }

// Writers in this process take turns, so that two read-modify-write cycles
// never lose each other's key.
std::mutex write_mutex;

}  // namespace

IniSnapshot::IniSnapshot(Bytes content) : content_(std::move(content)), lines_(split_lines(content_)) {}

Text IniSnapshot::value(const Text& section, const Text& key) const {
  auto range = find_section(lines_, section);
  if (!range) return Text();
  for (std::size_t i = range->first; i < range->last; ++i) {
    auto entry = key_line(lines_[i]);
    if (entry && same_name(entry->key, key)) return clean_value(entry->value);
  }
  return Text();
}

Text read_ini(const Text& file, const Text& section, const Text& key) {
  return IniSnapshot(read_file(file, kMaxSettingsFileBytes)).value(section, key);
}

std::vector<std::pair<Text, Text>> read_ini_section(const Text& file, const Text& section) {
  std::vector<std::pair<Text, Text>> entries;
  const Bytes content = read_file(file, kMaxSettingsFileBytes);
  const auto lines = split_lines(content);
  auto range = find_section(lines, section);
  if (!range) return entries;
  for (std::size_t i = range->first; i < range->last; ++i) {
    auto entry = key_line(lines[i]);
    if (entry && !entry->key.empty()) entries.emplace_back(Text(entry->key), clean_value(entry->value));
  }
  return entries;
}

bool write_ini(const Text& file, const Text& section, const Text& key, const Text& value) {
  std::string_view trimmed_key = trim_blanks(key);
  if (trimmed_key.empty() || !fits_on_one_line(section) || !fits_on_one_line(key) || !fits_on_one_line(value) ||
      key.find('=') != Text::npos || find_char(section, ']') != std::string_view::npos ||
      trimmed_key.front() == '[') {
    return false;
  }

  std::lock_guard lock(write_mutex);
  // A file too large to be a profile of ours is left as it is, not replaced
  // by the one key.
  if (auto stamp = file_stamp(file); stamp && static_cast<std::size_t>(stamp->size) > kMaxSettingsFileBytes)
    return false;
  const Bytes content = read_file(file, kMaxSettingsFileBytes);
  std::vector<std::string_view> lines = split_lines(content);
  std::deque<std::string> added;  // owns the new lines that `lines` points to

  auto range = find_section(lines, section);
  if (!range) {
    added.push_back("[" + section + "]");
    lines.push_back(added.back());
    added.push_back(Text(trimmed_key) + "=" + value);
    lines.push_back(added.back());
  } else {
    std::optional<std::size_t> found;
    for (std::size_t i = range->first; i < range->last && !found; ++i) {
      auto entry = key_line(lines[i]);
      if (entry && same_name(entry->key, trimmed_key)) found = i;
    }
    if (found) {
      added.push_back(Text(key_line(lines[*found])->key) + "=" + value);
      lines[*found] = added.back();
    } else {
      // After the last non-blank line, so a blank line before the next
      // section stays where it is.
      std::size_t insert_at = range->last;
      while (insert_at > range->first && trim_blanks(lines[insert_at - 1]).empty()) --insert_at;
      added.push_back(Text(trimmed_key) + "=" + value);
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert_at), added.back());
    }
  }

  Bytes output;
  output.reserve(content.size() + key.size() + value.size() + section.size() + 8);
  for (std::string_view line : lines) {
    output.append(line);
    output.append("\r\n");
  }
  return write_file(file, output);
}

}  // namespace velk
