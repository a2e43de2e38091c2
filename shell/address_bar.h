#pragma once
// The address bar in the home window's title strip: the address box, its go
// button and the hint over the box while it is empty.
#include "toolkit/app.h"

namespace velk {

inline constexpr const char* kAddressRetryHint = "亲！先输入网址试试吧";

// Opens the typed address unless the box is empty or holds the hint itself.
void GoToTypedAddress();

// Handlers, bound in the home window's table.
void on_编辑框1_left_pressed(tk::EventArgs& e);
void on_编辑框1_text_changed(tk::EventArgs& e);
void on_编辑框1_key_pressed(tk::EventArgs& e);
void on_回车_clicked(tk::EventArgs& e);

}  // namespace velk
