#include "platform/endpoints.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/files.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"

namespace velk {
namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

// Sets VELK_ENDPOINTS for one test; endpoints are read afresh.
class Endpoints : public ::testing::Test {
 protected:
  void TearDown() override {
    ::unsetenv("VELK_ENDPOINTS");
    reload_endpoints_for_tests();
  }
  void use_file(const Bytes& content) {
    const Text file = dir_.path("endpoints.ini");
    ASSERT_TRUE(write_file(file, content));
    use_path(native_path(file));
  }
  void use_path(const std::string& path) {
    ::setenv("VELK_ENDPOINTS", path.c_str(), 1);
    reload_endpoints_for_tests();
  }
  test::TempDir dir_;
};

TEST_F(Endpoints, DefaultsWithoutTheVariable) {
  ::unsetenv("VELK_ENDPOINTS");
  reload_endpoints_for_tests();
  struct {
    const char* key;
    const char* address;
  } defaults[] = {
      {"vendor", "http://www.velk-browser.com"},   {"baidu", "https://www.baidu.com"},
      {"sogou", "https://www.sogou.com"},          {"taobao", "https://s.taobao.com"},
      {"suggest", "http://suggestion.baidu.com"},  {"guokr", "https://www.guokr.com"},
      {"huanqiu", "https://www.huanqiu.com"},      {"huanqiu_finance", "https://finance.huanqiu.com"},
      {"baidu_news", "https://news.baidu.com"},    {"video", "https://www.youku.com"},
      {"smtp", "smtp://smtp.velk-browser.com:25"},
  };
  CaptureStderr();
  for (const auto& d : defaults) EXPECT_EQ(endpoint(d.key), d.address) << d.key;
  EXPECT_EQ(endpoint("nosuch"), "");
  EXPECT_EQ(GetCapturedStderr(), "");
}

TEST_F(Endpoints, OverrideFileReplacesTheKeysItNames) {
  use_file("[Endpoints]\r\nvendor = http://127.0.0.1:8081/\r\nSMTP=smtp://127.0.0.1:2525\r\n");
  CaptureStderr();
  EXPECT_EQ(endpoint("vendor"), "http://127.0.0.1:8081");  // trailing slash dropped
  EXPECT_EQ(endpoint("smtp"), "smtp://127.0.0.1:2525");
  EXPECT_EQ(endpoint("baidu"), "https://www.baidu.com");
  EXPECT_EQ(GetCapturedStderr(), "");
}

TEST_F(Endpoints, FileWithAChineseName) {
  const Text file = dir_.path("地址.ini");
  ASSERT_TRUE(write_file(file, "[endpoints]\r\nvideo=http://127.0.0.1:9\r\n"));
  use_path(native_path(file));  // the variable holds the UTF-8 name
  EXPECT_EQ(endpoint("video"), "http://127.0.0.1:9");
}

TEST_F(Endpoints, UnknownKeyIsReportedOnceAndAllDefaultsStay) {
  use_file("[endpoints]\r\nvendor=http://127.0.0.1:8081\r\nbiadu=http://127.0.0.1:1\r\n");
  CaptureStderr();
  EXPECT_EQ(endpoint("vendor"), "http://www.velk-browser.com");
  EXPECT_EQ(endpoint("baidu"), "https://www.baidu.com");
  EXPECT_EQ(endpoint("vendor"), "http://www.velk-browser.com");
  const std::string report = GetCapturedStderr();
  EXPECT_NE(report.find("unknown key 'biadu'"), std::string::npos) << report;
  EXPECT_EQ(report.find('\n'), report.size() - 1) << "reported more than once: " << report;
}

TEST_F(Endpoints, UnreadableFileIsReportedOnceAndDefaultsStay) {
  use_path(dir_.native() + "/missing.ini");
  CaptureStderr();
  EXPECT_EQ(endpoint("suggest"), "http://suggestion.baidu.com");
  EXPECT_EQ(endpoint("video"), "https://www.youku.com");
  const std::string report = GetCapturedStderr();
  EXPECT_NE(report.find("cannot be read"), std::string::npos) << report;
  EXPECT_EQ(report.find('\n'), report.size() - 1) << report;
}

TEST_F(Endpoints, NonAsciiKeyIsReportedInAscii) {
  use_file("[endpoints]\r\n百度=http://127.0.0.1:1\r\n");
  CaptureStderr();
  EXPECT_EQ(endpoint("baidu"), "https://www.baidu.com");
  const std::string report = GetCapturedStderr();
  EXPECT_NE(report.find("\\xB0\\xD9"), std::string::npos) << report;
  for (unsigned char c : report) EXPECT_LT(c, 0x80);
}

}  // namespace
}  // namespace velk
