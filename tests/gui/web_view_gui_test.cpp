// The web view on the real engine under X, with pages served on loopback:
// drawing, title, back and forward, requests for new windows, a control
// drawn above the page, a crashed web process, odd addresses, and the end of
// the engine's processes with the window. Driven with xdotool.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "tests/gui/web_processes.h"
#include "tests/support/loopback_http_server.h"
#include "tests/toolkit/test_pictures.h"
#include "toolkit/app.h"
#include "toolkit/gtk/gtk_backend.h"

namespace velk::tk {
namespace {

constexpr Point kFormAt{100, 100};
constexpr uint32_t kGreen = 0x20A040, kBlue = 0x2040C0, kRed = 0xCC2020, kOrange = 0xE09040;
constexpr uint32_t kPurple = 0x8030A0;

// The picture box stands above the top right of the web view.
const FormDef& web_form() {
  static const FormDef def{
      "WebForm",
      {kFormAt.x, kFormAt.y, 800, 500},
      {
          {"图片框1", Kind::PictureBox, 600, 20, 120, 80, "", Pointer::Hand},
          {"网页", Kind::WebView, 0, 40, 800, 460},
      },
  };
  return def;
}

// A UTF-8 page; `title` is GBK, like every literal of the program.
std::string page(const Text& title, uint32_t body, const std::string& inside = "") {
  char colour[8];
  std::snprintf(colour, sizeof colour, "#%06X", body);
  return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + gbk_to_utf8(title) +
         "</title></head><body style=\"margin:0;background:" + colour + "\">" + inside +
         "</body></html>";
}

test::HttpReply html(std::string body) {
  test::HttpReply r = test::HttpReply::ok(std::move(body), "text/html; charset=utf-8");
  r.headers.push_back({"Cache-Control", "no-store"});
  return r;
}

bool xdotool(const std::string& args) { return std::system(("xdotool " + args).c_str()) == 0; }

// A point of the form, on the screen.
std::string at(Point in_form) {
  return std::to_string(kFormAt.x + in_form.x) + " " + std::to_string(kFormAt.y + in_form.y);
}

uint32_t pixel(Point in_form) {
  return GtkBackend::screen_pixel(kFormAt.x + in_form.x, kFormAt.y + in_form.y).value_or(0xFFFFFFFF);
}


class WebViewOnGtk : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs an X display (the test command runs Xvfb)";
    server_.on("/green", html(page("绿色页面", kGreen)));
    server_.on("/red", html(page("Red", kRed)));
    server_.on("/blue", html(page("Blue", kBlue)));
    // A link asking for a new window, and a click target of the page itself.
    server_.on("/links", html(page("Links", kOrange,
        "<a href=\"/blue\" target=\"_blank\" style=\"display:block;width:300px;height:200px;"
        "background:#2040C0\">blue</a>"
        "<div onclick=\"document.title='page clicked'\" style=\"position:absolute;left:400px;"
        "top:100px;width:150px;height:150px;background:#8030A0\"></div>")));
    // Spins for good once loaded, with its title already shown.
    server_.on("/spin", html(page("Spin", kOrange, "<script>setTimeout(function () { for (;;) {} }, 300);</script>")));
    server_.on("/opener", html(page("Opener", kOrange,
        "<div onclick=\"window.open('/red')\" style=\"width:300px;height:200px;"
        "background:#8030A0\"></div>")));
    form_ = &app_.show(web_form());
    app_.wait_ms(300);
  }

  Control& view() { return (*form_)["网页"]; }
  // Writes the address and waits for the page's title.
  bool open(const std::string& path, const Text& title) {
    view().set_address(server_.url(path));
    return app_.run_until([&] { return view().title() == title; }, 15000);
  }
  // A point of the web view, in the form.
  static Point in_page(int x, int y) { return {x, 40 + y}; }

  test::LoopbackHttpServer server_;
  App app_{std::make_unique<GtkBackend>()};
  Form* form_ = nullptr;
};

TEST_F(WebViewOnGtk, ShowsThePageWithItsTitleAndAddress) {
  ASSERT_TRUE(open("/green", "绿色页面")) << "title '" << view().title() << "'";
  EXPECT_EQ(view().address(), server_.url("/green"));
  EXPECT_TRUE(app_.run_until([&] { return test::near_colour(pixel(in_page(300, 300)), kGreen, 8); }, 5000))
      << std::hex << pixel(in_page(300, 300));
  EXPECT_EQ(server_.request_count("/green"), 1u);
  EXPECT_TRUE(GtkBackend::save_screenshot("web_view_gui.png"));
}

TEST_F(WebViewOnGtk, TypedAddressWithoutSchemeOpens) {
  view().set_address("127.0.0.1:" + std::to_string(server_.port()) + "/red");
  EXPECT_TRUE(app_.run_until([&] { return view().title() == "Red"; }, 15000));
  EXPECT_EQ(view().address(), server_.url("/red"));
}

TEST_F(WebViewOnGtk, WritingTheSameAddressAgainReloads) {
  ASSERT_TRUE(open("/red", "Red"));
  view().set_address(server_.url("/red"));
  EXPECT_TRUE(app_.run_until([&] { return server_.request_count("/red") == 2; }, 10000));
}

TEST_F(WebViewOnGtk, BackAndForwardMoveThroughThePages) {
  ASSERT_TRUE(open("/red", "Red"));
  ASSERT_TRUE(open("/blue", "Blue"));
  view().go_back();
  ASSERT_TRUE(app_.run_until([&] { return view().title() == "Red"; }, 10000));
  EXPECT_EQ(view().address(), server_.url("/red"));
  EXPECT_TRUE(app_.run_until([&] { return test::near_colour(pixel(in_page(300, 300)), kRed, 8); }, 5000));
  view().go_forward();
  ASSERT_TRUE(app_.run_until([&] { return view().title() == "Blue"; }, 10000));
  EXPECT_EQ(view().address(), server_.url("/blue"));
  EXPECT_GE(server_.request_count("/red"), 1u);
  EXPECT_GE(server_.request_count("/blue"), 1u);
  // Nothing further: going forward at the end stays.
  view().go_forward();
  app_.wait_ms(500);
  EXPECT_EQ(view().title(), "Blue");
}

// What the browser window does: refuse, and open the link under the pointer
// in the same view.
TEST_F(WebViewOnGtk, RefusedNewWindowLinkOpensInTheSameView) {
  int asked = 0;
  Text asked_for;
  form_->bind("网页", Event::NewWindow, [&](EventArgs& e) {
    ++asked;
    asked_for = e.address;
    e.control.set_address(e.control.status_text());
    e.allow = false;
  });
  ASSERT_TRUE(open("/links", "Links"));
  const int windows = GtkBackend::shown_toplevel_count();

  // The status text is the link under the pointer, and empty off the link.
  ASSERT_TRUE(xdotool("mousemove " + at(in_page(150, 100))));
  ASSERT_TRUE(app_.run_until([&] { return view().status_text() == server_.url("/blue"); }, 5000))
      << "status '" << view().status_text() << "'";
  ASSERT_TRUE(xdotool("mousemove " + at(in_page(350, 300))));
  ASSERT_TRUE(app_.run_until([&] { return view().status_text().empty(); }, 5000));

  ASSERT_TRUE(xdotool("mousemove " + at(in_page(150, 100)) + " sleep 0.3 click 1"));
  ASSERT_TRUE(app_.run_until([&] { return view().title() == "Blue"; }, 10000));
  app_.wait_ms(1000);  // room for a second event or a window that should not come
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(asked_for, server_.url("/blue"));
  EXPECT_EQ(view().address(), server_.url("/blue"));
  EXPECT_EQ(GtkBackend::shown_toplevel_count(), windows);
  EXPECT_EQ(server_.request_count("/blue"), 1u) << "a hidden window loaded the page too";
  EXPECT_TRUE(test::near_colour(pixel(in_page(300, 300)), kBlue, 8));
  EXPECT_TRUE(GtkBackend::save_screenshot("web_view_new_window.png"));
}

TEST_F(WebViewOnGtk, RefusedWindowOpenOpensNothing) {
  int asked = 0;
  form_->bind("网页", Event::NewWindow, [&](EventArgs& e) {
    ++asked;
    e.allow = false;
  });
  ASSERT_TRUE(open("/opener", "Opener"));
  const int windows = GtkBackend::shown_toplevel_count();
  ASSERT_TRUE(xdotool("mousemove " + at(in_page(150, 100)) + " sleep 0.3 click 1"));
  ASSERT_TRUE(app_.run_until([&] { return asked > 0; }, 5000));
  app_.wait_ms(1000);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(view().title(), "Opener");
  EXPECT_EQ(server_.request_count("/red"), 0u);
  EXPECT_EQ(GtkBackend::shown_toplevel_count(), windows);
}

// With no handler refusing it, the page the script asked for comes into
// this view: the program has no second browser window.
TEST_F(WebViewOnGtk, AllowedWindowOpenComesIntoThisView) {
  int asked = 0;
  form_->bind("网页", Event::NewWindow, [&](EventArgs&) { ++asked; });
  ASSERT_TRUE(open("/opener", "Opener"));
  const int windows = GtkBackend::shown_toplevel_count();
  ASSERT_TRUE(xdotool("mousemove " + at(in_page(150, 100)) + " sleep 0.3 click 1"));
  ASSERT_TRUE(app_.run_until([&] { return view().title() == "Red"; }, 10000));
  app_.wait_ms(1000);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(view().address(), server_.url("/red"));
  EXPECT_EQ(server_.request_count("/red"), 1u);
  EXPECT_EQ(GtkBackend::shown_toplevel_count(), windows);
}

TEST_F(WebViewOnGtk, AllowedNewWindowLinkComesIntoThisView) {
  ASSERT_TRUE(open("/links", "Links"));  // no handler bound
  const int windows = GtkBackend::shown_toplevel_count();
  ASSERT_TRUE(xdotool("mousemove " + at(in_page(150, 100)) + " sleep 0.3 click 1"));
  ASSERT_TRUE(app_.run_until([&] { return view().title() == "Blue"; }, 10000));
  app_.wait_ms(1000);
  EXPECT_EQ(server_.request_count("/blue"), 1u);
  EXPECT_EQ(GtkBackend::shown_toplevel_count(), windows);
}

TEST_F(WebViewOnGtk, ControlAboveThePageShowsAndTakesTheClick) {
  Control& box = (*form_)["图片框1"];
  box.set_picture(test::solid_bmp(120, 80, kRed));
  int box_presses = 0, box_clicks = 0;
  form_->bind("图片框1", Event::LeftPressed, [&](EventArgs&) { ++box_presses; });
  form_->bind("图片框1", Event::Clicked, [&](EventArgs&) { ++box_clicks; });
  ASSERT_TRUE(open("/links", "Links"));
  ASSERT_TRUE(app_.run_until([&] { return test::near_colour(pixel(in_page(300, 300)), kOrange, 8); }, 5000));

  // Over the page: the picture box, red; beside it the page, orange.
  EXPECT_TRUE(test::near_colour(pixel({660, 80}), kRed, 8)) << std::hex << pixel({660, 80});
  EXPECT_TRUE(test::near_colour(pixel({660, 110}), kOrange, 8)) << std::hex << pixel({660, 110});
  EXPECT_TRUE(GtkBackend::save_screenshot("web_view_above.png"));

  // A click on the part of the box that covers the page goes to the box.
  ASSERT_TRUE(xdotool("mousemove " + at({660, 80}) + " sleep 0.2 click 1"));
  EXPECT_TRUE(app_.run_until([&] { return box_clicks == 1; }, 3000));
  EXPECT_EQ(box_presses, 1);
  app_.wait_ms(300);
  EXPECT_EQ(view().title(), "Links");

  // A click beside it reaches the page.
  ASSERT_TRUE(xdotool("mousemove " + at(in_page(470, 170)) + " sleep 0.2 click 1"));
  EXPECT_TRUE(app_.run_until([&] { return view().title() == "page clicked"; }, 5000));
  EXPECT_EQ(box_presses, 1);
}

TEST_F(WebViewOnGtk, ViewStaysUsableAfterItsWebProcessCrashed) {
  ASSERT_TRUE(open("/green", "绿色页面"));
  std::vector<int> before = web_processes();
  ASSERT_FALSE(before.empty()) << "no web process found";
  // As the kernel ends a process out of memory; the engine's own fault
  // handlers would take a SIGSEGV sent from outside for one of theirs.
  for (int pid : before) ::kill(pid, SIGKILL);
  ASSERT_TRUE(app_.run_until([&] {
    std::vector<int> now = web_processes();
    for (int pid : before)
      for (int p : now)
        if (p == pid) return false;
    return true;
  }, 5000));
  app_.wait_ms(300);
  ASSERT_TRUE(open("/red", "Red")) << "title '" << view().title() << "'";
  EXPECT_TRUE(app_.run_until([&] { return test::near_colour(pixel(in_page(300, 300)), kRed, 8); }, 5000));
}

// The page's process spins in a script: the next address still loads, by
// ending that process.
TEST_F(WebViewOnGtk, APageThatSpinsInAScriptDoesNotKeepTheViewFromTheNextAddress) {
  ASSERT_TRUE(open("/spin", "Spin"));
  app_.wait_ms(1000);  // spinning by now
  const auto asked = std::chrono::steady_clock::now();
  view().set_address(server_.url("/blue"));
  ASSERT_TRUE(app_.run_until([&] { return server_.request_count("/blue") > 0; }, 15000))
      << "the address never reached the server";
  std::printf("typed address to request at the server, page spinning: %lld ms\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - asked).count()));
  EXPECT_TRUE(app_.run_until([&] { return view().title() == "Blue"; }, 10000));
  EXPECT_TRUE(app_.run_until([&] { return test::near_colour(pixel(in_page(300, 300)), kBlue, 8); }, 5000));
  // Back to the spinning page and forward again work as well.
  view().go_back();
  ASSERT_TRUE(app_.run_until([&] { return view().title() == "Spin"; }, 10000));
  app_.wait_ms(1000);
  view().go_forward();
  EXPECT_TRUE(app_.run_until([&] { return view().title() == "Blue"; }, 15000));
}

// When the page's process dies, the view shows why instead of the last
// picture of the page as if it were alive.
TEST_F(WebViewOnGtk, ADeadPageProcessShowsOurTextInsteadOfTheLastPicture) {
  ASSERT_TRUE(open("/green", "绿色页面"));
  ASSERT_TRUE(app_.run_until([&] { return test::near_colour(pixel(in_page(300, 300)), kGreen, 8); }, 5000));
  for (int pid : web_processes()) ::kill(pid, SIGKILL);
  EXPECT_TRUE(app_.run_until([&] { return !test::near_colour(pixel(in_page(300, 300)), kGreen, 40); }, 10000))
      << "the dead page still shows";
  auto dark_pixels = [] {
    int dark = 0;
    for (uint32_t px : GtkBackend::screen_area({kFormAt.x, kFormAt.y + 40, 800, 460}))
      if (test::near_colour(px, 0x000000, 90)) ++dark;
    return dark;
  };
  EXPECT_TRUE(app_.run_until([&] { return dark_pixels() > 10; }, 10000)) << "no text in place of the page";
  GtkBackend::save_screenshot("web_view_dead_page.png");
  // And the next address loads as usual.
  ASSERT_TRUE(open("/red", "Red"));
}

TEST_F(WebViewOnGtk, EmptyAndScriptAddressesShowAnErrorPageAndRunNothing) {
  ASSERT_TRUE(open("/green", "绿色页面"));
  view().set_address("");
  ASSERT_TRUE(app_.run_until([&] { return view().address() == "about:invalid"; }, 5000))
      << "address '" << view().address() << "'";
  ASSERT_TRUE(open("/green", "绿色页面"));
  view().set_address("javascript:document.title='ran'");
  ASSERT_TRUE(app_.run_until([&] { return view().address() == "about:blocked"; }, 5000));
  app_.wait_ms(500);
  EXPECT_NE(view().title(), "ran");
  ASSERT_TRUE(open("/blue", "Blue"));
  view().set_address("http://[::1");
  app_.wait_ms(1000);
  ASSERT_TRUE(open("/red", "Red"));
}

TEST_F(WebViewOnGtk, ClosingTheWindowEndsItsWebProcess) {
  ASSERT_TRUE(open("/green", "绿色页面"));
  ASSERT_FALSE(web_processes().empty());
  app_.close(*form_);
  form_ = nullptr;
  EXPECT_TRUE(app_.run_until([] { return web_processes().empty(); }, 10000))
      << web_processes().size() << " web processes left";
}

// Without its engine module the web view shows why in place of a page, and
// the program goes on: no crash on navigating, going back or closing.
TEST(WebViewWithoutEngine, AMissingOrBrokenModuleShowsAnErrorTextInsteadOfAPage) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr);
  const std::string broken = std::filesystem::temp_directory_path() / "velk_broken_web_engine.so";
  std::ofstream(broken) << "not a shared object";
  for (const std::string& module : {std::string("/nonexistent/velk_web_engine.so"), broken}) {
    SCOPED_TRACE(module);
    GtkBackend::set_web_engine_module_for_tests(module);
    App app(std::make_unique<GtkBackend>());
    Form& form = app.show(web_form());
    Control& view = form["网页"];
    view.set_address("http://127.0.0.1:9/none");
    view.go_back();
    view.go_forward();
    app.wait_ms(500);
    EXPECT_EQ(view.title(), "");
    // The error text: dark glyphs somewhere in the middle band of the view.
    int dark = 0;
    for (uint32_t px : GtkBackend::screen_area({kFormAt.x, kFormAt.y + 40, 800, 460}))
      if (test::near_colour(px, 0x000000, 90)) ++dark;
    EXPECT_GT(dark, 10) << "no error text in place of the page";
    GtkBackend::save_screenshot("web_view_without_engine.png");
    app.close(form);
    app.wait_ms(100);
    EXPECT_FALSE(app.is_open(web_form()));
  }
  GtkBackend::set_web_engine_module_for_tests("");
  std::filesystem::remove(broken);
}

}  // namespace
}  // namespace velk::tk
