#pragma once
// A fresh folder for one test, removed with everything in it at the end.
#include <string>

#include "platform/text.h"

namespace velk::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder as a file system path (UTF-8, no trailing slash).
  const std::string& native() const { return native_; }
  // The folder as a program path (GBK text), to append "\\name" to.
  const Text& text() const { return text_; }
  // text() + "\\" + name: a program path inside the folder.
  Text path(const Text& name) const { return text_ + "\\" + name; }

 private:
  std::string native_;
  Text text_;
};

}  // namespace velk::test
