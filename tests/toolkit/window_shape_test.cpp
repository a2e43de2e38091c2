// The shape a window's background picture cuts: which runs of each row stay.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/gtk/window_shape.h"

namespace velk::tk {
namespace {

constexpr uint32_t O = 0xFF2050C0;  // an opaque pixel that stays
constexpr uint32_t K = 0xFF000000;  // black, the cut colour
constexpr uint32_t T = 0x00000000;  // transparent

Image picture(int w, int h, std::vector<uint32_t> pixels) { return Image{w, h, std::move(pixels)}; }

std::string runs_text(const std::vector<Rect>& runs) {
  std::string text;
  for (const Rect& r : runs)
    text += "(" + std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.width) + ")";
  return text;
}

TEST(WindowShape, KeptRunsFollowThePictureAsTheBackgroundRulePlacesIt) {
  struct Case {
    const char* what;
    Image image;
    Size window;
    const char* runs;  // (left,top width) of each kept run, rows from the top
  };
  const std::vector<Case> cases = {
      {"a cut pixel splits its row", picture(4, 2, {O, K, O, O, O, O, O, O}), {4, 2}, "(0,0 1)(2,0 2)(0,1 4)"},
      {"transparent pixels are cut too", picture(3, 1, {T, O, T}), {3, 1}, "(1,0 1)"},
      {"a row cut whole keeps nothing", picture(2, 2, {K, K, O, O}), {2, 2}, "(0,1 2)"},
      {"a smaller picture stands at the top left; the rest is kept", picture(1, 1, {K}), {3, 2},
       "(1,0 2)(0,1 3)"},
      {"a larger picture is scaled down to cover", picture(4, 4, {K, K, O, O, K, K, O, O, O, O, O, O, O, O, O, O}),
       {2, 2}, "(1,0 1)(0,1 2)"},
      {"a wider picture is centred: its edges fall outside", picture(4, 2, {K, O, O, K, O, O, O, O}), {2, 2},
       "(0,0 2)(0,1 2)"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(runs_text(KeptShapeRuns(c.image, c.window, 0x000000)), c.runs) << c.what;
}

TEST(WindowShape, OnlyTheGivenColourIsCut) {
  const Image image = picture(3, 1, {0xFFFF00FF, K, 0xFFFF00FF});
  EXPECT_EQ(runs_text(KeptShapeRuns(image, {3, 1}, 0xFF00FF)), "(1,0 1)");
  EXPECT_EQ(runs_text(KeptShapeRuns(image, {3, 1}, 0xFFFF00FF)), "(1,0 1)") << "the alpha byte of the colour is ignored";
}

}  // namespace
}  // namespace velk::tk
