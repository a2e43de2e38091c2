#pragma once
// Starting companion programs.
#include "platform/text.h"

namespace velk {

// Starts the program at `path` (a program path, GBK) without arguments and
// without waiting. A path ending in ".exe" (any letter case) names the binary
// without the extension. False when it cannot be started (missing, not
// executable). The child is reaped by a detached waiter, so no zombie stays.
bool run_program(const Text& path);

}  // namespace velk
