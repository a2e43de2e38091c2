// The Velk program: initialises the toolkit, registers the exit routine,
// shows the home window (whose created event runs the start-up sequence) and
// runs the message loop until the program ends. It takes no arguments.
#include <unistd.h>

#include <memory>

#include "platform/paths.h"
#include "shell/main_window.h"
#include "shell/shared_state.h"
#include "toolkit/app.h"
#include "toolkit/gtk/gtk_backend.h"

int main() {
  using namespace velk;
  // 1. The toolkit; the run directory becomes the current directory.
  tk::App app(std::make_unique<tk::GtkBackend>());
  if (::chdir(native_path(run_directory()).c_str()) != 0) {
    // Nothing relies on the current directory; every path is built from the
    // run directory.
  }
  // 2. LinkRegex and the three patterns exist (empty) as process-wide state.
  // 3. The exit routine.
  app.set_exit_routine(ExitCleanup);
  // 5. The home window; 6. the message loop.
  app.set_main_window(MainWindowDef());  // the window system closing it ends the program
  app.show(MainWindowDef());
  app.run();
  app.exit_program(0);
}
