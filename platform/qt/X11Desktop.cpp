#include "platform/qt/X11Desktop.h"

#include <xcb/xcb.h>

#include <QByteArray>
#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

namespace ponderix::platform::qt {
namespace {

// The client message's first word: add a state.
constexpr std::uint32_t NetWmStateAdd = 1;
// Its fourth: the request comes from an ordinary application.
constexpr std::uint32_t SourceApplication = 1;

xcb_connection_t* Connection() {
    const auto* x11 = qGuiApp != nullptr
                          ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                          : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};

xcb_atom_t Atom(xcb_connection_t* connection, std::string_view name) {
    const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> reply(xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data()),
        nullptr));
    if (reply == nullptr) {
        return XCB_ATOM_NONE;
    }
    return reply->atom;
}

bool HasState(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t states,
              xcb_atom_t state) {
    const std::unique_ptr<xcb_get_property_reply_t, FreeReply> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, states, XCB_ATOM_ATOM, 0, 1024),
        nullptr));
    if (reply == nullptr || reply->type != XCB_ATOM_ATOM || reply->format != 32) {
        return false;
    }
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    for (int i = 0; i < count; ++i) {
        if (atoms[i] == state) {
            return true;
        }
    }
    return false;
}

// ICCCM's WM_STATE: its first word is the state, 3 for iconic.
constexpr std::uint32_t IconicState = 3;

}  // namespace

std::optional<bool> IconicChange(const QByteArray& eventType, void* message,
                                 const QWidget& window) {
    // Every event of the window comes here, each motion of the pointer too:
    // the cheap tests first.
    if (message == nullptr || eventType != "xcb_generic_event_t" ||
        (static_cast<const xcb_generic_event_t*>(message)->response_type & 0x7F) !=
            XCB_PROPERTY_NOTIFY) {
        return std::nullopt;
    }
    xcb_connection_t* connection = Connection();
    if (connection == nullptr) {
        return std::nullopt;
    }
    const auto* change = static_cast<const xcb_property_notify_event_t*>(message);
    static const xcb_atom_t wmState = Atom(connection, "WM_STATE");
    if (change->atom != wmState || wmState == XCB_ATOM_NONE ||
        change->window != static_cast<xcb_window_t>(window.internalWinId())) {
        return std::nullopt;
    }
    const std::unique_ptr<xcb_get_property_reply_t, FreeReply> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, change->window, wmState, wmState, 0, 2),
        nullptr));
    if (reply == nullptr || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4) {
        return false;  // withdrawn: not iconic
    }
    const auto* words = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return words[0] == IconicState;
}

bool OnX11() {
    return Connection() != nullptr;
}

bool OnWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void ShowOffTaskBar(QWidget& window) {
    xcb_connection_t* connection = Connection();
    if (connection == nullptr || window.isVisible()) {
        window.show();
        return;
    }
    const auto id = static_cast<xcb_window_t>(window.winId());  // made now if need be
    const xcb_atom_t states = Atom(connection, "_NET_WM_STATE");
    const xcb_atom_t skip = Atom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    if (states == XCB_ATOM_NONE || skip == XCB_ATOM_NONE) {
        window.show();
        return;
    }
    // Qt keeps the states it does not set itself when it maps the window.
    if (!HasState(connection, id, states, skip)) {
        xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, states, XCB_ATOM_ATOM, 32, 1,
                            &skip);
    }
    window.show();

    xcb_client_message_event_t message;
    std::memset(&message, 0, sizeof message);
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = states;
    message.data.data32[0] = NetWmStateAdd;
    message.data.data32[1] = skip;
    message.data.data32[3] = SourceApplication;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
}

}  // namespace ponderix::platform::qt
