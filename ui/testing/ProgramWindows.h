// For tests that look at where the program's controls lie: the main window
// and both information windows built with their controllers on any window
// system and shown together (the information windows owned by the main
// window), and the place of every control that shows.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/WindowSystem.h"

namespace ponderix::ui {
class MainWindow;
class AboutWindow;
class QuickHelpWindow;
}  // namespace ponderix::ui

namespace ponderix::ui::testing {

struct ControlPlace {
    platform::IWindow* Window = nullptr;
    std::string WindowName;  // "fMain", "fAbout", "fQuickHelp"
    std::string Key;         // "lblRange(0)"
    const platform::ControlSpec* Row = nullptr;
    // In the window's unit, relative to the control's container.
    platform::PixelRect Bounds;
};

class ProgramWindows {
public:
    // Registers the picture button, then builds and shows the three windows.
    explicit ProgramWindows(platform::IWindowSystem& system);
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    platform::IWindow& Main();
    platform::IWindow& About();
    platform::IWindow& QuickHelp();
    std::vector<platform::IWindow*> All();

    // Every control of the three windows that shows (not timers), in the
    // order of their layouts.
    std::vector<ControlPlace> Places();

private:
    std::unique_ptr<MainWindow> m_Main;
    std::unique_ptr<AboutWindow> m_About;
    std::unique_ptr<QuickHelpWindow> m_QuickHelp;
};

}  // namespace ponderix::ui::testing
