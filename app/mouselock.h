// The per-user lock of whoever talks to the mouse: a window for its whole run, or one command line for its work.
// Every name of the executable takes the same one (MeetingPlace::mouseLockPath()).
#ifndef MOUSELOCK_H
#define MOUSELOCK_H

#include <QLockFile>
#include <QString>

class MouseLock
{
public:
    explicit MouseLock(const QString &path);

    // Takes the lock if it is free, or was left behind: by a process that has ended, by an earlier process with this
    // one's id, or empty (the system stopped between creating and writing it) for StaleEmptyMs. Tries for up to
    // `timeoutMs`.
    bool tryLock(int timeoutMs = 0);
    // Why the last tryLock() failed: LockFailedError while another process holds the lock.
    QLockFile::LockError error() const;
    void unlock();

    static constexpr int StaleEmptyMs = 5000;

private:
    void removeIfLeftBehind();

    const QString path;
    QLockFile lock;
};

#endif
