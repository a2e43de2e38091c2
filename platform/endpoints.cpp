#include "platform/endpoints.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

#include "platform/codepage.h"
#include "platform/ini.h"

namespace velk {
namespace {

struct Default {
  std::string_view key;
  std::string_view address;
};

constexpr std::array<Default, 11> kDefaults{{
    {"vendor", "http://www.velk-browser.com"},
    {"baidu", "https://www.baidu.com"},
    {"sogou", "https://www.sogou.com"},
    {"taobao", "https://s.taobao.com"},
    {"suggest", "http://suggestion.baidu.com"},
    {"guokr", "https://www.guokr.com"},
    {"huanqiu", "https://www.huanqiu.com"},
    {"huanqiu_finance", "https://finance.huanqiu.com"},
    {"baidu_news", "https://news.baidu.com"},
    {"video", "https://www.youku.com"},
    {"smtp", "smtp://smtp.velk-browser.com:25"},
}};

const Default* find_default(std::string_view key) {
  for (const Default& entry : kDefaults) {
    if (entry.key == key) return &entry;
  }
  return nullptr;
}

// Keeps messages ASCII whatever bytes the file or its name hold.
std::string printable(std::string_view text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out.push_back(static_cast<char>(c));
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      out += escaped;
    }
  }
  return out;
}

void report(const std::string& file, const std::string& problem) {
  std::fprintf(stderr, "velk: endpoints file '%s': %s; using the built-in endpoints\n", printable(file).c_str(),
               problem.c_str());
}

// The overrides of the file named by VELK_ENDPOINTS; none when the variable
// is unset, and none (reported) when the file is unusable.
std::map<std::string, Text, std::less<>> load_overrides() {
  std::map<std::string, Text, std::less<>> overrides;
  const char* file = std::getenv("VELK_ENDPOINTS");
  if (file == nullptr || *file == '\0') return overrides;
  // The variable holds a file system path (UTF-8); the file functions take
  // program paths (GBK).
  const Text path = utf8_to_gbk(file);
  std::FILE* probe = std::fopen(file, "rb");
  if (probe == nullptr) {
    report(file, "cannot be read");
    return overrides;
  }
  std::fclose(probe);
  for (auto& [key, value] : read_ini_section(path, "endpoints")) {
    // Keys ignore letter case, as every INI name does.
    for (char& c : key) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (find_default(key) == nullptr) {
      report(file, "unknown key '" + printable(key) + "'");
      return {};
    }
    while (!value.empty() && value.back() == '/') value.pop_back();
    if (value.empty()) {
      report(file, "empty value for '" + printable(key) + "'");
      return {};
    }
    overrides.emplace(key, value);  // the first occurrence wins, as in reads
  }
  return overrides;
}

std::mutex endpoints_mutex;
bool endpoints_loaded = false;                          // guarded by endpoints_mutex
std::map<std::string, Text, std::less<>> overrides_map;  // guarded by endpoints_mutex

}  // namespace

Text endpoint(std::string_view key) {
  const Default* entry = find_default(key);
  if (entry == nullptr) return Text();
  std::lock_guard lock(endpoints_mutex);
  if (!endpoints_loaded) {
    overrides_map = load_overrides();
    endpoints_loaded = true;
  }
  auto found = overrides_map.find(key);
  return found != overrides_map.end() ? found->second : Text(entry->address);
}

void reload_endpoints_for_tests() {
  std::lock_guard lock(endpoints_mutex);
  endpoints_loaded = false;
  overrides_map.clear();
}

}  // namespace velk
