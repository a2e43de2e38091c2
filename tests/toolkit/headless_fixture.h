#pragma once
// A toolkit App on the headless backend, for model tests.
#include <gtest/gtest.h>

#include <memory>

#include "toolkit/app.h"
#include "toolkit/headless_backend.h"

namespace velk::test {

class HeadlessTest : public ::testing::Test {
 protected:
  HeadlessTest()
      : backend_(new tk::HeadlessBackend), app_(std::unique_ptr<tk::Backend>(backend_)) {}

  tk::App& app() { return app_; }
  tk::HeadlessBackend& backend() { return *backend_; }

  // Mouse actions at the centre of a control, through the hit test, as a
  // user's would arrive.
  static tk::Point centre(const tk::Control& c) {
    tk::Rect r = c.rect_in_window();
    return {r.left + r.width / 2, r.top + r.height / 2};
  }
  void hover(tk::Control& c) { app_.mouse_moved(c.form(), centre(c)); }
  void press(tk::Control& c) { app_.left_pressed(c.form(), centre(c)); }
  void click(tk::Control& c) {
    app_.left_pressed(c.form(), centre(c));
    app_.left_released(c.form(), centre(c));
  }

 private:
  tk::HeadlessBackend* backend_;  // owned by app_
  tk::App app_;
};

}  // namespace velk::test
