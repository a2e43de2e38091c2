#include "platform/process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <thread>

#include "platform/paths.h"

extern char** environ;

namespace velk {
namespace {

bool ends_with_exe(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return tail == ".exe";
}

// The child starts with default signal handling and nothing blocked, not with
// whatever the browser's threads have set up.
struct SpawnAttributes {
  posix_spawnattr_t attributes;
  SpawnAttributes() {
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  }
  ~SpawnAttributes() { posix_spawnattr_destroy(&attributes); }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;
};

}  // namespace

bool run_program(const Text& path) {
  std::string program = native_path(path);
  if (ends_with_exe(program)) program.resize(program.size() - 4);
  if (program.empty() || ::access(program.c_str(), X_OK) != 0) return false;

  SpawnAttributes spawn;
  char* argv[] = {program.data(), nullptr};
  pid_t child = 0;
  // glibc's posix_spawn reports a failed exec as an error of its own.
  if (posix_spawn(&child, program.c_str(), nullptr, &spawn.attributes, argv, environ) != 0) return false;

  std::thread([child] {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

}  // namespace velk
