// The Qt floor for a resting pointer on a picture button: a frameless
// 488 x 405 window and a timer woken every 10 ms that does nothing. Ponderix's
// hover poll can cost no less than this on the same machine; scripts/bench-hover
// measures both in one run.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setWindowTitle("Hover floor");
    window.setFixedSize(488, 405);
    window.show();
    QTimer poll;
    poll.start(10);
    return QApplication::exec();
}
