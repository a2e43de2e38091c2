// Suggestions under fast typing: 30 keys in one second into the home
// window's search box (headless toolkit, real workers, real HTTP on
// loopback). For each key, the time until the list holds the answer to the
// text the box held after it; the time from the last key to its list; how
// many replies were applied; the peak of threads alive in the process.
//
//   search_suggestions_bench [rounds]
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/endpoints.h"
#include "platform/paths.h"
#include "shell/main_window.h"
#include "shell/shared_state.h"
#include "tests/search/slow_http_server.h"
#include "tests/support/temp_dir.h"
#include "toolkit/app.h"
#include "toolkit/headless_backend.h"

namespace velk {
namespace {

using Clock = std::chrono::steady_clock;

struct Result {
  std::vector<double> per_key_ms;  // keys whose own answer reached the list
  double last_key_ms = -1;
  int keys = 0;
  int peak_threads = 0;
  int base_threads = 0;
  std::size_t requests = 0;
};

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<std::size_t>(p * (v.size() - 1) + 0.5))];
}

Result type_fast(int delay_ms, const test::TempDir& dir) {
  test::SlowHttpServer service([delay_ms](const std::string& target) {
    const std::string q = test::decoded_query(target);
    return test::SlowReply{delay_ms, 200, test::suggestion_reply({q + "1", q + "2", q + "3"})};
  });
  test::SlowHttpServer vendor([](const std::string&) { return test::SlowReply{0, 200, "2.1"}; });
  std::ofstream(dir.native() + "/endpoints.ini")
      << "[endpoints]\r\nvendor=" << vendor.base_url() << "\r\nsuggest=" << service.base_url() << "\r\n";
  setenv("VELK_ENDPOINTS", (dir.native() + "/endpoints.ini").c_str(), 1);
  reload_endpoints_for_tests();

  Result result;
  {
    tk::App app(std::make_unique<tk::HeadlessBackend>());
    ExitCleanup();
    tk::Form& w = app.show(MainWindowDef());
    app.left_pressed(w, {400, 103});  // the hint opens the box
    tk::Control& box = w["编辑框2"];
    tk::Control& list = w["列表框2"];

    result.base_threads = test::threads_alive_besides_servers();
    std::atomic<bool> sampling{true};
    std::atomic<int> peak{0};
    std::thread sampler([&] {
      while (sampling) {
        peak = std::max(peak.load(), test::threads_alive_besides_servers());
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    });

    const std::string letters = "abcdefghijklmnopqrstuvwxyz0123";
    Text typed;
    const auto start = Clock::now();
    for (std::size_t i = 0; i < letters.size(); ++i) {
      typed += letters[i];
      const auto pressed = Clock::now();
      app.user_edited(box, typed);
      const Text answer = typed + "1";
      const auto next_key = start + std::chrono::microseconds((i + 1) * 1000000 / letters.size());
      const bool last = i + 1 == letters.size();
      const int budget_ms = last ? 10000 : static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                              next_key - Clock::now()).count());
      const bool filled = app.run_until(
          [&] { return list.item_count() > 0 && list.item_text(0) == answer; }, std::max(budget_ms, 0));
      const double ms = std::chrono::duration<double, std::milli>(Clock::now() - pressed).count();
      if (filled) result.per_key_ms.push_back(ms);
      if (last) result.last_key_ms = filled ? ms : -1;
      app.run_until([] { return false; }, std::max(0, static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                         next_key - Clock::now()).count())));
    }
    result.keys = static_cast<int>(letters.size());
    app.wait_for_workers();
    sampling = false;
    sampler.join();
    result.peak_threads = peak;  // the sampler itself counts as one
  }
  result.requests = service.targets().size();
  unsetenv("VELK_ENDPOINTS");
  return result;
}

}  // namespace
}  // namespace velk

int main(int argc, char** argv) {
  using namespace velk;
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
  test::TempDir dir;
  std::filesystem::copy(VELK_TREE_DIR, dir.native(), std::filesystem::copy_options::recursive);
  std::filesystem::remove(dir.native() + "/Velk");
  set_run_directory(dir.text());
  for (int delay : {0, 200}) {
    for (int round = 0; round < rounds; ++round) {
      const Result r = type_fast(delay, dir);
      std::printf(
          "service delay %3d ms, round %d: %d keys in 1 s, %zu requests; list filled with the "
          "key's own answer after %zu keys: median %.1f ms, p90 %.1f ms, max %.1f ms; last key to "
          "its list %.1f ms; threads alive: %d before typing, peak %d (incl. 1 sampler)\n",
          delay, round + 1, r.keys, r.requests, r.per_key_ms.size(), percentile(r.per_key_ms, 0.5),
          percentile(r.per_key_ms, 0.9),
          r.per_key_ms.empty() ? -1.0 : *std::max_element(r.per_key_ms.begin(), r.per_key_ms.end()),
          r.last_key_ms, r.base_threads, r.peak_threads);
    }
  }
}
