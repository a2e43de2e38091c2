// The memory limit of a page's process holds within a small margin: a page
// that allocates without end is ended soon after it passes the limit, not
// tens of seconds and gigabytes later. A program of its own, since the limit
// is set before the engine's first page view.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <thread>  // std::chrono (not <chrono>: see cmake/VelkCompile.cmake)
#include <cstdio>
#include <cstdlib>

#include "tests/gui/web_processes.h"
#include "tests/support/loopback_http_server.h"
#include "toolkit/app.h"
#include "toolkit/gtk/gtk_backend.h"

namespace velk::tk {
namespace {

constexpr unsigned kLimitMb = 300;
// Beyond this the test ends the page itself, so that an engine that does
// not hold its limit cannot take the machine's memory.
constexpr long kGiveUpMb = 1500;

TEST(WebMemory, APageAllocatingWithoutEndIsEndedCloseToTheLimit) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr);
  GtkBackend::set_web_memory_limit_for_tests(kLimitMb);
  test::LoopbackHttpServer server;
  // 20 MB more every 100 ms, every byte written.
  server.on("/eat", test::HttpReply::ok(
                        "<html><head><title>eat</title></head><body><script>var kept = [];"
                        "setInterval(function () { kept.push(new Uint8Array(20 << 20).fill(7)); }, 100);"
                        "</script></body></html>",
                        "text/html"));
  static const FormDef def{"WebMemory", {100, 100, 400, 300}, {{"网页", Kind::WebView, 0, 0, 400, 300}}};
  App app(std::make_unique<GtkBackend>());
  Form& form = app.show(def);
  form["网页"].set_address(server.url("/eat"));
  ASSERT_TRUE(app.run_until([&] { return form["网页"].title() == "eat"; }, 15000));
  const std::vector<int> eaters = web_processes();
  ASSERT_FALSE(eaters.empty());

  long peak = 0;
  bool ended = false, gave_up = false;
  const auto start = std::chrono::steady_clock::now();
  app.run_until([&] {
    long now = 0;
    for (int pid : eaters) now += resident_mb(pid);
    peak = std::max(peak, now);
    if (now > kGiveUpMb) {
      gave_up = true;
      for (int pid : eaters) ::kill(pid, SIGKILL);
    }
    std::vector<int> alive = web_processes();
    ended = std::none_of(eaters.begin(), eaters.end(),
                         [&](int pid) { return std::find(alive.begin(), alive.end(), pid) != alive.end(); });
    return ended || now > kGiveUpMb;
  }, 40000);
  const long seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
  std::printf("limit %u MB: the page's process peaked at %ld MB and %s after %ld s\n", kLimitMb, peak,
              gave_up ? "the test ended it" : "the engine ended it", seconds);
  EXPECT_FALSE(gave_up) << "the engine let the page pass " << kGiveUpMb << " MB";
  EXPECT_TRUE(ended) << "the page's process was never ended";
  // The engine looks every second: at 200 MB/s it may pass the limit by a
  // second or two of allocation, on top of its own resident pages.
  EXPECT_LT(peak, 1000) << "the limit did not hold";
}

}  // namespace
}  // namespace velk::tk
