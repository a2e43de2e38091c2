#pragma once
// Small value types of the window toolkit: control kinds, pointers, events.
#include <cstdint>
#include <functional>

#include "platform/text.h"

namespace velk::tk {

class Control;
class Form;

enum class Kind {
  Window,
  PictureBox,
  Label,
  TransparentLabel,
  PictureButton,
  ShapeBox,       // a container frame
  EditBox,
  ListBox,
  HyperlinkBox,
  ListView,       // shown as an empty frame; nothing in the program fills it
  TabControl,
  Timer,
  BalloonTip,
  WebView,
};

// The pointer shown over a control.
enum class Pointer { Arrow, Hand, IBeam };

// Events with the parameters the windows use.
enum class Event {
  Created,         // window: before it is first shown
  Destroyed,       // window: after it closed
  MouseMoved,      // x, y in the control's own coordinates
  LeftPressed,     // x, y
  Clicked,         // pressed and released on the same control
  TextChanged,     // edit box, by the user or the program
  KeyPressed,      // key: Windows virtual-key code
  ItemSelected,    // list box: the user picked item `index`
  GotFocus,
  LostFocus,
  TimerFired,      // timer: its periodic event
  Feedback,        // label: window message 0x8075 with wparam, lparam
  NewWindow,       // web view: set `allow` false to forbid the new window
};

// Windows virtual-key codes used by the handlers.
namespace key {
inline constexpr int kBackspace = 8;
inline constexpr int kTab = 9;
inline constexpr int kEnter = 13;
inline constexpr int kEscape = 27;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kDelete = 46;
}  // namespace key

// Window messages the toolkit understands.
namespace msg {
inline constexpr int kNcMouseMove = 160;     // WM_NCMOUSEMOVE: accepted, no effect
inline constexpr int kNcLeftButtonDown = 161;  // WM_NCLBUTTONDOWN
inline constexpr int kHtCaption = 2;         // with 161: drag the window
inline constexpr int kLabelFeedback = 0x8075;  // raises the label's Feedback event
}  // namespace msg

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(Point, Point) = default;
};

struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(Size, Size) = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool contains(Point p) const {
    return width > 0 && height > 0 && p.x >= left && p.y >= top && p.x < left + width &&
           p.y < top + height;
  }
  friend bool operator==(Rect, Rect) = default;
};

struct EventArgs {
  Form& form;
  Control& control;
  Event event;
  int x = 0;
  int y = 0;
  int key = 0;
  int index = -1;
  intptr_t wparam = 0;
  intptr_t lparam = 0;
  bool allow = true;  // NewWindow: false forbids it
  Text address{};     // NewWindow: the address the page asked for (may be empty)
};

using Handler = std::function<void(EventArgs&)>;

}  // namespace velk::tk
