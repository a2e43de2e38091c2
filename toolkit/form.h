#pragma once
// A window: its declarative control table, its bindings and, once shown, the
// live controls.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/control.h"
#include "toolkit/worker.h"

namespace velk::tk {

// Design-time state flags of a control row.
enum ControlFlag : unsigned {
  kHidden = 1u << 0,
  kDisabled = 1u << 1,
  kMultiline = 1u << 2,
};

// One row of a window's control table, read like the table it comes from.
// An empty parent is the window itself.
struct ControlSpec {
  ControlSpec(std::string name, Kind kind, int left, int top, int width, int height,
              std::string parent = {}, Pointer pointer = Pointer::Arrow, unsigned flags = 0,
              Text caption = {}, int timer_period = 0, int page = -1)
      : name(std::move(name)), kind(kind), left(left), top(top), width(width), height(height),
        parent(std::move(parent)), pointer(pointer), flags(flags), caption(std::move(caption)),
        timer_period(timer_period), page(page) {}
  std::string name;
  Kind kind;
  int left = 0, top = 0, width = 0, height = 0;
  std::string parent;
  Pointer pointer = Pointer::Arrow;
  unsigned flags = 0;
  Text caption;
  int timer_period = 0;  // timers: design period
  int page = -1;         // children of a tab control: their page
  std::string part;      // the part that added the row; empty: the window's own
};

// Row helpers for the common rows, so tables read like the design tables.
// A timer with its design period (0: stopped).
inline ControlSpec TimerRow(std::string name, int period_ms) {
  return ControlSpec(std::move(name), Kind::Timer, 0, 0, 0, 0, {}, Pointer::Arrow, 0, {}, period_ms);
}
// A child of a tab control, shown while the control shows `page`.
inline ControlSpec OnPage(int page, ControlSpec row) {
  row.page = page;
  return row;
}

// Designed looks: the pictures and text style a control has from the start.
// Pictures are views of bytes built into the program.
struct DesignLook {
  DesignLook(std::string control, std::string_view picture = {}, std::string_view hover_picture = {},
             std::string_view background_picture = {}, std::optional<TextStyle> style = {})
      : control(std::move(control)), picture(picture), hover_picture(hover_picture),
        background_picture(background_picture), style(style) {}
  std::string control;  // empty: the window
  std::string_view picture, hover_picture, background_picture;
  std::optional<TextStyle> style;
};

// (control, event) -> handler. An empty control name is the window itself.
struct Binding {
  std::string control;
  Event event;
  Handler handler;
};

// A piece of a window kept in a file of its own (the tiles, the address bar,
// a panel): its rows, designed looks and bindings. Its handlers stay private
// to its file; the window adds the part to its definition.
struct FormPart {
  std::string name;  // named in the message when its rows clash with others
  std::vector<ControlSpec> controls;
  std::vector<DesignLook> looks;
  std::vector<Binding> bindings;

  // Takes in a part that this one is made with (a search row and its engine
  // popup); its rows keep their own part's name.
  FormPart& add(FormPart inner);
};

// Everything needed to create a window. Rows list top-level controls in
// z-order from top to bottom, then the children of each container (also top
// to bottom), as the design tables do.
struct FormDef {
  FormDef(std::string name, Rect design, std::vector<ControlSpec> controls,
          std::vector<Binding> bindings = {}, Text caption = {})
      : name(std::move(name)), design(design), controls(std::move(controls)),
        bindings(std::move(bindings)), caption(std::move(caption)) {}
  std::string name;
  Rect design;  // position on the screen and size
  std::vector<ControlSpec> controls;
  std::vector<Binding> bindings;
  Text caption;
  std::vector<DesignLook> looks;
  // The drawn top-level controls (not timers or balloon tips) from the top of
  // the z-order down, when the window's parts add them in another order; it
  // names each exactly once. Empty: the rows' own order.
  std::vector<std::string> stacking;

  // Appends a part's rows, looks and bindings. Clashing names are refused
  // when the window opens.
  FormDef& add(FormPart part);
};

class App;

class Form {
 public:
  // Throws std::logic_error for a table that cannot make a window: an empty
  // or repeated name, an unknown parent, a stacking list that does not name
  // every top-level control once.
  Form(App& app, const FormDef& def, WindowId id);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const FormDef& def() const { return def_; }
  // This window among all windows of the run (a reopened window gets a new
  // one): what workers name when they hand work over.
  WindowId id() const { return id_; }
  const std::string& name() const { return def_.name; }
  App& app() const { return app_; }

  // The window's own control: its geometry, visibility, background picture.
  Control& window() { return *window_; }
  const Control& window() const { return *window_; }
  // A control by name; throws std::out_of_range for a name not in the table.
  Control& operator[](std::string_view name) const;
  Control* find(std::string_view name) const;
  // Every control, the window first, in table order.
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

  bool is_open() const { return state_ == State::Open; }
  bool visible() const { return window_->visible(); }

  // Binds a handler in addition to the table's (tests, later wiring).
  void bind(std::string_view control, Event event, Handler handler);
  // Runs the handlers bound to (control, event); false when none is bound.
  bool dispatch(EventArgs& args);
  bool has_handler(const Control& c, Event e) const;

  // Window shape: cut out every pixel of the background picture that has this
  // colour (0xRRGGBB). Empty: rectangular.
  void set_shape_colour(std::optional<uint32_t> rgb);
  std::optional<uint32_t> shape_colour() const { return shape_colour_; }

  Control* focus() const { return focus_; }
  Control* hover() const { return hover_; }
  Control* pressed() const { return pressed_; }

  // ---- toolkit internals ----
  enum class State { Building, Open, Closed };
  State state() const { return state_; }
  void mark_open() { state_ = State::Open; }
  void mark_closed() { state_ = State::Closed; }
  void set_focus_control(Control* c) { focus_ = c; }
  void set_hover_control(Control* c) { hover_ = c; }
  void set_pressed_control(Control* c) { pressed_ = c; }
  // Backends keep one object of their own per form here.
  std::shared_ptr<void> backend_data;

 private:
  void attach_in_stacking_order();

  App& app_;
  const FormDef& def_;
  WindowId id_;
  std::vector<std::unique_ptr<Control>> controls_;
  Control* window_ = nullptr;
  std::map<std::string, Control*, std::less<>> by_name_;
  std::multimap<std::pair<const Control*, Event>, Handler> handlers_;
  State state_ = State::Building;
  std::optional<uint32_t> shape_colour_;
  Control* focus_ = nullptr;
  Control* hover_ = nullptr;
  Control* pressed_ = nullptr;
};

}  // namespace velk::tk
