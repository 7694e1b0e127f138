// What the Linux program says when it cannot start on a graphical display: one
// line on the standard error stream, and nothing else.
//
// Qt tries each platform it may run on (Wayland, then X11) and says why each
// failed in messages of its own, and the libraries its plugins load write to
// the standard error stream themselves (libwayland-client, Xlib). While Qt
// starts, both are held back. When it then cannot start, the line tells the
// user one of two things:
//
// - no display that Qt tried is there at all (nothing listens where DISPLAY or
//   WAYLAND_DISPLAY points): "ponderix: needs a graphical display, and ...";
// - one is there, and Qt still failed on it (a plugin or a library missing, a
//   connection refused): "ponderix: could not start on the display ...: " and
//   what Qt and its libraries said, on the same line.
//
// Toolkit-free, for POSIX systems: the Qt entry point gathers the messages.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace ponderix::app {

// The displays that Qt looks for, from the environment as Qt 6 reads it: the
// platforms QT_QPA_PLATFORM lists, else Wayland first on a Wayland session
// (WAYLAND_DISPLAY or XDG_SESSION_TYPE says so), then X11.
struct NamedDisplays {
    bool TriesX = false;
    bool TriesWayland = false;
    std::string X;               // DISPLAY
    std::string Wayland;         // WAYLAND_DISPLAY, else libwayland's "wayland-0"
    bool WaylandSocket = false;  // WAYLAND_SOCKET hands over a connection made already
    std::string RuntimeFolder;   // XDG_RUNTIME_DIR, where Wayland's sockets are

    // Whether Qt has nowhere to look: it would try X11 alone, and DISPLAY is
    // empty.
    bool NoneNamed() const { return TriesX && !TriesWayland && X.empty(); }

    // From the environment's variables, by name ("" when unset).
    template <typename Lookup>
    static NamedDisplays From(Lookup&& environment);
};

// Whether an X server listens where the display name points: a local display
// (":N", ":N.S", "unix:N") by its socket in the folder, or its abstract
// socket; a display on another host counts as there, for Qt to say why not.
bool XDisplayAnswers(std::string_view display, std::string_view socketFolder = "/tmp/.X11-unix");
// Whether a Wayland compositor listens at the display's socket: a path, or a
// name in the runtime folder.
bool WaylandDisplayAnswers(std::string_view display, std::string_view runtimeFolder);

// The one line, without its line break. `answers` tells which of the named
// displays are there; `reasons` are what Qt and its libraries said, in order.
struct DisplaysThere {
    bool X = false;
    bool Wayland = false;
};
std::string StartFailureLine(const NamedDisplays& named, DisplaysThere there,
                             const std::vector<std::string>& reasons);

// Holds what is written to the standard error stream (the file descriptor
// itself, so libraries that write there directly are held too) from its
// making until Release, which puts the stream back and returns what was held.
// Where nothing can hold it, the stream stays as it is and Release returns "".
class HeldErrorStream {
public:
    HeldErrorStream();
    ~HeldErrorStream();
    HeldErrorStream(const HeldErrorStream&) = delete;
    HeldErrorStream& operator=(const HeldErrorStream&) = delete;

    std::string Release();

private:
    int m_Saved = -1;
    std::FILE* m_Held = nullptr;
};

template <typename Lookup>
NamedDisplays NamedDisplays::From(Lookup&& environment) {
    NamedDisplays named;
    const std::string platforms = environment("QT_QPA_PLATFORM");
    if (platforms.empty()) {
        named.TriesX = true;
        named.TriesWayland =
            !environment("WAYLAND_DISPLAY").empty() || environment("XDG_SESSION_TYPE") == "wayland";
    } else {
        // A list separated by ';', each entry "name:options".
        std::string_view rest = platforms;
        while (!rest.empty()) {
            const std::string_view entry = rest.substr(0, rest.find(';'));
            rest.remove_prefix(std::min(rest.size(), entry.size() + 1));
            const std::string_view name = entry.substr(0, entry.find(':'));
            named.TriesX = named.TriesX || name == "xcb";
            named.TriesWayland = named.TriesWayland || name.substr(0, 7) == "wayland";
        }
    }
    if (named.TriesX) {
        named.X = environment("DISPLAY");
    }
    if (named.TriesWayland) {
        named.Wayland = environment("WAYLAND_DISPLAY");
        if (named.Wayland.empty()) {
            named.Wayland = "wayland-0";
        }
        named.WaylandSocket = !environment("WAYLAND_SOCKET").empty();
        named.RuntimeFolder = environment("XDG_RUNTIME_DIR");
    }
    return named;
}

}  // namespace ponderix::app
