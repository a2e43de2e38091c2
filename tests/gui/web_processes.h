#pragma once
// The web engine's page processes of this test program, read from /proc.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace velk::tk {

// The engine's web content processes started by this test program (its
// descendants named WebKitWebProcess), read from /proc.
inline std::vector<int> web_processes() {
  std::map<int, int> parent;
  std::map<int, std::string> name;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string dir = entry.path().filename().string();
    if (dir.find_first_not_of("0123456789") != std::string::npos) continue;
    const int pid = std::stoi(dir);
    std::ifstream stat(entry.path() / "stat");
    if (!stat) continue;
    std::string line;
    std::getline(stat, line);
    size_t open = line.find('('), close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos) continue;
    name[pid] = line.substr(open + 1, close - open - 1);
    char state = 0;
    int ppid = 0;
    std::sscanf(line.c_str() + close + 1, " %c %d", &state, &ppid);
    if (state != 'Z') parent[pid] = ppid;
  }
  std::vector<int> found;
  for (auto& [pid, ppid] : parent) {
    if (name[pid].rfind("WebKitWebProces", 0) != 0) continue;  // comm is cut at 15
    for (int p = ppid; p > 1; p = parent.count(p) ? parent[p] : 0)
      if (p == getpid()) {
        found.push_back(pid);
        break;
      }
  }
  return found;
}

// Resident megabytes of one process, 0 once it is gone.
inline long resident_mb(int pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6) / 1024;
  return 0;
}

}  // namespace velk::tk
