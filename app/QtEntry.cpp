// The program on Qt 6 Widgets.
//
// Ponderix takes no command line: Qt is given only the program's name, so
// that no argument can change the windows (-reverse, -platform, -style ...).
// When it cannot start on a graphical display it says so in one line, and why
// (StartFailure.h), and ends with 1, rather than with Qt's abort.
#include <QApplication>
#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/Main.h"
#include "app/StartFailure.h"
#include "platform/qt/QtWindowSystem.h"

namespace {

using ponderix::app::NamedDisplays;

// The name desktops link the running program to its installed desktop entry
// by; on Wayland it is the window's application id.
constexpr const char* DesktopEntry = "example.tarnwick.Ponderix";

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

[[noreturn]] void SayAndEnd(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    // Qt is half made: nothing of it may run its clean-up.
    std::_Exit(1);
}

// While the application is made, what Qt says is held back, and what its
// libraries write to the standard error stream themselves; when it then
// cannot start, only the one line is shown, with the reasons in it.
NamedDisplays g_Displays;
std::unique_ptr<ponderix::app::HeldErrorStream> g_HeldStream;
std::vector<std::pair<QtMsgType, QString>> g_HeldMessages;
QtMessageHandler g_QtHandler = nullptr;

[[noreturn]] void CannotStart(const QString& last) {
    std::vector<std::string> reasons;
    const std::string written = g_HeldStream != nullptr ? g_HeldStream->Release() : std::string();
    std::string_view rest = written;
    while (!rest.empty()) {
        const std::string_view line = rest.substr(0, rest.find('\n'));
        rest.remove_prefix(std::min(rest.size(), line.size() + 1));
        reasons.emplace_back(line);
    }
    for (const auto& [type, message] : g_HeldMessages) {
        reasons.push_back(message.toStdString());
    }
    reasons.push_back(last.toStdString());
    const ponderix::app::DisplaysThere there{
        ponderix::app::XDisplayAnswers(g_Displays.X),
        g_Displays.WaylandSocket ||
            ponderix::app::WaylandDisplayAnswers(g_Displays.Wayland, g_Displays.RuntimeFolder)};
    SayAndEnd(ponderix::app::StartFailureLine(g_Displays, there, reasons));
}

QString Formatted(const QMessageLogContext& context, const QString& message) {
    const QString category =
        context.category != nullptr ? QString::fromUtf8(context.category) : QString();
    return category.isEmpty() || category == QLatin1String("default")
               ? message
               : category + QLatin1String(": ") + message;
}

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    // Qt's Wayland plugin ends the program itself (_exit) once it has said
    // that its connection broke: the line has to come first.
    const bool waylandGone = message.startsWith(QLatin1String("The Wayland connection"));
    if (type == QtFatalMsg || waylandGone) {
        CannotStart(Formatted(context, message));
    }
    g_HeldMessages.emplace_back(type, Formatted(context, message));
}

void PassHeldMessages() {
    const std::string written = g_HeldStream->Release();
    g_HeldStream.reset();
    std::fputs(written.c_str(), stderr);
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
    g_Displays = NamedDisplays::From(Environment);
    if (g_Displays.NoneNamed()) {
        SayAndEnd(
            "ponderix: needs a graphical display, and none is set (DISPLAY and WAYLAND_DISPLAY "
            "are empty)");
    }
    // QApplication keeps a reference to the count: it lives as long as main.
    char name[] = "ponderix";
    int argumentCount = 1;
    char* arguments[] = {argv[0] != nullptr ? argv[0] : name, nullptr};
    QGuiApplication::setDesktopFileName(QString::fromLatin1(DesktopEntry));
    g_HeldStream = std::make_unique<ponderix::app::HeldErrorStream>();
    g_QtHandler = qInstallMessageHandler(HoldMessage);
    QApplication application(argumentCount, arguments);
    PassHeldMessages();

    ponderix::platform::qt::QtWindowSystem system;
    return ponderix::app::Run(system);
}
