// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Running the program in a real Qt window. This header includes no Qt, so the
// program entry can use it without depending on Qt itself.
#pragma once

#include "toolkit/Controls.h"

#include <functional>

namespace velmia::qt {

// Creates the Qt application, installs the Qt platform for the toolkit, calls
// `createForm` (which constructs the main form with new; RunApplication owns
// it from then on and deletes it after the loop), runs its OnCreate handler,
// shows the window and runs the event loop until the window closes (then runs
// OnClose). An exception that escapes form creation or OnCreate is reported as
// an error message box and on standard error; the result is then 1. Returns 0
// after a normal close. An exception from a later event handler or timer is
// reported the same way and the program goes on.
//
// Under Wayland, Qt draws no title bars of its own unless the user has set
// QT_WAYLAND_DISABLE_WINDOWDECORATION: deciding to draw them loads OpenGL.
//
// With VELMIA_REPORT_FIRST_FRAME set in the environment, the first painted
// frame is reported on standard error with the time since process start.
int RunApplication(int argc, char** argv, const std::function<vcl::TForm*()>& createForm);

} // namespace velmia::qt
