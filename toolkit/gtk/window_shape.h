#pragma once
// The shape of a window cut out of its background picture: what the window
// system is told to keep. A pure function, tested without a display.
#include <cstdint>
#include <vector>

#include "toolkit/picture.h"

namespace velk::tk {

// The runs of kept pixels, row by row from the top (each a rectangle one
// pixel high), of a window of `window` size whose background `picture` is
// placed by the background rule. Pixels of the colour `cut` (0xRRGGBB) and
// transparent pixels are cut out; what the picture does not cover is kept.
std::vector<Rect> KeptShapeRuns(const Image& picture, Size window, uint32_t cut);

}  // namespace velk::tk
