// Where the program starts, whatever the window system: it loads the main
// window (whose load handler restores the last weight and height) and shows
// it, modeless and without an owner. The caller then runs the message loop,
// which ends when no window of the program is left.
#pragma once

#include <memory>

#include "ui/main/MainWindow.h"

namespace ponderix::app {

// The returned window must live until the message loop has ended.
std::unique_ptr<ui::MainWindow> Main(platform::IWindowSystem& system);

// Main, then the message loop; the result is the program's exit code. A window
// system that cannot even load the main window is reported in a message box.
int Run(platform::IWindowSystem& system);

}  // namespace ponderix::app
