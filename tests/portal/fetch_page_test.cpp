#include "portal/fetch_page.h"

#include <gtest/gtest.h>

#include <time.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "tests/support/loopback_http_server.h"

namespace velk {
namespace {

using test::HttpReply;
using test::LoopbackHttpServer;

// <chrono> does not compile with a GBK execution character set.
double MonotonicSeconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

TEST(FetchPage, ReturnsTheBodyWhateverTheStatus) {
  LoopbackHttpServer server;
  server.on("/page", HttpReply::ok("<html>home</html>"));
  server.on("/missing", HttpReply::with_status(404, "<html>not here</html>"));
  server.on("/broken", HttpReply::with_status(500, "oops"));
  EXPECT_EQ(FetchPage(server.url("/page")), "<html>home</html>");
  EXPECT_EQ(FetchPage(server.url("/missing")), "<html>not here</html>");
  EXPECT_EQ(FetchPage(server.url("/broken")), "oops");
  EXPECT_EQ(FetchPage(server.url("/unscripted")).empty(), false) << "the server's own 404 page";
}

TEST(FetchPage, AsksForAFreshCopyAsAgentText) {
  LoopbackHttpServer server;
  server.on("/page", HttpReply::ok("x"));
  ASSERT_EQ(FetchPage(server.url("/page")), "x");
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "GET");
  EXPECT_EQ(requests[0].header("User-Agent"), "text");
  EXPECT_EQ(requests[0].header("Cache-Control"), "no-cache");
  EXPECT_EQ(requests[0].header("Pragma"), "no-cache");
}

TEST(FetchPage, FollowsRedirects) {
  LoopbackHttpServer server;
  server.on("/old", HttpReply::redirect("/older", 301));
  server.on("/older", HttpReply::redirect("/new"));
  server.on("/new", HttpReply::ok("moved here"));
  EXPECT_EQ(FetchPage(server.url("/old")), "moved here");
  EXPECT_EQ(server.request_count("/new"), 1u);
}

TEST(FetchPage, UnreachablePortGivesEmptyText) {
  std::string url;
  {
    LoopbackHttpServer closed;  // a port that was just free and is free again
    url = closed.url("/page");
  }
  EXPECT_EQ(FetchPage(url), "");
  EXPECT_EQ(FetchPage("not a url"), "");
  EXPECT_EQ(FetchPage(""), "");
}

TEST(FetchPage, ABodyCutShortIsReturnedAsFarAsItArrived) {
  LoopbackHttpServer server;
  const std::string full = std::string(3000, 'a') + std::string(3000, 'b');
  server.on("/cut", HttpReply::half_body(full));
  EXPECT_EQ(FetchPage(server.url("/cut")), std::string(3000, 'a'));
}

TEST(FetchPage, TheTextEndsAtTheFirstZeroByte) {
  LoopbackHttpServer server;
  server.on("/zero", HttpReply::ok(std::string("before\0after", 12)));
  EXPECT_EQ(FetchPage(server.url("/zero")), "before");
}

TEST(FetchPage, ABodyOverTheCapIsCutAtTheCap) {
  LoopbackHttpServer server;
  server.on("/big", HttpReply::ok(std::string(10000, 'z')));
  HttpLimits limits;
  limits.max_body_bytes = 4000;
  const Text page = FetchPage(server.url("/big"), limits);
  EXPECT_LE(page.size(), 4000u);
  EXPECT_EQ(page, std::string(page.size(), 'z'));
}

TEST(FetchPage, AServerThatNeverAnswersIsGivenUpOnAfterTheTimeOut) {
  LoopbackHttpServer server;
  server.on("/hang", HttpReply::never_answer());
  HttpLimits limits;
  limits.connect_timeout_ms = 500;
  limits.total_timeout_ms = 1000;
  const double started = MonotonicSeconds();
  EXPECT_EQ(FetchPage(server.url("/hang"), limits), "");
  // Not a speed target: only that the time-out, and not the peer, ended it.
  EXPECT_LT(MonotonicSeconds() - started, 10.0);
}

// Restores one environment variable when the test ends.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnvironment() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(FetchPage, UsesTheProxyOfTheEnvironment) {
  LoopbackHttpServer proxy;
  proxy.on("http://news.example.invalid/", HttpReply::ok("through the proxy"));
  ScopedEnvironment http_proxy("http_proxy", proxy.base_url().c_str());
  ScopedEnvironment no_proxy("no_proxy", nullptr);
  ScopedEnvironment no_proxy_upper("NO_PROXY", nullptr);
  EXPECT_EQ(FetchPage("http://news.example.invalid/"), "through the proxy");
  ASSERT_EQ(proxy.requests().size(), 1u);
  EXPECT_EQ(proxy.requests()[0].target, "http://news.example.invalid/");
}

}  // namespace
}  // namespace velk
