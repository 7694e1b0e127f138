// A second program beside the settings store's tests, so that they meet the
// store as another process does:
//   hold LOCKFILE SECONDS     takes the lock as QLockFile (and QSettings) takes
//                             it, says "locked", and holds it that long
//   abandon LOCKFILE          takes the lock and dies with it held (a stale lock)
//   save FOLDER KEY COUNT     saves Weight and Height, both "KEY n", and KEY as
//                             n, for n = 1 to COUNT, into the store in FOLDER,
//                             5 ms apart
#include <unistd.h>

#include <QCoreApplication>
#include <QLockFile>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/qt/QtSettingsStore.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "hold" && argc == 4) {
        QLockFile lock(QString::fromLocal8Bit(argv[2]));
        if (!lock.lock()) {
            return 1;
        }
        std::printf("locked\n");
        std::fflush(stdout);
        QThread::sleep(static_cast<unsigned long>(std::atol(argv[3])));
        return 0;
    }
    if (mode == "abandon" && argc == 3) {
        QLockFile lock(QString::fromLocal8Bit(argv[2]));
        if (!lock.lock()) {
            return 1;
        }
        ::_exit(0);
    }
    if (mode == "save" && argc == 5) {
        ponderix::platform::qt::QtSettingsStore store(argv[2]);
        const std::string key = argv[3];
        const int count = std::atoi(argv[4]);
        for (int n = 1; n <= count; ++n) {
            const std::string text = key + " " + std::to_string(n);
            const std::string number = std::to_string(n);
            const ponderix::platform::Setting values[] = {
                {"Weight", text}, {"Height", text}, {key, number}};
            if (!store.SaveSettings("Ponderix", "Settings", values).NotSaved.empty()) {
                return 2;
            }
            QThread::msleep(5);  // as a person saves: now and then
        }
        return 0;
    }
    std::fprintf(stderr,
                 "usage: hold LOCKFILE SECONDS | abandon LOCKFILE | save FOLDER KEY COUNT\n");
    return 2;
}
