#include "toolkit/gtk/window_shape.h"

namespace velk::tk {

std::vector<Rect> KeptShapeRuns(const Image& picture, Size window, uint32_t cut) {
  std::vector<Rect> runs;
  const Rect place = background_placement({picture.width, picture.height}, window);
  if (place.width <= 0 || place.height <= 0) return {{0, 0, window.width, window.height}};
  cut &= 0xFFFFFF;
  for (int y = 0; y < window.height; ++y) {
    int run_start = -1;
    for (int x = 0; x <= window.width; ++x) {
      bool keep = false;
      if (x < window.width) {
        const int px = (x - place.left) * picture.width / place.width;
        const int py = (y - place.top) * picture.height / place.height;
        const bool inside = x >= place.left && y >= place.top && px < picture.width && py < picture.height;
        const uint32_t pixel = inside ? picture.at(px, py) : 0;
        keep = !inside || ((pixel >> 24) != 0 && (pixel & 0xFFFFFF) != cut);
      }
      if (keep && run_start < 0) run_start = x;
      if (!keep && run_start >= 0) {
        runs.push_back({run_start, y, x - run_start, 1});
        run_start = -1;
      }
    }
  }
  return runs;
}

}  // namespace velk::tk
