#pragma once
// Where the program's files lie: the run directory and the mapping of the
// program's Windows-style GBK paths onto the file system.
#include <string>

#include "platform/text.h"

namespace velk {

// The folder of the running executable (from /proc/self/exe), without a
// trailing slash, as GBK text. Safe to call from any thread.
Text run_directory();

// Replaces the run directory for the rest of the process (tests, GUI tests
// that run from a copy of the installation tree).
void set_run_directory(const Text& dir);

// A program path such as run_directory() + "\\icon\\标签1.gif" as a file
// system path: backslashes become '/', GBK becomes UTF-8 (names on disk are
// UTF-8). The text is scanned by characters, so a second byte of 0x5C inside
// a double-byte character is never taken for a backslash.
std::string native_path(const Text& path);

}  // namespace velk
