// The program on Qt 6 Widgets.
//
// Ponderix takes no command line: Qt is given only the program's name, so
// that no argument can change the windows (-reverse, -platform, -style ...).
// Without a display it can open, it says so in one line and ends with 1,
// rather than with Qt's abort.
#include <QApplication>
#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/Main.h"
#include "platform/qt/QtWindowSystem.h"

namespace {

// The name desktops link the running program to its installed desktop entry by.
constexpr const char* DesktopEntry = "example.tarnwick.Ponderix";

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Whether Qt will look for an X display and nothing else: it does unless
// QT_QPA_PLATFORM names other platforms (a list separated by ';', each
// "name:options").
bool NeedsXDisplay() {
    const std::string platforms = Environment("QT_QPA_PLATFORM");
    if (platforms.empty()) {
        return Environment("WAYLAND_DISPLAY").empty() && Environment("WAYLAND_SOCKET").empty();
    }
    std::string_view rest = platforms;
    while (!rest.empty()) {
        const std::string_view entry = rest.substr(0, rest.find(';'));
        rest.remove_prefix(std::min(rest.size(), entry.size() + 1));
        if (entry.substr(0, entry.find(':')) != "xcb") {
            return false;
        }
    }
    return true;
}

[[noreturn]] void NoDisplay(const std::string& why) {
    std::fprintf(stderr, "ponderix: needs a graphical display, and %s\n", why.c_str());
    std::fflush(stderr);
    // Qt is half made: nothing of it may run its clean-up.
    std::_Exit(1);
}

// What Qt says while the application is made is held back: when it then
// finds no display it can open, only the one line of NoDisplay is shown.
std::vector<std::pair<QtMsgType, QString>> g_HeldMessages;
QtMessageHandler g_QtHandler = nullptr;

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        const std::string display = Environment("DISPLAY");
        NoDisplay(display.empty()
                      ? "none could be opened"
                      : "the one named by DISPLAY (" + display + ") could not be opened");
    }
    const QString category =
        context.category != nullptr ? QString::fromUtf8(context.category) : QString();
    g_HeldMessages.emplace_back(type, category.isEmpty() || category == QLatin1String("default")
                                          ? message
                                          : category + QLatin1String(": ") + message);
}

void PassHeldMessages() {
    qInstallMessageHandler(g_QtHandler);
    for (const auto& [type, message] : g_HeldMessages) {
        const QMessageLogContext context;
        if (g_QtHandler != nullptr) {
            g_QtHandler(type, context, message);
        } else {
            std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        }
    }
    g_HeldMessages.clear();
}

}  // namespace

int main(int /*argc*/, char* argv[]) {
    if (NeedsXDisplay() && Environment("DISPLAY").empty()) {
        NoDisplay("none is set (DISPLAY and WAYLAND_DISPLAY are empty)");
    }
    // QApplication keeps a reference to the count: it lives as long as main.
    char name[] = "ponderix";
    int argumentCount = 1;
    char* arguments[] = {argv[0] != nullptr ? argv[0] : name, nullptr};
    QGuiApplication::setDesktopFileName(QString::fromLatin1(DesktopEntry));
    g_QtHandler = qInstallMessageHandler(HoldMessage);
    QApplication application(argumentCount, arguments);
    PassHeldMessages();

    ponderix::platform::qt::QtWindowSystem system;
    return ponderix::app::Run(system);
}
