#pragma once
// The twelve navigation tiles of the home window in their tile area: the
// hover highlight with the tile's title, the click that opens its address,
// the reload of titles and addresses from the tiles file every second, and
// the promotion slots at the foot of the area.
#include "platform/text.h"
#include "toolkit/form.h"

namespace velk {

tk::FormPart TilesPart();

// Titles and addresses of all twelve tiles from the tiles file, with one
// parse (start-up). A file larger than any tiles file reads as empty.
void ReadTilesFile();

}  // namespace velk
