#include "platform/http.h"

#include <gtest/gtest.h>

// <thread> brings the clocks; <chrono> itself has a "\u00b5s" literal that
// the GBK execution character set cannot hold.
#include <thread>
#include <vector>

#include "tests/support/loopback_http_server.h"

namespace velk {
namespace {

using test::HttpReply;
using test::LoopbackHttpServer;
using Clock = std::chrono::steady_clock;

// Small limits keep the failure paths quick.
constexpr HttpLimits kQuick{300, 300, 1 << 20, 3};

long elapsed_ms(Clock::time_point start) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

HttpResponse get(const std::string& url, HttpLimits limits = kQuick) {
  HttpRequest request;
  request.url = url;
  request.limits = limits;
  return http_get(request);
}

class Http : public ::testing::Test {
 protected:
  LoopbackHttpServer server_;
};

// A cancel from another thread ends a transfer that waits on a silent
// server, long before its time-out; one cancelled before it starts never
// connects.
TEST_F(Http, ACancelEndsATransferInFlightAndOneNotYetStarted) {
  server_.on("/silent", HttpReply::never_answer());
  HttpCancel cancel;
  HttpRequest request;
  request.url = server_.url("/silent");
  request.limits = HttpLimits{5000, 60000, 1 << 20, 3};
  request.cancel = &cancel;
  std::thread canceller([&] {
    while (server_.request_count("/silent") == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    cancel.cancel();
  });
  const HttpResponse response = http_get(request);
  canceller.join();
  EXPECT_FALSE(response.complete);
  EXPECT_EQ(response.error, "cancelled");

  HttpCancel early;
  early.cancel();
  server_.on("/page", HttpReply::ok("body"));
  EXPECT_EQ(download_url(server_.url("/page"), kQuick, &early), "");
  EXPECT_EQ(server_.request_count("/page"), 0u);
  HttpCancel unused;
  EXPECT_EQ(download_url(server_.url("/page"), kQuick, &unused), "body") << "a cancel not used changes nothing";
}

TEST_F(Http, OkBodyArrivesWhole) {
  const Bytes body = Bytes("<html>\0\xFF", 8) + Bytes(100000, 'x');
  server_.on("/page", HttpReply::ok(body));
  EXPECT_EQ(download_url(server_.url("/page"), kQuick), body);
  HttpResponse response = get(server_.url("/page"));
  EXPECT_TRUE(response.connected);
  EXPECT_TRUE(response.complete);
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(response.body, body);
}

TEST_F(Http, ErrorStatusGivesBodyToHttpGetButNothingToDownload) {
  server_.on("/gone", HttpReply::with_status(404, "<h1>missing</h1>"));
  EXPECT_EQ(download_url(server_.url("/gone"), kQuick), "");
  HttpResponse response = get(server_.url("/gone"));
  EXPECT_TRUE(response.connected);
  EXPECT_TRUE(response.complete);
  EXPECT_EQ(response.status, 404);
  EXPECT_EQ(response.body, "<h1>missing</h1>");
}

TEST_F(Http, RedirectIsFollowed) {
  server_.on("/old", HttpReply::redirect("/new"));
  server_.on("/new", HttpReply::ok("moved here"));
  EXPECT_EQ(download_url(server_.url("/old"), kQuick), "moved here");
  EXPECT_EQ(server_.request_count("/new"), 1u);
}

TEST_F(Http, RedirectLoopStopsAtTheLimit) {
  server_.on("/loop", HttpReply::redirect("/loop"));
  HttpLimits limits = kQuick;
  limits.max_redirects = 4;
  HttpResponse response = get(server_.url("/loop"), limits);
  EXPECT_FALSE(response.complete);
  EXPECT_EQ(response.status, 302);
  EXPECT_EQ(server_.request_count("/loop"), 5u);  // the first request and four redirects
  EXPECT_EQ(download_url(server_.url("/loop"), limits), "");
}

TEST(HttpUnreachable, ClosedPortFailsQuickly) {
  int port = 0;
  {
    LoopbackHttpServer closed;  // a port that was free a moment ago
    port = closed.port();
  }
  const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/";
  auto start = Clock::now();
  HttpResponse response = get(url, HttpLimits{});
  EXPECT_FALSE(response.connected);
  EXPECT_FALSE(response.complete);
  EXPECT_FALSE(response.error.empty());
  EXPECT_EQ(download_url(url), "");
  EXPECT_LT(elapsed_ms(start), 2000);
}

TEST_F(Http, BodyCutShortIsReturnedAsFarAsItArrived) {
  const Bytes full(10000, 'h');
  server_.on("/cut", HttpReply::half_body(full));
  HttpResponse response = get(server_.url("/cut"));
  EXPECT_TRUE(response.connected);
  EXPECT_FALSE(response.complete);
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(response.body, full.substr(0, 5000));
  EXPECT_EQ(download_url(server_.url("/cut"), kQuick), "");
}

TEST_F(Http, NeverAnsweringServerIsLeftAtTheOverallTimeOut) {
  server_.on("/hang", HttpReply::never_answer());
  auto start = Clock::now();
  HttpResponse response = get(server_.url("/hang"));
  long waited = elapsed_ms(start);
  EXPECT_FALSE(response.connected);
  EXPECT_FALSE(response.complete);
  EXPECT_GE(waited, 250);
  EXPECT_LT(waited, 1500);
  start = Clock::now();
  EXPECT_EQ(download_url(server_.url("/hang"), kQuick), "");
  EXPECT_LT(elapsed_ms(start), 1500);
}

TEST_F(Http, BodyOverTheCapStops) {
  HttpLimits limits = kQuick;
  limits.max_body_bytes = 1000;
  server_.on("/big", HttpReply::ok(Bytes(50000, 'b')));
  // Without an announced length only the write callback can stop it.
  server_.on("/big-unannounced", [](const test::RecordedRequest&) {
    HttpReply reply = HttpReply::half_body(Bytes(100000, 'c'));
    return reply;
  });
  EXPECT_EQ(download_url(server_.url("/big"), limits), "");
  HttpResponse response = get(server_.url("/big-unannounced"), limits);
  EXPECT_FALSE(response.complete);
  EXPECT_LE(response.body.size(), 1000u);
  EXPECT_EQ(response.error, "body over the size cap");
  EXPECT_EQ(download_url(server_.url("/big-unannounced"), limits), "");
  limits.max_body_bytes = 50000;  // exactly the size is still allowed
  EXPECT_EQ(download_url(server_.url("/big"), limits), Bytes(50000, 'b'));
}

TEST_F(Http, NoCacheHeadersSentOnlyWhenAsked) {
  server_.on("/v", HttpReply::ok("1"));
  HttpRequest request;
  request.url = server_.url("/v");
  request.limits = kQuick;
  request.user_agent = "text";
  request.no_cache = true;
  ASSERT_TRUE(http_get(request).complete);
  request.no_cache = false;
  request.user_agent.clear();
  ASSERT_TRUE(http_get(request).complete);
  auto requests = server_.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].header("Cache-Control"), "no-cache");
  EXPECT_EQ(requests[0].header("Pragma"), "no-cache");
  EXPECT_EQ(requests[0].header("User-Agent"), "text");
  EXPECT_FALSE(requests[1].has_header("Cache-Control"));
  EXPECT_FALSE(requests[1].has_header("Pragma"));
  EXPECT_FALSE(requests[1].has_header("User-Agent"));
}

TEST_F(Http, GbkUrlIsPercentEscapedAsItStands) {
  server_.on("/推广1.txt", HttpReply::ok("never matched: the path arrives escaped"));
  server_.on("/%CD%C6%B9%E31.txt", HttpReply::ok("promo"));
  EXPECT_EQ(download_url(server_.url("/推广1.txt") + "?q=a b&x=%41", kQuick), "promo");
  auto requests = server_.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].target, "/%CD%C6%B9%E31.txt?q=a%20b&x=%41");
}

// Worker threads download at the same time.
TEST_F(Http, DownloadsFromSeveralThreadsAtOnce) {
  for (int i = 0; i < 4; ++i) server_.on("/w" + std::to_string(i), HttpReply::ok("body " + std::to_string(i)));
  std::vector<Bytes> bodies(4);
  std::vector<std::thread> workers;
  for (int i = 0; i < 4; ++i) {
    workers.emplace_back([&, i] {
      for (int round = 0; round < 5; ++round) bodies[i] += download_url(server_.url("/w" + std::to_string(i)), kQuick);
    });
  }
  for (auto& worker : workers) worker.join();
  for (int i = 0; i < 4; ++i) {
    const Bytes one = "body " + std::to_string(i);
    EXPECT_EQ(bodies[i], one + one + one + one + one);
  }
}

TEST(HttpUrl, EscapesHighBytesAndBlanksOnly) {
  EXPECT_EQ(escape_url("http://h/a b\tc/中?x=1&y=%20#f"), "http://h/a%20b%09c/%D6%D0?x=1&y=%20#f");
  EXPECT_EQ(escape_url("\x80\xFF"), "%80%FF");
}

TEST(HttpUrl, OnlyHttpAndHttpsAreFetched) {
  EXPECT_EQ(download_url("file:///etc/hostname", kQuick), "");
  HttpResponse response = get("file:///etc/hostname");
  EXPECT_FALSE(response.complete);
  EXPECT_TRUE(response.body.empty());
}

TEST_F(Http, RedirectToAnotherSchemeIsRefused) {
  server_.on("/to-file", HttpReply::redirect("file:///etc/hostname"));
  HttpResponse response = get(server_.url("/to-file"));
  EXPECT_FALSE(response.complete);
  EXPECT_TRUE(response.body.empty());
}

}  // namespace
}  // namespace velk
