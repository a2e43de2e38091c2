#pragma once
// The home window on the headless backend with a suggestion service on
// loopback that answers each request on its own thread, and the three
// engines at addresses of their own.
#include <fstream>
#include <mutex>

#include "search/suggestions.h"
#include "shell/browser_window.h"
#include "tests/search/slow_http_server.h"
#include "tests/shell/shell_fixture.h"

namespace velk::test {

inline constexpr char kBaiduBase[] = "http://baidu.example:81";
inline constexpr char kSogouBase[] = "http://sogou.example:82";
inline constexpr char kTaobaoBase[] = "http://taobao.example:83";

class SearchTest : public ShellTest {
 protected:
  SearchTest()
      : suggest_([this](const std::string& target) {
          std::lock_guard lock(reply_mutex_);
          return reply_(target);
        }) {
    std::ofstream(dir_.native() + "/endpoints.ini")
        << "[endpoints]\r\nvendor=" << vendor_.base_url() << "\r\nsuggest=" << suggest_.base_url()
        << "\r\nbaidu=" << kBaiduBase << "\r\nsogou=" << kSogouBase << "\r\ntaobao=" << kTaobaoBase
        << "\r\n";
    setenv("VELK_ENDPOINTS", (dir_.native() + "/endpoints.ini").c_str(), 1);
    reload_endpoints_for_tests();
  }

  // Scripts the suggestion service (any thread may be asking it).
  void answer(std::function<SlowReply(const std::string& target)> reply) {
    std::lock_guard lock(reply_mutex_);
    reply_ = std::move(reply);
  }
  // Answers every request with these suggestions, at once.
  void answer_with(std::vector<std::string> items) {
    answer([items](const std::string&) { return SlowReply{0, 200, suggestion_reply(items)}; });
  }

  // The home window with its search box opened by a press on the hint.
  tk::Form& start_with_open_box() {
    tk::Form& w = start();
    press(w["透明标签2"]);
    return w;
  }
  // The user types: the box's text becomes `text`; then every worker ends.
  void type(tk::Form& w, const Text& text) {
    app().user_edited(w["编辑框2"], text);
    app().wait_for_workers();
  }
  void key(tk::Form& w, int virtual_key) {
    app().key_pressed(w, virtual_key);
    app().wait_for_workers();
  }
  std::size_t suggestion_requests() const { return suggest_.targets().size(); }

  // The browser window's page, or empty when it is not open.
  Text browser_address() {
    tk::Form* b = app().find(BrowserWindowDef());
    return b ? (*b)["超文本浏览框1"].address() : Text();
  }

  std::mutex reply_mutex_;
  std::function<SlowReply(const std::string&)> reply_ = [](const std::string&) {
    return SlowReply{0, 404, "not found"};
  };
  SlowHttpServer suggest_;
};

}  // namespace velk::test
