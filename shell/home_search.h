#pragma once
// The home window's search row: the engine logo and its popup, the search
// box with its hint, keys and suggestion list, and the search button.
#include "toolkit/form.h"

namespace velk {

tk::FormPart HomeSearchRowPart();

}  // namespace velk
