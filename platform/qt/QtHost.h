// Running the program in a real Qt window. This header includes no Qt, so the
// program entry can use it without depending on Qt itself.
#pragma once

#include "toolkit/Controls.h"

#include <functional>

namespace velmia::qt {

// Creates the Qt application, installs the Qt platform for the toolkit, calls
// `createForm` (which constructs the main form), runs its OnCreate handler,
// shows the window and runs the event loop until the window closes (then runs
// OnClose). An exception that escapes form creation or OnCreate is reported as
// an error message box and on standard error; the result is then 1. Returns 0
// after a normal close.
int RunApplication(int argc, char** argv, const std::function<vcl::TForm*()>& createForm);

} // namespace velmia::qt
