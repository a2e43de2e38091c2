// The GTK backend on a real X display: a small form with a skin, a
// transparent label over it, a picture button that changes when pointed at,
// an edit box that receives typed text and a control at a negative place.
// Driven with xdotool, checked by the pixels on the screen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/toolkit/test_pictures.h"
#include "toolkit/app.h"
#include "toolkit/gtk/gtk_backend.h"

namespace velk::tk {
namespace {

constexpr uint32_t kTeal = 0x3080A0, kOrange = 0xE09040;
constexpr uint32_t kRed = 0xCC2020, kGreen = 0x20A040, kBlue = 0x2040C0;
constexpr Point kFormAt{100, 100};

const FormDef& test_form() {
  static const FormDef def{
      "TestForm",
      {kFormAt.x, kFormAt.y, 400, 300},
      {
          {"透明标签1", Kind::TransparentLabel, 20, 20, 260, 30, "", Pointer::IBeam, 0, "透明标签 over the skin"},
          {"按钮1", Kind::PictureButton, 20, 80, 100, 40, "", Pointer::Hand},
          {"编辑框1", Kind::EditBox, 20, 140, 200, 26},
          {"图片框1", Kind::PictureBox, -30, 200, 100, 50},
      },
      {},
  };
  return def;
}

bool xdotool(const std::string& args) { return std::system(("xdotool " + args).c_str()) == 0; }

uint32_t pixel(Point in_form) {
  return GtkBackend::screen_pixel(kFormAt.x + in_form.x, kFormAt.y + in_form.y).value_or(0xFFFFFFFF);
}

TEST(ToolkitOnGtk, DrawsTheModelAndFeedsInputBack) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs an X display (the test command runs Xvfb)";
  App app(std::make_unique<GtkBackend>());
  Form& f = app.show(test_form());
  // Twice the form's size: scaled to cover, so the left half is teal and the
  // right half orange.
  f.window().set_background_picture(
      test::make_jpeg(800, 600, [](int x, int) { return x < 400 ? kTeal : kOrange; }));
  f["按钮1"].set_button_pictures(test::solid_bmp(100, 40, kRed), test::solid_bmp(100, 40, kGreen),
                                 Bytes(), Bytes());
  f["图片框1"].set_picture(test::solid_bmp(100, 50, kBlue));
  f["透明标签1"].style().font_px = 16;
  f["透明标签1"].style().bold = true;
  int text_changes = 0;
  f.bind("编辑框1", Event::TextChanged, [&](EventArgs&) { ++text_changes; });
  app.wait_ms(800);  // mapped and drawn

  // The skin, scaled to cover the window.
  EXPECT_TRUE(test::near_colour(pixel({100, 270}), kTeal, 24)) << std::hex << pixel({100, 270});
  EXPECT_TRUE(test::near_colour(pixel({300, 270}), kOrange, 24)) << std::hex << pixel({300, 270});

  // The transparent label: skin between the glyphs, dark text on it.
  EXPECT_TRUE(test::near_colour(pixel({275, 45}), kTeal, 24) ||
              test::near_colour(pixel({275, 45}), kOrange, 24));
  int dark = 0;
  for (int y = 22; y < 48; ++y)
    for (int x = 22; x < 120; x += 2)
      if (test::near_colour(pixel({x, y}), 0x000000, 60)) ++dark;
  EXPECT_GT(dark, 20) << "no text drawn in the transparent label";

  // The picture button, then pointed at.
  EXPECT_TRUE(test::near_colour(pixel({70, 100}), kRed, 8));
  EXPECT_FALSE(f["按钮1"].hovered());
  ASSERT_TRUE(xdotool("mousemove " + std::to_string(kFormAt.x + 70) + " " + std::to_string(kFormAt.y + 100)));
  EXPECT_TRUE(app.run_until([&] { return f["按钮1"].hovered(); }, 3000));
  app.wait_ms(300);
  EXPECT_TRUE(test::near_colour(pixel({70, 100}), kGreen, 8)) << std::hex << pixel({70, 100});

  // The control at a negative place: its right 70 pixels show at the left edge.
  EXPECT_TRUE(test::near_colour(pixel({0, 220}), kBlue, 8));
  EXPECT_TRUE(test::near_colour(pixel({69, 220}), kBlue, 8));
  EXPECT_TRUE(test::near_colour(pixel({72, 220}), kTeal, 24));

  // Typing into the edit box reaches the model.
  ASSERT_TRUE(xdotool("mousemove " + std::to_string(kFormAt.x + 120) + " " +
                      std::to_string(kFormAt.y + 153) + " click 1"));
  app.wait_ms(300);
  ASSERT_TRUE(xdotool("type --delay 20 abc"));
  EXPECT_TRUE(app.run_until([&] { return f["编辑框1"].text() == "abc"; }, 3000))
      << "edit box holds '" << f["编辑框1"].text() << "'";
  EXPECT_EQ(text_changes, 3);

  app.wait_ms(200);
  EXPECT_TRUE(GtkBackend::save_screenshot("toolkit_gui.png"));
  std::printf("screenshot: %s/toolkit_gui.png\n", std::getenv("PWD") ? std::getenv("PWD") : ".");
}

TEST(ToolkitOnGtk, PointerJumpingBetweenSiblingsMovesTheHover) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr);
  App app(std::make_unique<GtkBackend>());
  static const FormDef def{"MenuForm",
                           {300, 500, 200, 120},
                           {
                               {"菜单", Kind::PictureBox, 10, 10, 100, 88},
                               {"项1", Kind::PictureButton, 2, 11, 96, 20, "菜单"},
                               {"项2", Kind::PictureButton, 2, 32, 96, 20, "菜单"},
                           }};
  Form& f = app.show(def);
  for (const char* item : {"项1", "项2"})
    f[item].set_button_pictures(test::solid_bmp(96, 20, kRed), test::solid_bmp(96, 20, kGreen), Bytes(), Bytes());
  app.wait_ms(500);
  // One jump of the pointer onto each item, as a fast hand makes.
  ASSERT_TRUE(xdotool("mousemove 360 531"));
  EXPECT_TRUE(app.run_until([&] { return f["项1"].hovered(); }, 3000));
  ASSERT_TRUE(xdotool("mousemove 360 552"));
  EXPECT_TRUE(app.run_until([&] { return f["项2"].hovered() && !f["项1"].hovered(); }, 3000));
  app.wait_ms(300);
  EXPECT_TRUE(test::near_colour(GtkBackend::screen_pixel(360, 552).value_or(0), kGreen, 8));
  EXPECT_TRUE(test::near_colour(GtkBackend::screen_pixel(360, 531).value_or(0), kRed, 8));
}

TEST(ToolkitOnGtk, ShapedWindowCutsOutOneColour) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr);
  App app(std::make_unique<GtkBackend>());
  static const FormDef def{"ShapedForm", {600, 100, 200, 100}, {}};
  Form& f = app.show(def);
  // Black on the left half is cut out of the window; the right half stays.
  f.window().set_background_picture(
      test::make_bmp(200, 100, [](int x, int) { return x < 100 ? 0x000000u : kOrange; }));
  f.set_shape_colour(0x000000);
  app.wait_ms(600);
  const uint32_t root_before = GtkBackend::screen_pixel(650, 150).value_or(1);
  EXPECT_TRUE(test::near_colour(GtkBackend::screen_pixel(750, 150).value_or(0), kOrange, 8));
  // What shows through the cut-out half is the screen behind, not black
  // paint of ours: cover the screen behind with another window and look.
  static const FormDef behind{"Behind", {550, 50, 300, 200}, {}};
  Form& b = app.show(behind);
  b.window().set_background_picture(test::solid_bmp(300, 200, kGreen));
  app.wait_ms(300);
  f.window().set_visible(false);
  f.window().set_visible(true);  // raise the shaped window above it
  app.wait_ms(600);
  EXPECT_TRUE(test::near_colour(GtkBackend::screen_pixel(650, 150).value_or(0), kGreen, 8))
      << std::hex << GtkBackend::screen_pixel(650, 150).value_or(0) << " (before: " << root_before << ")";
  EXPECT_TRUE(test::near_colour(GtkBackend::screen_pixel(750, 150).value_or(0), kOrange, 8));
}

}  // namespace
}  // namespace velk::tk
