// The floors for Ponderix's start-up: the least a Qt 6 Widgets program does to
// show a frameless 488 x 405 window, built with the same compiler flags; and,
// with --text, the same window showing one bold Tahoma caption after adding
// Wine's Tahoma and MS Sans Serif as Ponderix does (what any window whose text
// looks as it does on Windows pays for its fonts). scripts/bench-startup times
// them and Ponderix, and compares.
#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QWidget>
#include <cstring>

int main(int argc, char* argv[]) {
    const bool text = argc > 1 && std::strcmp(argv[1], "--text") == 0;
    QApplication application(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setWindowTitle("Startup floor");
    window.setFixedSize(488, 405);
    if (text) {
        auto* caption = new QLabel(&window);
        for (const char* file : {"tahoma.ttf", "tahomabd.ttf", "ms_sans_serif.ttf"}) {
            QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/wine/fonts/") +
                                              QLatin1String(file));
        }
        caption->setFont(QFont(QStringLiteral("Tahoma"), 8, QFont::Bold));
        caption->setText(QStringLiteral("Ponderix"));
        caption->move(8, 8);
    }
    window.show();
    return QApplication::exec();
}
