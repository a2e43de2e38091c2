#pragma once
// The browser's windows on the headless backend, with a copy of the shipped
// installation tree as run directory and the vendor's server on loopback.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/codepage.h"
#include "platform/endpoints.h"
#include "platform/paths.h"
#include "shell/main_window.h"
#include "shell/shared_state.h"
#include "tests/support/loopback_http_server.h"
#include "tests/support/temp_dir.h"
#include "tests/toolkit/headless_fixture.h"

namespace velk::test {

inline constexpr char kVersionPage[] = "2.1";

class ShellTest : public HeadlessTest {
 protected:
  ShellTest() {
    const char* tree = std::getenv("VELK_TREE_DIR");
    std::filesystem::copy(tree ? tree : "tree", dir_.native(),
                          std::filesystem::copy_options::recursive);
    std::filesystem::remove(dir_.native() + "/Velk");
    set_run_directory(dir_.text());
    vendor_.on("/marun.html", HttpReply::ok(kVersionPage, "text/plain"));
    point_endpoint("vendor", vendor_.base_url());
    ExitCleanup();  // shared state as at process start
  }
  ~ShellTest() override { unsetenv("VELK_ENDPOINTS"); }

  // Points one outside endpoint elsewhere through VELK_ENDPOINTS.
  void point_endpoint(const std::string& key, const std::string& base) {
    std::ofstream(dir_.native() + "/endpoints.ini") << "[endpoints]\r\n" << key << "=" << base << "\r\n";
    setenv("VELK_ENDPOINTS", (dir_.native() + "/endpoints.ini").c_str(), 1);
    reload_endpoints_for_tests();
  }

  // A file of the run directory, by its GBK name, e.g. "\\icon\\标签5.gif".
  std::string native(const Text& relative) { return native_path(dir_.text() + relative); }
  // Written "a second ago", so that the tile reload, which leaves alone a
  // file changed in the last moments, takes it at once.
  void write_run_file(const Text& relative, const Bytes& bytes) {
    std::ofstream(native(relative), std::ios::binary) << bytes;
    std::filesystem::last_write_time(native(relative),
                                     std::filesystem::file_time_type::clock::now() - std::chrono::seconds(1));
  }

  tk::Form& start() { return app().show(MainWindowDef()); }

  TempDir dir_;
  LoopbackHttpServer vendor_;
};

}  // namespace velk::test
