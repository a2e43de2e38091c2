#pragma once
// The five skin pictures built into the program, one per skin name.
#include <string_view>

#include "platform/text.h"

namespace velk {

// The picture of "皮肤1" ... "皮肤5" (exact comparison); empty for any other
// name, which leaves the designed background.
std::string_view SkinPictureFor(const Text& skin_name);

}  // namespace velk
