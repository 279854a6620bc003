// The downloading side of bench_download: the update service on its own thread, as the main window runs it,
// fetching the firmware into the current folder; prints how much its resident memory grew meanwhile. A program of
// its own, built from the service's sources alone, so that its memory is the download's and not that of the
// window's libraries, which the real program has loaded anyway.
#include "childprocess.h"

#include "update/update.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QCoreApplication app(argc, argv);
    QThread thread;
    auto *update = new Update;
    update->moveToThread(&thread);
    QObject::connect(&thread, &QThread::finished, update, &QObject::deleteLater);
    QObject::connect(update, &Update::signalGetFWUpdateFinished, &app, [&app] { app.exit(0); });
    thread.start();
    const long residentBefore = procStatusKiB(getpid(), "VmRSS");
    QMetaObject::invokeMethod(update, &Update::downloadFW, Qt::QueuedConnection);
    QTimer::singleShot(300000, &app, [&app] { app.exit(1); });
    const int result = app.exec();
    QMetaObject::invokeMethod(update, &Update::stop, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
    std::printf("growth_kib=%ld\n", procStatusKiB(getpid(), "VmHWM") - residentBefore);
    return result;
}
