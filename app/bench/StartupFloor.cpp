// The floor for Ponderix's start-up: the least a Qt 6 Widgets program does to
// show a frameless 488 x 405 window, built with the same compiler flags.
// scripts/bench-startup times both and compares.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setWindowTitle("Startup floor");
    window.setFixedSize(488, 405);
    window.show();
    return QApplication::exec();
}
