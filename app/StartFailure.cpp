#include "app/StartFailure.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>

namespace ponderix::app {
namespace {

// Whether something accepts a connection at a Unix socket; a leading '@'
// names an abstract socket.
bool Listens(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.data(), path.size());
    if (path[0] == '@') {
        address.sun_path[0] = '\0';
    }
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0) {
        return false;
    }
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size());
    int result = 0;
    do {
        result = ::connect(socket, reinterpret_cast<const sockaddr*>(&address), length);
    } while (result != 0 && errno == EINTR);
    ::close(socket);
    return result == 0;
}

// "ponderix: needs a graphical display, and the one named by DISPLAY (:4)
// could not be opened": the displays Qt tried, none of them there.
std::string NoneThere(const NamedDisplays& named) {
    const std::string x = "the one named by DISPLAY (" + named.X + ")";
    const std::string wayland = named.WaylandSocket
                                    ? std::string("the one handed over by WAYLAND_SOCKET")
                                    : "the Wayland display " + named.Wayland;
    std::string which;
    if (!named.X.empty() && named.TriesWayland) {
        which = "neither " + wayland + " nor " + x + " could be opened";
    } else if (!named.X.empty()) {
        which = x + " could not be opened";
    } else if (named.TriesWayland) {
        which = wayland + " could not be opened";
    } else {
        which = "none could be opened";
    }
    return "ponderix: needs a graphical display, and " + which;
}

// The reasons on one line: each trimmed, its own line breaks and runs of
// white space made single spaces, joined by "; ".
std::string OneLine(const std::vector<std::string>& reasons) {
    std::string line;
    for (const std::string& reason : reasons) {
        std::string flat;
        bool space = false;
        for (const char c : reason) {
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                space = !flat.empty();
                continue;
            }
            if (space) {
                flat += ' ';
                space = false;
            }
            flat += c;
        }
        if (flat.empty()) {
            continue;
        }
        if (!line.empty()) {
            line += "; ";
        }
        line += flat;
    }
    return line;
}

}  // namespace

bool XDisplayAnswers(std::string_view display, std::string_view socketFolder) {
    const std::size_t colon = display.rfind(':');
    if (colon == std::string_view::npos) {
        return false;
    }
    const std::string_view host = display.substr(0, colon);
    if (!host.empty() && host != "unix") {
        return true;  // over the network: Qt's own reason says whether it is there
    }
    std::string_view number = display.substr(colon + 1);
    number = number.substr(0, number.find('.'));
    if (number.empty() || number.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    const std::string path = std::string(socketFolder) + "/X" + std::string(number);
    return Listens("@" + path) || Listens(path);
}

bool WaylandDisplayAnswers(std::string_view display, std::string_view runtimeFolder) {
    if (display.empty()) {
        return false;
    }
    if (display.front() == '/') {
        return Listens(std::string(display));
    }
    return !runtimeFolder.empty() &&
           Listens(std::string(runtimeFolder) + "/" + std::string(display));
}

std::string StartFailureLine(const NamedDisplays& named, DisplaysThere there,
                             const std::vector<std::string>& reasons) {
    const bool x = there.X && !named.X.empty();
    const bool wayland = there.Wayland && named.TriesWayland;
    if ((named.TriesX || named.TriesWayland) && !x && !wayland) {
        return NoneThere(named);
    }
    std::string on = "the graphical display";
    if (wayland) {
        on = named.WaylandSocket ? "the Wayland display handed over by WAYLAND_SOCKET"
                                 : "the Wayland display " + named.Wayland;
    } else if (x) {
        on = "the X display " + named.X;
    }
    const std::string why = OneLine(reasons);
    return "ponderix: could not start on " + on + ": " +
           (why.empty() ? std::string("Qt gave no reason") : why);
}

HeldErrorStream::HeldErrorStream() {
    std::fflush(stderr);
    m_Held = std::tmpfile();
    if (m_Held == nullptr) {
        return;
    }
    m_Saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (m_Saved < 0 || ::dup2(::fileno(m_Held), STDERR_FILENO) < 0) {
        if (m_Saved >= 0) {
            ::close(m_Saved);
            m_Saved = -1;
        }
        std::fclose(m_Held);
        m_Held = nullptr;
    }
}

HeldErrorStream::~HeldErrorStream() {
    Release();
}

std::string HeldErrorStream::Release() {
    if (m_Held == nullptr) {
        return {};
    }
    std::fflush(stderr);
    ::dup2(m_Saved, STDERR_FILENO);
    ::close(m_Saved);
    m_Saved = -1;
    std::string text;
    std::rewind(m_Held);
    char buffer[4096];
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, m_Held)) > 0) {
        text.append(buffer, read);
    }
    std::fclose(m_Held);
    m_Held = nullptr;
    return text;
}

}  // namespace ponderix::app
