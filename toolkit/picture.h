#pragma once
// Picture bytes (GIF, JPEG, BMP) decoded for drawing. Pictures come from the
// network and from files the user may have replaced: bytes that do not decode
// give no image, never a crash.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "toolkit/types.h"

namespace velk::tk {

enum class PictureFormat { Unknown, Gif, Jpeg, Bmp };

PictureFormat sniff_picture(std::string_view bytes);

// Pixels as 0xAARRGGBB with premultiplied alpha, row by row (what cairo's
// ARGB32 surfaces hold); transparent GIF pixels are 0.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Larger pictures than this are refused (a hostile header could otherwise
// ask for gigabytes).
inline constexpr int kMaxPictureSide = 10000;
inline constexpr int64_t kMaxPicturePixels = 40'000'000;
// A background may have this many pixels per pixel of its box (a skin of
// 1920x1200 behind a 900x600 window has 4.3), and always a million.
inline constexpr int64_t kBackgroundPixelsPerShown = 16;
inline constexpr int64_t kBackgroundPixelsAlways = 1'000'000;

// Decodes the first frame; the frames after it are never read. `at_least`:
// a JPEG is decoded at the smallest scale n/8 of its size that still covers
// this size (thumbnails, skins), and a picture with far more pixels than
// that size (kBackgroundPixelsPerShown) gives no image. `visible`: for a
// picture drawn at its own
// size from the top left of a control this size, only that part of it is
// kept (a GIF or JPEG declaring a huge size costs what the control shows).
std::optional<Image> decode_picture(std::string_view bytes, Size at_least = {}, Size visible = {});

// Where a background picture goes in a control of `box` size: a picture at
// least as large as the box in both directions is scaled to cover it and
// centred; a smaller one stands at the top left in its own size.
Rect background_placement(Size picture, Size box);

}  // namespace velk::tk
