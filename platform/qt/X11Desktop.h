// What the Qt backend asks of an X11 desktop that Qt has no call for. Every
// function does only what Qt would do on other platforms (or nothing) when
// the application does not run on X11.
#pragma once

#include <optional>

class QByteArray;
class QWidget;

namespace ponderix::platform::qt {

// Whether the application talks to an X server (Qt's xcb platform).
bool OnX11();
// Whether it is a client of a Wayland compositor (Qt's wayland platforms).
bool OnWayland();

// When the event is the window manager's change of a top-level window's
// WM_STATE: whether the window is now iconic (minimised). Nothing otherwise,
// and nothing when the application does not run on X11.
std::optional<bool> IconicChange(const QByteArray& eventType, void* message, const QWidget& window);

// Shows a top-level widget that has no task-bar entry of its own: an owned
// window. Qt marks only tool windows so, and a tool window is no dialog. The
// window manager reads the mark when it takes the window in, and is told again
// once it is mapped, in case it dropped the mark of an earlier showing.
void ShowOffTaskBar(QWidget& window);

}  // namespace ponderix::platform::qt
