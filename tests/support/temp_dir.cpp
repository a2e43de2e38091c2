#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/codepage.h"

namespace velk::test {

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/velk-test-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temporary folder");
  native_ = pattern;
  text_ = utf8_to_gbk(native_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Tests make folders read-only; give them back before removing.
  for (auto it = std::filesystem::recursive_directory_iterator(native_, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored)) {
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
    }
  }
  std::filesystem::remove_all(native_, ignored);
}

}  // namespace velk::test
