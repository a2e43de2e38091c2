// The artwork built into Velk: skin JPEGs, the home window's chrome GIFs and
// the browser window's strip GIFs at the sizes of the controls that show them.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "art/browser_window.h"
#include "art/main_window.h"
#include "art/skins.h"

namespace {

namespace mw = velk::art::main_window;
namespace bw = velk::art::browser_window;

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

std::uint8_t at(std::string_view bytes, size_t i) { return static_cast<std::uint8_t>(bytes[i]); }

// Walks the JPEG markers to the frame header; nullopt unless it is a
// baseline (SOF0) frame.
std::optional<Size> baseline_jpeg_size(std::string_view jpeg) {
  if (jpeg.size() < 4 || at(jpeg, 0) != 0xFF || at(jpeg, 1) != 0xD8) return std::nullopt;
  size_t i = 2;
  while (i + 4 <= jpeg.size()) {
    if (at(jpeg, i) != 0xFF) return std::nullopt;
    const std::uint8_t marker = at(jpeg, i + 1);
    const size_t length = at(jpeg, i + 2) << 8 | at(jpeg, i + 3);
    if (marker == 0xC0) {
      if (i + 9 > jpeg.size()) return std::nullopt;
      return Size{at(jpeg, i + 7) << 8 | at(jpeg, i + 8), at(jpeg, i + 5) << 8 | at(jpeg, i + 6)};
    }
    if (marker >= 0xC1 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
      return std::nullopt;  // progressive, lossless or arithmetic frame
    i += 2 + length;
  }
  return std::nullopt;
}

// A decoded GIF: size and each pixel's colour, or nullopt for a
// transparent pixel.
struct Picture {
  Size size;
  std::string rgb;
  std::string opaque;
  std::optional<std::uint32_t> colour(int x, int y) const {
    const size_t i = static_cast<size_t>(y) * size.width + x;
    if (!opaque[i]) return std::nullopt;
    return at(rgb, 3 * i) << 16 | at(rgb, 3 * i + 1) << 8 | at(rgb, 3 * i + 2);
  }
  bool has_transparency() const { return opaque.find('\0') != std::string::npos; }
};

struct Reader {
  std::string_view bytes;
  size_t offset = 0;
};

int read_from_memory(GifFileType* gif, GifByteType* out, int count) {
  auto* reader = static_cast<Reader*>(gif->UserData);
  const size_t n = std::min<size_t>(count, reader->bytes.size() - reader->offset);
  std::memcpy(out, reader->bytes.data() + reader->offset, n);
  reader->offset += n;
  return static_cast<int>(n);
}

std::optional<Picture> decode_gif(std::string_view bytes) {
  Reader reader{bytes};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, read_from_memory, &error);
  if (!gif) return std::nullopt;
  std::optional<Picture> picture;
  if (DGifSlurp(gif) == GIF_OK && gif->ImageCount >= 1) {
    const SavedImage& frame = gif->SavedImages[0];
    const ColorMapObject* map = frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif->SColorMap;
    GraphicsControlBlock control{};
    DGifSavedExtensionToGCB(gif, 0, &control);
    const int w = frame.ImageDesc.Width, h = frame.ImageDesc.Height;
    if (map && w == gif->SWidth && h == gif->SHeight) {
      picture = Picture{{w, h}, std::string(3 * w * h, '\0'), std::string(w * h, '\1')};
      for (int i = 0; i < w * h; ++i) {
        const int index = frame.RasterBits[i];
        if (index == control.TransparentColor || index >= map->ColorCount) {
          picture->opaque[i] = '\0';
          continue;
        }
        picture->rgb[3 * i] = static_cast<char>(map->Colors[index].Red);
        picture->rgb[3 * i + 1] = static_cast<char>(map->Colors[index].Green);
        picture->rgb[3 * i + 2] = static_cast<char>(map->Colors[index].Blue);
      }
    }
  }
  DGifCloseFile(gif, &error);
  return picture;
}

TEST(Artwork, SkinsAreBaselineJpegsOfTheirSizes) {
  const struct {
    std::string_view jpeg;
    Size size;
  } skins[] = {
      {velk::art::skins::skin1, {1680, 1050}}, {velk::art::skins::skin2, {1920, 1080}},
      {velk::art::skins::skin3, {1440, 900}},  {velk::art::skins::skin4, {1440, 900}},
      {velk::art::skins::skin5, {1920, 1200}},
  };
  int number = 0;
  for (const auto& skin : skins) {
    SCOPED_TRACE("skin " + std::to_string(++number));
    EXPECT_EQ(baseline_jpeg_size(skin.jpeg), skin.size);
    EXPECT_LT(skin.jpeg.size(), 400u * 1024);
    EXPECT_EQ(at(skin.jpeg, skin.jpeg.size() - 2) << 8 | at(skin.jpeg, skin.jpeg.size() - 1), 0xFFD9);
  }
}

// One picture of the chrome: its control's size, and whether it has
// transparent parts.
struct Piece {
  const char* name;
  std::string_view gif;
  Size size;
  bool shaped;
};

void expect_piece(const Piece& piece) {
  SCOPED_TRACE(piece.name);
  ASSERT_GE(piece.gif.size(), 6u);
  EXPECT_EQ(piece.gif.substr(0, 6), "GIF89a");
  const std::optional<Picture> picture = decode_gif(piece.gif);
  ASSERT_TRUE(picture.has_value()) << "does not decode";
  EXPECT_EQ(picture->size, piece.size);
  EXPECT_EQ(picture->has_transparency(), piece.shaped);
}

TEST(Artwork, ChromePicturesFitTheirControls) {
  // Shaped: pieces over the skin that are not rectangular, and the parts of
  // title bar buttons that reach below the strip.
  const Piece pieces[] = {
      {"title strip", mw::title_strip, {898, 40}, false},
      {"frame", mw::window_frame, {900, 600}, true},
      {"logo", mw::logo, {40, 40}, false},
      {"menu button", mw::menu_normal, {42, 40}, false},
      {"menu button pointed", mw::menu_hover, {42, 40}, false},
      {"skin button", mw::skin_normal, {43, 51}, true},
      {"skin button pointed", mw::skin_hover, {43, 51}, true},
      {"bar button", mw::float_normal, {45, 51}, true},
      {"bar button pointed", mw::float_hover, {45, 51}, true},
      {"close", mw::close_normal, {48, 46}, true},
      {"close pointed", mw::close_hover, {48, 46}, true},
      {"menu box", mw::menu_box, {100, 88}, true},
      {"feedback entry", mw::menu_feedback_normal, {96, 20}, false},
      {"feedback entry pointed", mw::menu_feedback_hover, {96, 20}, false},
      {"about entry", mw::menu_about_normal, {96, 20}, false},
      {"about entry pointed", mw::menu_about_hover, {96, 20}, false},
      {"update entry", mw::menu_update_normal, {96, 20}, false},
      {"update entry pointed", mw::menu_update_hover, {96, 20}, false},
      {"left arrow", mw::arrow_left_normal, {40, 75}, true},
      {"left arrow pointed", mw::arrow_left_hover, {40, 75}, true},
      {"right arrow", mw::arrow_right_normal, {40, 75}, true},
      {"right arrow pointed", mw::arrow_right_hover, {40, 75}, true},
      {"search frame", mw::search_frame, {500, 32}, true},
      {"address frame", mw::address_frame, {500, 32}, false},
      {"go", mw::go_normal, {30, 26}, false},
      {"go pointed", mw::go_hover, {30, 26}, false},
      {"search", mw::search_normal, {26, 26}, false},
      {"search pointed", mw::search_hover, {26, 26}, false},
      {"engine drop-down", mw::engine_drop_normal, {24, 26}, false},
      {"engine drop-down pointed", mw::engine_drop_hover, {24, 26}, false},
      {"engine popup", mw::engine_popup, {50, 107}, true},
      {"baidu choice", mw::engine_pick_baidu_normal, {48, 25}, false},
      {"sogou choice", mw::engine_pick_sogou_normal, {48, 25}, false},
      {"taobao choice", mw::engine_pick_taobao_normal, {48, 25}, false},
      {"taobao choice pointed", mw::engine_pick_taobao_hover, {48, 25}, false},
      {"collapse", mw::engine_collapse_normal, {48, 20}, false},
      {"collapse pointed", mw::engine_collapse_hover, {48, 20}, false},
      {"baidu logo", mw::engine_baidu_small, {26, 26}, false},
      {"sogou logo", mw::engine_sogou_small, {26, 26}, false},
      {"taobao logo", mw::engine_taobao_small, {26, 26}, false},
      {"baidu wide logo", mw::engine_baidu_wide, {80, 30}, true},
      {"sogou wide logo", mw::engine_sogou_wide, {80, 30}, true},
      {"taobao wide logo", mw::engine_taobao_wide, {80, 30}, true},
      {"tile hover bar", mw::tile_bar, {120, 20}, true},
      {"tile site picker", mw::tile_pick, {20, 20}, true},
  };
  for (const Piece& piece : pieces) expect_piece(piece);
}

TEST(Artwork, FrameIsARingAroundATransparentWindow) {
  const std::optional<Picture> frame = decode_gif(mw::window_frame);
  ASSERT_TRUE(frame.has_value());
  EXPECT_TRUE(frame->colour(0, 0).has_value());
  EXPECT_TRUE(frame->colour(899, 599).has_value());
  EXPECT_TRUE(frame->colour(450, 0).has_value());
  EXPECT_TRUE(frame->colour(0, 300).has_value());
  for (int y = 1; y < 599; ++y)
    for (int x = 1; x < 899; ++x)
      if (frame->colour(x, y)) FAIL() << "opaque pixel inside the frame at " << x << "," << y;
}

TEST(Artwork, FieldFramesArePlainWhiteWhereTheEditBoxesSit) {
  // The edit boxes (26 high) and the buttons inside the fields cover
  // x 3..width-4, y 3..28 of the frames; it must match them exactly.
  const struct {
    const char* name;
    std::string_view gif;
    int width;
  } fields[] = {
      {"home search frame", mw::search_frame, 500},
      {"address frame", mw::address_frame, 500},
      {"browser search frame", bw::search_frame, 300},
  };
  for (const auto& f : fields) {
    SCOPED_TRACE(f.name);
    const std::optional<Picture> field = decode_gif(f.gif);
    ASSERT_TRUE(field.has_value());
    ASSERT_EQ(field->size.width, f.width);
    for (int y = 3; y <= 28; ++y)
      for (int x = 3; x <= f.width - 4; ++x)
        if (field->colour(x, y) != 0xFFFFFFu) FAIL() << "not white at " << x << "," << y;
  }
}

TEST(Artwork, BrowserStripPicturesFitTheirControls) {
  // Shaped: pieces standing on the skin that are not rectangular, and the
  // badge where the buttons lie over it.
  const Piece pieces[] = {
      {"minimize", bw::minimize_normal, {42, 51}, true},
      {"minimize pointed", bw::minimize_hover, {42, 51}, true},
      {"close", bw::close_normal, {41, 40}, true},
      {"close pointed", bw::close_hover, {41, 40}, true},
      {"back", bw::back_normal, {26, 26}, false},
      {"back pointed", bw::back_hover, {26, 26}, false},
      {"forward", bw::forward_normal, {26, 26}, false},
      {"forward pointed", bw::forward_hover, {26, 26}, false},
      {"search frame", bw::search_frame, {300, 32}, true},
      {"emblem", bw::logo, {50, 50}, true},
      {"address badge", bw::address_badge, {48, 26}, true},
  };
  for (const Piece& piece : pieces) expect_piece(piece);
}

TEST(Artwork, CornerButtonsMeetAsOneTab) {
  // Minimize stands right against close: in every state pair the last
  // column of one and the first column of the other cover the same rows.
  for (const std::string_view minimize : {bw::minimize_normal, bw::minimize_hover})
    for (const std::string_view close : {bw::close_normal, bw::close_hover}) {
      const std::optional<Picture> left = decode_gif(minimize);
      const std::optional<Picture> right = decode_gif(close);
      ASSERT_TRUE(left && right);
      int covered = 0;
      for (int y = 0; y < left->size.height; ++y) {
        const bool in_left = left->colour(left->size.width - 1, y).has_value();
        const bool in_right = y < right->size.height && right->colour(0, y).has_value();
        EXPECT_EQ(in_left, in_right) << "row " << y;
        covered += in_left;
      }
      EXPECT_GT(covered, 20);  // a tab, not a sliver
      EXPECT_LT(covered, 40);  // clear of the address field's lower half
    }
}

TEST(Artwork, AddressBadgeShowsOnlyBetweenBackAndForward) {
  // Window columns: back 123..148, badge 136..183, forward 164..189. The
  // badge is opaque exactly where neither button lies, so it looks the same
  // whichever of them is drawn on top.
  constexpr int kBadgeLeft = 136, kBackEnd = 123 + 26, kForwardLeft = 164;
  const std::optional<Picture> badge = decode_gif(bw::address_badge);
  ASSERT_TRUE(badge.has_value());
  for (int x = 0; x < badge->size.width; ++x) {
    const int column = kBadgeLeft + x;
    const bool in_gap = column >= kBackEnd && column < kForwardLeft;
    for (int y = 0; y < badge->size.height; ++y)
      if (badge->colour(x, y).has_value() != in_gap)
        FAIL() << (in_gap ? "transparent" : "opaque") << " at " << x << "," << y;
  }
}

TEST(Artwork, TileBarRoundsItsLowerCornersAndThePickerFollowsItsOutline) {
  // The bar's top lies on the tile, its lower corners round off past the
  // tile's; the picker at 97,0 must show the skin exactly where the bar does,
  // or a square corner would stand out of the rounding.
  constexpr int kPickLeft = 97;
  const std::optional<Picture> bar = decode_gif(mw::tile_bar);
  const std::optional<Picture> pick = decode_gif(mw::tile_pick);
  ASSERT_TRUE(bar && pick);
  ASSERT_EQ(bar->size, (Size{120, 20}));
  ASSERT_EQ(pick->size, (Size{20, 20}));
  for (int x = 0; x < 120; ++x)
    EXPECT_TRUE(bar->colour(x, 0).has_value()) << "top row open at " << x;
  // The rounding, radius 9 like the tile faces', begins at row 11.
  for (int y = 0; y < 11; ++y) {
    EXPECT_TRUE(bar->colour(0, y).has_value()) << "left edge open at row " << y;
    EXPECT_TRUE(bar->colour(119, y).has_value()) << "right edge open at row " << y;
  }
  for (const int x : {0, 1, 118, 119})
    for (const int y : {18, 19}) EXPECT_FALSE(bar->colour(x, y).has_value()) << x << "," << y;
  for (int x = 9; x < 111; ++x)
    EXPECT_TRUE(bar->colour(x, 19).has_value()) << "bottom row open at " << x;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x)
      if (pick->colour(x, y).has_value() != bar->colour(kPickLeft + x, y).has_value())
        FAIL() << "picker and bar differ in shape at " << x << "," << y;
}

TEST(Artwork, EngineLogosTellTheEnginesApartByTheirBytes) {
  // The current engine is recognised by comparing the picture's bytes.
  EXPECT_NE(mw::engine_baidu_small, mw::engine_sogou_small);
  EXPECT_NE(mw::engine_baidu_small, mw::engine_taobao_small);
  EXPECT_NE(mw::engine_sogou_small, mw::engine_taobao_small);
  EXPECT_NE(mw::engine_baidu_wide, mw::engine_sogou_wide);
  EXPECT_NE(mw::engine_baidu_wide, mw::engine_taobao_wide);
  EXPECT_NE(mw::engine_sogou_wide, mw::engine_taobao_wide);
}

}  // namespace
