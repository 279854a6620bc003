#include "app/mouselock.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>

namespace {

// A lock that names no process (an empty or garbled file) and has not changed for a while. A process that has just
// created its lock writes it at once, so a fresh empty file is still being made.
bool emptyAndOld(const QLockFile &lock, const QString &path)
{
    qint64 pid = 0;
    QString host;
    QString application;
    const QFileInfo file(path);
    if (!file.exists() || lock.getLockInfo(&pid, &host, &application))
        return false;
    return qAbs(file.lastModified().msecsTo(QDateTime::currentDateTime())) > MouseLock::StaleEmptyMs;
}

}   // namespace

MouseLock::MouseLock(const QString &path)
    : path(path)
    , lock(path)
{
    // A lock whose process has ended is taken over at once; one of a living process never is: a window holds it
    // for hours.
    lock.setStaleLockTime(0);
}

bool MouseLock::tryLock(int timeoutMs)
{
    removeIfEmptyAndOld();
    return lock.tryLock(timeoutMs);
}

QLockFile::LockError MouseLock::error() const
{
    return lock.error();
}

void MouseLock::unlock()
{
    lock.unlock();
}

void MouseLock::removeIfEmptyAndOld()
{
    if (!emptyAndOld(lock, path))
        return;
    // The same guard Qt's lock file uses for stale locks, so that two processes never remove it in turn, the second
    // one the first one's new lock.
    QLockFile removing(path + QStringLiteral(".rmlock"));
    if (!removing.tryLock(0) || !emptyAndOld(lock, path))
        return;
    if (QFile::remove(path))
        qDebug() << "took over an empty lock file:" << path;
}
