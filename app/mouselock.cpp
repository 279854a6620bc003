#include "app/mouselock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

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

// Qt's lock file names the host by COMPUTERNAME on Windows, in capitals, and by the host name elsewhere.
bool isThisHost(const QString &host)
{
    return host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0
        || host.compare(qEnvironmentVariable("COMPUTERNAME"), Qt::CaseInsensitive) == 0;
}

// A lock that names this very process, which does not hold it, was left by an earlier one that had the same id: ids
// are reused after a restart (and a new Wine server hands them out anew). Qt would take it for a living holder.
bool namesThisProcess(const QLockFile &lock)
{
    qint64 pid = 0;
    QString host;
    QString application;
    return !lock.isLocked() && lock.getLockInfo(&pid, &host, &application)
        && pid == QCoreApplication::applicationPid()
        && (host.isEmpty() || isThisHost(host));
}

bool leftBehind(const QLockFile &lock, const QString &path)
{
    return emptyAndOld(lock, path) || namesThisProcess(lock);
}

} // namespace

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
    removeIfLeftBehind();
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

void MouseLock::removeIfLeftBehind()
{
    if (!leftBehind(lock, path))
        return;
    // The same guard Qt's lock file uses for stale locks, so that two processes never remove it in turn, the second
    // one the first one's new lock.
    QLockFile removing(path + QStringLiteral(".rmlock"));
    if (!removing.tryLock(0) || !leftBehind(lock, path))
        return;
    if (QFile::remove(path))
        qDebug() << "took over a lock file left behind:" << path;
}
