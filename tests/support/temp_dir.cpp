#include "tests/support/temp_dir.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

#include "platform/codepage.h"

namespace velk::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "velk-test-XXXXXX").string();
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
