// Picture decoding: the shipped GIFs, JPEG and BMP made here, and bytes that
// are truncated or hostile.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/codepage.h"
#include "tests/toolkit/test_pictures.h"
#include "toolkit/picture.h"

namespace velk::tk {
namespace {

// `relative` is GBK like every literal here; names on disk are UTF-8.
Bytes source_file(const Text& relative) {
  const char* root = std::getenv("VELK_SOURCE_DIR");
  std::ifstream in(std::string(root ? root : ".") + "/" + gbk_to_utf8(relative), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(Pictures, ShippedTileFacesDecodeAt120x73) {
  Bytes gif = source_file("install-tree/icon/标签1.gif");
  ASSERT_FALSE(gif.empty());
  auto img = decode_picture(gif);
  ASSERT_TRUE(img);
  EXPECT_EQ(img->width, 120);
  EXPECT_EQ(img->height, 73);
}

TEST(Pictures, BmpAndJpegKeepTheirPixels) {
  auto bmp = decode_picture(test::make_bmp(3, 2, [](int x, int y) { return x == 2 && y == 0 ? 0xFF0000u : 0x00FF00u; }));
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->at(2, 0), 0xFFFF0000u) << "top-right pixel of a bottom-up BMP";
  EXPECT_EQ(bmp->at(0, 1), 0xFF00FF00u);

  Bytes jpeg = test::make_jpeg(64, 32, [](int x, int) { return x < 32 ? 0x2060C0u : 0xE0E0E0u; });
  auto full = decode_picture(jpeg);
  ASSERT_TRUE(full);
  EXPECT_EQ(full->width, 64);
  EXPECT_TRUE(test::near_colour(full->at(5, 5), 0x2060C0, 12));
  // Scaled decoding for a thumbnail that still covers 16x8.
  auto small = decode_picture(jpeg, {16, 8});
  ASSERT_TRUE(small);
  EXPECT_EQ(small->width, 16);
  EXPECT_EQ(small->height, 8);
}

TEST(Pictures, AJpegIsDecodedAtTheSmallestEighthThatStillCoversTheBox) {
  // A skin-shaped picture: left half dark blue, right half light grey.
  const Bytes skin = test::make_jpeg(1440, 900, [](int x, int) { return x < 720 ? 0x2060C0u : 0xE0E0E0u; });
  struct Case {
    Size at_least;
    Size decoded;
  };
  const Case cases[] = {
      {{}, {1440, 900}},           // no box: the whole picture
      {{900, 600}, {1080, 675}},   // 6/8: the home window
      {{1080, 675}, {1080, 675}},  // exactly 6/8
      {{1081, 600}, {1260, 788}},  // one pixel more needs 7/8
      {{120, 70}, {180, 113}},     // 1/8: a thumbnail
      {{1440, 900}, {1440, 900}},
      {{2000, 100}, {1440, 900}},  // larger than the picture: whole
  };
  for (const Case& c : cases) {
    auto img = decode_picture(skin, c.at_least);
    ASSERT_TRUE(img) << c.at_least.width << "x" << c.at_least.height;
    EXPECT_EQ((Size{img->width, img->height}), c.decoded) << c.at_least.width << "x" << c.at_least.height;
    EXPECT_TRUE(test::near_colour(img->at(img->width / 4, img->height / 2), 0x2060C0, 12));
    EXPECT_TRUE(test::near_colour(img->at(img->width * 3 / 4, img->height / 2), 0xE0E0E0, 12));
    EXPECT_EQ(img->at(0, 0) >> 24, 0xFFu) << "opaque";
  }
}

TEST(Pictures, GifRowsLandInTheirPlacesInterlacedOrNot) {
  for (bool interlaced : {false, true}) {
    // Row y has colour index y % 4.
    auto img = decode_picture(test::make_gif(5, 19, 1, [](int, int y) { return y % 4; }, interlaced));
    ASSERT_TRUE(img) << interlaced;
    ASSERT_EQ((Size{img->width, img->height}), (Size{5, 19}));
    for (int y = 0; y < 19; ++y)
      EXPECT_EQ(img->at(3, y), 0xFF000000u | test::kGifPalette[y % 4]) << "row " << y << (interlaced ? ", interlaced" : "");
  }
}

// Resident memory a decode adds at its peak, measured in a child process of
// its own so that nothing else of the test program counts.
long decode_peak_mb(const Bytes& picture, Size at_least, Size visible, Size* decoded) {
  int pipe_fds[2];
  if (::pipe(pipe_fds) != 0) return -1;
  pid_t child = ::fork();
  if (child == 0) {
    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    auto img = decode_picture(picture, at_least, visible);
    ::getrusage(RUSAGE_SELF, &after);
    long report[3] = {(after.ru_maxrss - before.ru_maxrss) / 1024, img ? img->width : -1, img ? img->height : -1};
    if (::write(pipe_fds[1], report, sizeof report) != sizeof report) ::_exit(2);
    ::_exit(0);
  }
  ::close(pipe_fds[1]);
  long report[3] = {-1, -1, -1};
  const bool read_all = ::read(pipe_fds[0], report, sizeof report) == sizeof report;
  ::close(pipe_fds[0]);
  ::waitpid(child, nullptr, 0);
  if (!read_all) return -1;
  *decoded = {static_cast<int>(report[1]), static_cast<int>(report[2])};
  return report[0];
}

// Pictures whose declared size or frames would take gigabytes cost what the
// control shows.
TEST(Pictures, PictureBombsCostWhatTheControlShows) {
  // 100 frames of 4000x4000 (a 16 MB raster each), as a 120x73 tile face.
  const Bytes frames = test::make_gif(4000, 4000, 100, [](int x, int y) { return (x / 500 + y / 500) % 4; });
  // A JPEG declaring 9999x4000 whose data ends after its first rows.
  const Bytes huge = test::make_jpeg(9999, 4000, [](int, int) { return 0x808080u; }, 50).substr(0, 20000);
  struct Case {
    const char* what;
    const Bytes& picture;
    Size at_least, visible;
    Size decoded;
  };
  const Case cases[] = {
      {"100-frame GIF at its own size in a 120x73 box", frames, {}, {120, 73}, {120, 73}},
      {"100-frame GIF whole", frames, {}, {}, {4000, 4000}},
      {"100-frame GIF as the background of a 120x73 box: refused", frames, {120, 73}, {}, {-1, -1}},
      {"9999x4000 JPEG at its own size in a 120x73 box", huge, {}, {120, 73}, {120, 73}},
      {"9999x4000 JPEG as the background of a 120x73 box", huge, {120, 73}, {}, {1250, 500}},
  };
  for (const Case& c : cases) {
    Size decoded;
    const long mb = decode_peak_mb(c.picture, c.at_least, c.visible, &decoded);
    EXPECT_EQ(decoded, c.decoded) << c.what;
    // The whole first GIF frame is 64 MB of pixels; the other frames and the
    // parts out of sight must cost nothing more.
    EXPECT_GE(mb, 0) << c.what;
    EXPECT_LT(mb, 120) << c.what << ": " << mb << " MB at the peak";
  }
}

TEST(Pictures, BrokenBytesGiveNoImage) {
  Bytes gif = source_file("install-tree/icon/标签2.gif");
  ASSERT_GT(gif.size(), 100u);
  Bytes jpeg = test::make_jpeg(40, 40, [](int x, int y) { return static_cast<uint32_t>(x * y); });
  Bytes bmp = test::solid_bmp(40, 40, 0x123456);
  Bytes huge_bmp = bmp;
  huge_bmp[18] = '\xff';  // width 0xFF28: refused before any allocation
  huge_bmp[19] = '\xff';
  huge_bmp[22] = '\xff';
  huge_bmp[23] = '\xff';
  Bytes huge_gif = gif;
  huge_gif[6] = '\xff';  // logical screen 65535 wide
  huge_gif[7] = '\xff';
  huge_gif[8] = '\xff';
  huge_gif[9] = '\xff';
  const struct {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"empty", ""},
      {"text", "hello world"},
      {"GIF signature only", "GIF89a"},
      {"GIF header only", gif.substr(0, 13)},
      {"JPEG start marker only", "\xff\xd8\xff"},
      {"JPEG header only", jpeg.substr(0, 200)},
      {"BMP signature only", "BM"},
      {"BMP header, no pixels", bmp.substr(0, 54)},
      {"huge BMP", huge_bmp},
      {"huge GIF", huge_gif},
  };
  for (const auto& c : cases) {
    auto img = decode_picture(c.bytes);
    EXPECT_FALSE(img && img->width > 1000) << c.what;
  }
  EXPECT_FALSE(decode_picture("")) << "empty bytes";
  EXPECT_FALSE(decode_picture("hello")) << "not a picture";
  EXPECT_FALSE(decode_picture(huge_bmp)) << "huge BMP";
  EXPECT_FALSE(decode_picture(huge_gif)) << "huge GIF";
  // Every cut of a real picture decodes or fails without crashing; a cut GIF
  // or BMP still gives its full size with what arrived.
  for (const Bytes* whole : {&gif, &jpeg, &bmp})
    for (size_t n = 0; n < whole->size(); n += 7) {
      auto img = decode_picture(whole->substr(0, n));
      if (img) {
        EXPECT_GT(img->width, 0);
        EXPECT_EQ(img->pixels.size(), static_cast<size_t>(img->width) * img->height);
      }
    }
}

TEST(Pictures, BackgroundPlacementCoversLargerPicturesAndCentresThem) {
  struct Case {
    Size picture, box;
    Rect expected;
  };
  const Case cases[] = {
      // The five skin sizes on the 900x600 home window: cover, centred.
      {{1680, 1050}, {900, 600}, {-30, 0, 960, 600}},
      {{1920, 1080}, {900, 600}, {-83, 0, 1067, 600}},
      {{1440, 900}, {900, 600}, {-30, 0, 960, 600}},
      {{1920, 1200}, {900, 600}, {-30, 0, 960, 600}},
      {{1800, 1200}, {900, 600}, {0, 0, 900, 600}},
      {{900, 1000}, {900, 600}, {0, -200, 900, 1000}},
      {{120, 73}, {120, 73}, {0, 0, 120, 73}},
      // Not larger both ways: top left, its own size.
      {{100, 50}, {900, 600}, {0, 0, 100, 50}},
      {{2000, 40}, {900, 600}, {0, 0, 2000, 40}},
      {{0, 0}, {900, 600}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(background_placement(c.picture, c.box), c.expected)
        << c.picture.width << "x" << c.picture.height << " in " << c.box.width << "x" << c.box.height;
}

}  // namespace
}  // namespace velk::tk
