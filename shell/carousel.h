#pragma once
// The panel carousel of the home window: the tile area and the two panels
// take turns in the same place, moved by the two arrows. A panel is shown
// exactly when it stands at its place; the arrows test places, not a stored
// state. The panels' contents come in parts of their own.
#include "toolkit/form.h"

namespace velk {

tk::FormPart CarouselPart();

}  // namespace velk
