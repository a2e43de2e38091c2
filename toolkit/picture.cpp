#include "toolkit/picture.h"

#include <gif_lib.h>
#include <jpeglib.h>

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstring>
#include <memory>

namespace velk::tk {

namespace {

uint32_t argb(uint8_t r, uint8_t g, uint8_t b) {
  return 0xFF000000u | (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}

bool sane_size(int64_t w, int64_t h) {
  return w > 0 && h > 0 && w <= kMaxPictureSide && h <= kMaxPictureSide &&
         w * h <= kMaxPicturePixels;
}

// ---------------------------------------------------------------- GIF

struct GifSource {
  std::string_view bytes;
  size_t offset = 0;
};

int read_gif_bytes(GifFileType* gif, GifByteType* out, int wanted) {
  auto* src = static_cast<GifSource*>(gif->UserData);
  size_t n = std::min(static_cast<size_t>(std::max(wanted, 0)), src->bytes.size() - src->offset);
  std::memcpy(out, src->bytes.data() + src->offset, n);
  src->offset += n;
  return static_cast<int>(n);
}

// Rows of an interlaced image come in four passes.
int interlaced_row(int index, int height) {
  constexpr int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    const int rows = start[pass] < height ? (height - start[pass] + step[pass] - 1) / step[pass] : 0;
    if (index < rows) return start[pass] + index * step[pass];
    index -= rows;
  }
  return -1;
}

// Only the first frame is read, record by record: the frames after it are
// never decoded, however many and large they are.
std::optional<Image> decode_gif(std::string_view bytes, Size visible, int64_t cap) {
  GifSource src{bytes};
  int error = 0;
  GifFileType* gif = DGifOpen(&src, read_gif_bytes, &error);
  if (!gif) return std::nullopt;
  std::unique_ptr<GifFileType, void (*)(GifFileType*)> guard(gif, [](GifFileType* g) {
    int e = 0;
    DGifCloseFile(g, &e);
  });
  if (!sane_size(gif->SWidth, gif->SHeight) || int64_t{gif->SWidth} * gif->SHeight > cap) return std::nullopt;
  int transparent = NO_TRANSPARENT_COLOR;
  for (;;) {
    GifRecordType type;
    if (DGifGetRecordType(gif, &type) == GIF_ERROR) return std::nullopt;
    if (type == TERMINATE_RECORD_TYPE) return std::nullopt;
    if (type == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* block = nullptr;
      if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return std::nullopt;
      GraphicsControlBlock gcb;
      if (code == GRAPHICS_EXT_FUNC_CODE && block && DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK)
        transparent = gcb.TransparentColor;
      while (block)
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return std::nullopt;
      continue;
    }
    if (type == IMAGE_DESC_RECORD_TYPE) break;
  }
  if (DGifGetImageDesc(gif) == GIF_ERROR) return std::nullopt;
  const GifImageDesc& d = gif->Image;
  const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
  if (!map || !sane_size(d.Width, d.Height)) return std::nullopt;

  // Only the part that is shown is kept.
  Image img;
  img.width = visible.width > 0 ? std::min<int>(gif->SWidth, visible.width) : gif->SWidth;
  img.height = visible.height > 0 ? std::min<int>(gif->SHeight, visible.height) : gif->SHeight;
  img.pixels.assign(static_cast<size_t>(img.width) * img.height, 0);
  std::vector<GifPixelType> line(static_cast<size_t>(d.Width));
  for (int i = 0; i < d.Height; ++i) {
    // A truncated file still gives the rows read so far.
    if (DGifGetLine(gif, line.data(), d.Width) == GIF_ERROR) break;
    const int y = d.Interlace ? interlaced_row(i, d.Height) : i;
    const int cy = d.Top + y;
    if (!d.Interlace && cy >= img.height) break;  // the rest is out of sight
    if (y < 0 || cy < 0 || cy >= img.height) continue;
    for (int x = 0; x < d.Width; ++x) {
      const int cx = d.Left + x;
      if (cx < 0 || cx >= img.width) continue;
      const int index = line[static_cast<size_t>(x)];
      if (index == transparent || index >= map->ColorCount) continue;
      const GifColorType& c = map->Colors[index];
      img.pixels[static_cast<size_t>(cy) * img.width + cx] = argb(c.Red, c.Green, c.Blue);
    }
  }
  return img;
}

// ---------------------------------------------------------------- JPEG

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

constexpr bool kLittleEndian = std::endian::native == std::endian::little;
#ifdef JCS_EXTENSIONS
constexpr bool kJpegHasBgra = true;
constexpr J_COLOR_SPACE kJpegBgra = JCS_EXT_BGRA;
#else
constexpr bool kJpegHasBgra = false;
constexpr J_COLOR_SPACE kJpegBgra = JCS_RGB;
#endif

[[noreturn]] void jpeg_fail(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

void jpeg_quiet(j_common_ptr, int) {}

std::optional<Image> decode_jpeg(std::string_view bytes, Size at_least, Size visible, int64_t cap) {
  jpeg_decompress_struct info;
  JpegError err;
  info.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = jpeg_fail;
  err.mgr.emit_message = jpeg_quiet;
  // Everything the jump can skip lives outside this frame's locals.
  auto img = std::make_unique<Image>();
  std::vector<uint8_t> row;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&info);
    return std::nullopt;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  if (!sane_size(info.image_width, info.image_height)) {
    jpeg_destroy_decompress(&info);
    return std::nullopt;
  }
  // Each output pixel as a whole 0xFFRRGGBB word where the library can (its
  // BGRA order is that word on a little-endian machine).
  constexpr bool direct = kLittleEndian && kJpegHasBgra;
  info.out_color_space = direct ? kJpegBgra : JCS_RGB;
  // The smallest scale n/8 whose output still covers `at_least` (the
  // library's IDCT does the reduction, at a fraction of the full cost).
  info.scale_num = 8;
  info.scale_denom = 8;
  if (at_least.width > 0 && at_least.height > 0) {
    for (unsigned n = 1; n < 8; ++n) {
      if ((info.image_width * n + 7) / 8 >= static_cast<unsigned>(at_least.width) &&
          (info.image_height * n + 7) / 8 >= static_cast<unsigned>(at_least.height)) {
        info.scale_num = n;
        break;
      }
    }
  }
  jpeg_calc_output_dimensions(&info);
  if (int64_t{info.output_width} * info.output_height > cap) {
    jpeg_destroy_decompress(&info);
    return std::nullopt;
  }
  jpeg_start_decompress(&info);
  if (info.output_components != (direct ? 4 : 3)) {
    jpeg_destroy_decompress(&info);
    return std::nullopt;
  }
  // Only the part that is shown is kept: rows below it are not decoded.
  const int full_width = static_cast<int>(info.output_width);
  img->width = visible.width > 0 ? std::min(full_width, visible.width) : full_width;
  img->height = static_cast<int>(info.output_height);
  if (visible.height > 0) img->height = std::min(img->height, visible.height);
  img->pixels.assign(static_cast<size_t>(img->width) * img->height, 0);
  // Whole rows of 32-bit pixels go straight into the image; others pass
  // through one row of the library's output.
  const bool in_place = direct && img->width == full_width;
  if (!in_place) row.resize(static_cast<size_t>(full_width) * (direct ? 4 : 3));
  while (info.output_scanline < static_cast<JDIMENSION>(img->height)) {
    int y = static_cast<int>(info.output_scanline);
    uint32_t* out = &img->pixels[static_cast<size_t>(y) * img->width];
    JSAMPROW rows[1] = {in_place ? reinterpret_cast<JSAMPROW>(out) : row.data()};
    if (jpeg_read_scanlines(&info, rows, 1) != 1) break;
    if (in_place) continue;
    if (direct)
      std::memcpy(out, row.data(), static_cast<size_t>(img->width) * 4);
    else
      for (int x = 0; x < img->width; ++x) out[x] = argb(row[x * 3], row[x * 3 + 1], row[x * 3 + 2]);
  }
  // What lies below the shown part is never decoded.
  jpeg_abort_decompress(&info);
  jpeg_destroy_decompress(&info);
  return std::move(*img);
}

// ---------------------------------------------------------------- BMP

uint32_t le32(std::string_view b, size_t at) {
  if (at + 4 > b.size()) return 0;
  auto u = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(b[at + i])); };
  return u(0) | u(1) << 8 | u(2) << 16 | u(3) << 24;
}
uint32_t le16(std::string_view b, size_t at) {
  if (at + 2 > b.size()) return 0;
  return static_cast<uint8_t>(b[at]) | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8;
}

std::optional<Image> decode_bmp(std::string_view b, int64_t cap) {
  if (b.size() < 26) return std::nullopt;
  const size_t pixel_offset = le32(b, 10);
  const uint32_t header_size = le32(b, 14);
  int64_t w, h;
  unsigned bits, compression = 0, colours = 0;
  if (header_size == 12) {  // the old core header
    w = le16(b, 18);
    h = static_cast<int16_t>(le16(b, 20));
    bits = le16(b, 24);
  } else if (header_size >= 40 && b.size() >= 54) {
    w = static_cast<int32_t>(le32(b, 18));
    h = static_cast<int32_t>(le32(b, 22));
    bits = le16(b, 28);
    compression = le32(b, 30);
    colours = le32(b, 46);
  } else {
    return std::nullopt;
  }
  const bool top_down = h < 0;
  h = h < 0 ? -h : h;
  if (!sane_size(w, h) || int64_t{w} * h > cap) return std::nullopt;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;
  if (!(compression == 0 || (compression == 3 && bits == 32))) return std::nullopt;

  std::vector<uint32_t> palette;
  if (bits <= 8) {
    size_t count = colours ? colours : (1u << bits);
    count = std::min<size_t>(count, 256);
    size_t entry = header_size == 12 ? 3 : 4;
    size_t at = 14 + header_size;
    for (size_t i = 0; i < count && at + i * entry + 3 <= b.size(); ++i) {
      auto c = [&](size_t k) { return static_cast<uint8_t>(b[at + i * entry + k]); };
      palette.push_back(argb(c(2), c(1), c(0)));
    }
    if (palette.empty()) return std::nullopt;
  }
  const size_t stride = ((static_cast<size_t>(w) * bits + 31) / 32) * 4;
  if (pixel_offset > b.size()) return std::nullopt;
  Image img;
  img.width = static_cast<int>(w);
  img.height = static_cast<int>(h);
  img.pixels.assign(static_cast<size_t>(w) * h, 0);
  for (int64_t row = 0; row < h; ++row) {
    size_t at = pixel_offset + static_cast<size_t>(row) * stride;
    if (at + stride > b.size()) break;  // truncated: what arrived is shown
    int64_t y = top_down ? row : h - 1 - row;
    uint32_t* out = &img.pixels[static_cast<size_t>(y) * w];
    auto byte = [&](size_t i) { return static_cast<uint8_t>(b[at + i]); };
    for (int64_t x = 0; x < w; ++x) {
      size_t ux = static_cast<size_t>(x);
      if (bits == 24) {
        out[x] = argb(byte(ux * 3 + 2), byte(ux * 3 + 1), byte(ux * 3));
      } else if (bits == 32) {
        out[x] = argb(byte(ux * 4 + 2), byte(ux * 4 + 1), byte(ux * 4));
      } else {
        unsigned per_byte = 8 / bits;
        unsigned shift = (per_byte - 1 - ux % per_byte) * bits;
        unsigned index = (byte(ux / per_byte) >> shift) & ((1u << bits) - 1);
        out[x] = index < palette.size() ? palette[index] : 0xFF000000u;
      }
    }
  }
  return img;
}

}  // namespace

PictureFormat sniff_picture(std::string_view b) {
  if (b.size() >= 6 && (b.substr(0, 6) == "GIF89a" || b.substr(0, 6) == "GIF87a"))
    return PictureFormat::Gif;
  if (b.size() >= 3 && static_cast<uint8_t>(b[0]) == 0xFF && static_cast<uint8_t>(b[1]) == 0xD8 &&
      static_cast<uint8_t>(b[2]) == 0xFF)
    return PictureFormat::Jpeg;
  if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M') return PictureFormat::Bmp;
  return PictureFormat::Unknown;
}

std::optional<Image> decode_picture(std::string_view bytes, Size at_least, Size visible) {
  // A background is scaled to its box: a picture with far more pixels than
  // the box shows (after a JPEG's own reduction) is refused rather than
  // decoded in full.
  int64_t cap = kMaxPicturePixels;
  if (at_least.width > 0 && at_least.height > 0)
    cap = std::min(cap, std::max(int64_t{at_least.width} * at_least.height * kBackgroundPixelsPerShown,
                                 kBackgroundPixelsAlways));
  switch (sniff_picture(bytes)) {
    case PictureFormat::Gif: return decode_gif(bytes, visible, cap);
    case PictureFormat::Jpeg: return decode_jpeg(bytes, at_least, visible, cap);
    case PictureFormat::Bmp: return decode_bmp(bytes, cap);
    case PictureFormat::Unknown: return std::nullopt;
  }
  return std::nullopt;
}

Rect background_placement(Size picture, Size box) {
  if (picture.width <= 0 || picture.height <= 0) return {};
  if (picture.width < box.width || picture.height < box.height)
    return {0, 0, picture.width, picture.height};
  double scale = std::max(static_cast<double>(box.width) / picture.width,
                          static_cast<double>(box.height) / picture.height);
  int w = static_cast<int>(picture.width * scale + 0.5);
  int h = static_cast<int>(picture.height * scale + 0.5);
  w = std::max(w, box.width);
  h = std::max(h, box.height);
  return {(box.width - w) / 2, (box.height - h) / 2, w, h};
}

}  // namespace velk::tk
