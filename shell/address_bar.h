#pragma once
// The address bar in the home window's title strip: the address box, its go
// button, its frame and the hint over the box while it is empty.
#include "toolkit/form.h"

namespace velk {

inline constexpr const char* kAddressRetryHint = "亲！先输入网址试试吧";

tk::FormPart AddressBarPart();

}  // namespace velk
