#include "platform/localuser.h"

#include "platform/win32/pipepeer.h"

#include <QDir>

LocalUser::MeetingFolder LocalUser::meetingFolder()
{
    // Each user has a temporary folder of their own, and a pipe's own access list guards the endpoints.
    return { QDir::tempPath(), MeetingFolder::None };
}

QString LocalUser::endpoint(const QString &folder, const QString &name, bool perUser)
{
    Q_UNUSED(folder)
    if (!perUser)
        return name;
    return name + QLatin1Char('-') + QString::fromStdWString(Win32::currentUserSid());
}

bool LocalUser::isSameUser(qintptr descriptor)
{
    return Win32::pipePeerIsSameUser(reinterpret_cast<void *>(descriptor));
}
