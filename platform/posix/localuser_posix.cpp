#include "platform/localuser.h"

#include "platform/posix/privatefolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

LocalUser::MeetingFolder::Problem check(const QString &path)
{
    using Folder = LocalUser::MeetingFolder;
    struct stat status = {};
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return Folder::Missing;
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return errno == ENOENT ? Folder::Missing : Folder::NotAFolder;
    if (S_ISLNK(status.st_mode))
        return Folder::SymbolicLink;
    if (!S_ISDIR(status.st_mode))
        return Folder::NotAFolder;
    if (status.st_uid != ::geteuid())
        return Folder::OtherOwner;
    if ((status.st_mode & 07777) != S_IRWXU)
        return Folder::OpenToOthers;
    return Folder::None;
}

}   // namespace

LocalUser::MeetingFolder firstPrivateFolder(const QStringList &candidates, const QString &fallback)
{
    for (const QString &candidate : candidates) {
        if (check(candidate) == LocalUser::MeetingFolder::None)
            return { QDir::cleanPath(candidate), LocalUser::MeetingFolder::None };
    }
    // The fallback is made with the mode it must have; one that was already there is only checked, never mended:
    // others may have put something in it meanwhile.
    if (::mkdir(QFile::encodeName(fallback).constData(), S_IRWXU) != 0 && errno != EEXIST)
        return { fallback, LocalUser::MeetingFolder::CannotCreate };
    return { QDir::cleanPath(fallback), check(fallback) };
}

LocalUser::MeetingFolder LocalUser::meetingFolder()
{
    const QString uid = QString::number(::geteuid());
    // Where a desktop session's runtime folder is: a command line started by cron or "su" meets the window there.
    return firstPrivateFolder({ qEnvironmentVariable("XDG_RUNTIME_DIR"), QStringLiteral("/run/user/") + uid },
                              QDir::temp().filePath(QStringLiteral("tarno-") + uid));
}

QString LocalUser::endpoint(const QString &folder, const QString &name, bool perUser)
{
    Q_UNUSED(perUser)
    return folder + QLatin1Char('/') + name;
}

bool LocalUser::isSameUser(qintptr descriptor)
{
    if (descriptor < 0)
        return false;
#ifdef SO_PEERCRED
    ucred peer {};
    socklen_t size = sizeof peer;
    if (::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || size != sizeof peer)
        return false;
    return peer.uid == ::geteuid();
#else
    uid_t uid = 0;
    gid_t gid = 0;
    return ::getpeereid(int(descriptor), &uid, &gid) == 0 && uid == ::geteuid();
#endif
}
