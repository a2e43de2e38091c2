#pragma once
// Pictures made on the spot for toolkit tests: BMP written by hand, JPEG
// through libjpeg, GIF through giflib, so a test states exactly which pixels
// it expects.
#include <gif_lib.h>
#include <jpeglib.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/text.h"

namespace velk::test {

// 0xRRGGBB for each pixel.
using PixelFn = std::function<uint32_t(int x, int y)>;

inline void put_le(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A 24-bit bottom-up BMP.
inline Bytes make_bmp(int w, int h, const PixelFn& pixel) {
  const uint32_t stride = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
  Bytes b = "BM";
  put_le(b, 54 + stride * h, 4);
  put_le(b, 0, 4);
  put_le(b, 54, 4);
  put_le(b, 40, 4);
  put_le(b, static_cast<uint32_t>(w), 4);
  put_le(b, static_cast<uint32_t>(h), 4);
  put_le(b, 1, 2);
  put_le(b, 24, 2);
  for (int i = 0; i < 6; ++i) put_le(b, 0, 4);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      uint32_t c = pixel(x, y);
      b.push_back(static_cast<char>(c & 0xFF));
      b.push_back(static_cast<char>((c >> 8) & 0xFF));
      b.push_back(static_cast<char>((c >> 16) & 0xFF));
    }
    for (uint32_t pad = static_cast<uint32_t>(w) * 3; pad < stride; ++pad) b.push_back(0);
  }
  return b;
}

inline Bytes solid_bmp(int w, int h, uint32_t rgb) {
  return make_bmp(w, h, [rgb](int, int) { return rgb; });
}

inline Bytes make_jpeg(int w, int h, const PixelFn& pixel, int quality = 92) {
  jpeg_compress_struct info;
  jpeg_error_mgr err;
  info.err = jpeg_std_error(&err);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = static_cast<JDIMENSION>(w);
  info.image_height = static_cast<JDIMENSION>(h);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> row(static_cast<size_t>(w) * 3);
  while (info.next_scanline < info.image_height) {
    int y = static_cast<int>(info.next_scanline);
    for (int x = 0; x < w; ++x) {
      uint32_t c = pixel(x, y);
      row[x * 3] = (c >> 16) & 0xFF;
      row[x * 3 + 1] = (c >> 8) & 0xFF;
      row[x * 3 + 2] = c & 0xFF;
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  Bytes b(reinterpret_cast<char*>(out), size);
  jpeg_destroy_compress(&info);
  free(out);
  return b;
}

// The four colours of make_gif's palette, by index.
inline constexpr uint32_t kGifPalette[4] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

// A GIF of `frames` frames of w x h, each pixel a palette index 0..3 from
// `index`. Only the first frame is encoded; the others repeat its bytes, so
// that a picture of many large frames is made in no time. `interlaced`
// writes the rows in the four passes of an interlaced GIF.
inline Bytes make_gif(int w, int h, int frames, const std::function<int(int x, int y)>& index,
                      bool interlaced = false) {
  std::string out;
  auto write = [](GifFileType* gif, const GifByteType* data, int size) {
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), size);
    return size;
  };
  int error = 0;
  GifFileType* gif = EGifOpen(&out, write, &error);
  GifColorType colours[4];
  for (int i = 0; i < 4; ++i)
    colours[i] = {static_cast<GifByteType>(kGifPalette[i] >> 16), static_cast<GifByteType>(kGifPalette[i] >> 8),
                  static_cast<GifByteType>(kGifPalette[i])};
  ColorMapObject* map = GifMakeMapObject(4, colours);
  EGifPutScreenDesc(gif, w, h, 2, 0, map);
  const size_t frame_start = out.size();
  EGifPutImageDesc(gif, 0, 0, w, h, interlaced, nullptr);
  std::vector<GifPixelType> line(static_cast<size_t>(w));
  auto put_row = [&](int y) {
    for (int x = 0; x < w; ++x) line[static_cast<size_t>(x)] = static_cast<GifPixelType>(index(x, y));
    EGifPutLine(gif, line.data(), w);
  };
  if (interlaced) {
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int y = start[pass]; y < h; y += step[pass]) put_row(y);
  } else {
    for (int y = 0; y < h; ++y) put_row(y);
  }
  EGifCloseFile(gif, &error);  // writes the trailer
  GifFreeMapObject(map);
  const std::string frame = out.substr(frame_start, out.size() - 1 - frame_start);
  out.pop_back();
  for (int f = 1; f < frames; ++f) out += frame;
  out += ';';
  return out;
}

// Colour distance per channel, for pixels that went through JPEG or scaling.
inline bool near_colour(uint32_t a, uint32_t b, int tolerance) {
  for (int shift : {16, 8, 0}) {
    int da = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (da < -tolerance || da > tolerance) return false;
  }
  return true;
}

}  // namespace velk::test
