// Private folders, where other users can neither enter nor put anything.
#ifndef PRIVATEFOLDER_H
#define PRIVATEFOLDER_H

#include "platform/localuser.h"

#include <QStringList>

// The first of `candidates` that is a folder (not a symbolic link) of this user's with mode 0700; else `fallback`,
// created with that mode when missing and checked the same way; else the fallback's problem.
LocalUser::MeetingFolder firstPrivateFolder(const QStringList &candidates, const QString &fallback);

#endif
