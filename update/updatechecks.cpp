#include "update/updatechecks.h"

#include "update/update.h"

#include <QCoreApplication>
#include <QTimer>

#include <utility>

namespace {

constexpr int FirstFrameWaitMs = 2000;

}   // namespace

UpdateChecks::UpdateChecks(QObject *parent)
    : QObject(parent)
{ }

UpdateChecks::~UpdateChecks()
{
    // Its threads are children of this object: none may be destroyed while it runs.
    stopAll();
}

void UpdateChecks::start()
{
    retire();

    // Owned here: deleted once it has ended and been joined (retire(), stopAll()).
    updateThread = new QThread(this);
    updater = new Update;
    updater->moveToThread(updateThread);
    connect(updateThread, &QThread::finished, updater, &QObject::deleteLater);
    connect(updater, &Update::signalGetUpdateFinished, this, &UpdateChecks::applicationFound, Qt::QueuedConnection);
    connect(updater, &Update::firmwareImageRecorded, this, &UpdateChecks::firmwareImageRecorded, Qt::QueuedConnection);
    connect(updater, &Update::signalGetFWUpdateFinished, this, &UpdateChecks::firmwareFound, Qt::QueuedConnection);
    connect(updater, &Update::singalGetFWContentFinished, this, &UpdateChecks::firmwareContentFound,
            Qt::QueuedConnection);
    updateThread->start(QThread::InheritPriority);
    checkPending = true;
    // Asked once this thread is back in its event loop.
    QTimer::singleShot(framePainted ? 0 : FirstFrameWaitMs, this, &UpdateChecks::startPending);
}

void UpdateChecks::firstFramePainted()
{
    if (framePainted)
        return;
    framePainted = true;
    // Queued behind the frame's flush to the screen.
    QTimer::singleShot(0, this, &UpdateChecks::startPending);
}

void UpdateChecks::firmwareVersionKnown()
{
    if (versionKnown)
        return;
    versionKnown = true;
    startPending();
}

void UpdateChecks::startPending()
{
    // An earlier worker may still be unpacking or writing a file the new one would download again.
    if (!checkPending || !updater || !retiringThreads.isEmpty() || !versionKnown)
        return;
    checkPending = false;
    QMetaObject::invokeMethod(updater, &Update::checkUpdate, Qt::QueuedConnection);
}

void UpdateChecks::retire()
{
    if (!updateThread)
        return;
    // What the worker announced so far is handled now, while `updater` still names it (it cannot end before
    // it is asked to below).
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    QThread *thread = updateThread;
    Update *worker = updater;
    updater = nullptr;
    updateThread = nullptr;
    checkPending = false;
    retiringThreads.append(thread);
    connect(thread, &QThread::finished, this, [this, thread] {
        // stopAll() may have joined and deleted it already: only a thread still on the list is touched.
        if (!retiringThreads.removeOne(thread))
            return;
        // It has ended its work; this only joins it.
        thread->wait();
        delete thread;
        startPending();
    });
    // Its thread ends after whatever the worker is doing now, and the worker announces nothing more.
    worker->requestStop();
    thread->quit();
}

void UpdateChecks::stopAll()
{
    retire();
    const QList<QThread *> threads = std::exchange(retiringThreads, {});
    for (QThread *thread : threads) {
        thread->wait();
        delete thread;
    }
}
