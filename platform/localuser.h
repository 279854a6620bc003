// The user this process runs as, as the program's local sockets see it: the private place where one user's
// programs meet (the single-instance endpoint, the mouse's lock, the endpoint that takes a command line's work)
// and who is at the other end of a connection.
#ifndef LOCALUSER_H
#define LOCALUSER_H

#include <QString>

namespace LocalUser {

// A folder only this user may enter, or the one that was refused and why.
struct MeetingFolder
{
    enum Problem { None, Missing, NotAFolder, SymbolicLink, OtherOwner, OpenToOthers, CannotCreate };
    QString path;
    Problem problem = None;
};

// Windows: the user's own temporary folder. Elsewhere: $XDG_RUNTIME_DIR when it is private, else the system's
// runtime folder for this user (/run/user/<uid>) when it is, else a folder "tarno-<uid>" in the temporary folder,
// created private when missing. Never a folder that others can write.
MeetingFolder meetingFolder();

// The name a server of this user's listens under: the socket file `name` in `folder`; on Windows the pipe `name`,
// where `perUser` adds the user's security id (pipes of all users share one namespace).
QString endpoint(const QString &folder, const QString &name, bool perUser);

// Whether the process at the other end of a connected local socket (either end; QLocalSocket::socketDescriptor())
// runs as this user.
bool isSameUser(qintptr descriptor);

}   // namespace LocalUser

#endif
