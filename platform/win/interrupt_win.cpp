#include "platform/interrupt.h"

#include "platform/win32/consolebreak.h"

#include <QMetaObject>

#include <atomic>
#include <mutex>

namespace {

std::atomic<int> received { 0 };
std::mutex watcherMutex;
InterruptWatcher *watcher = nullptr;

// On a thread of the system's: the watcher hears of it in its own thread's event loop.
void noteBreak(int exitCode)
{
    received = exitCode;
    const std::lock_guard<std::mutex> lock(watcherMutex);
    if (watcher)
        QMetaObject::invokeMethod(watcher, "interrupted", Qt::QueuedConnection, Q_ARG(int, exitCode));
}

}   // namespace

InterruptWatcher::InterruptWatcher(QObject *parent)
    : QObject(parent)
{
    {
        const std::lock_guard<std::mutex> lock(watcherMutex);
        watcher = this;
    }
    Win32::watchConsoleBreaks(noteBreak);
}

InterruptWatcher::~InterruptWatcher()
{
    Win32::stopWatchingConsoleBreaks();
    const std::lock_guard<std::mutex> lock(watcherMutex);
    watcher = nullptr;
}

int InterruptWatcher::exitCode()
{
    return received;
}

void InterruptWatcher::endAsInterrupted()
{ }
