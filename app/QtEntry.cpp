// The program on Qt 6 Widgets.
#include <QApplication>

#include "app/Main.h"
#include "platform/qt/QtWindowSystem.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    ponderix::platform::qt::QtWindowSystem system;
    return ponderix::app::Run(system);
}
