// Where this user's programs meet: the single-instance endpoint of each executable name, the mouse's lock, and
// the mouse's hand-over endpoint, where the window that takes command lines' work listens. All in one private
// folder (LocalUser::meetingFolder()).
#ifndef MEETINGPLACE_H
#define MEETINGPLACE_H

#include "platform/localuser.h"

#include <QString>

class MeetingPlace
{
public:
    static MeetingPlace find();

    // False when no private folder was found: the program must then neither listen nor take the lock.
    bool isPrivate() const;
    // Why there is none, in a line for the user.
    QString problem() const;

    // The single-instance key: the executable's file name (a file of that name in the folder).
    QString instanceKey() const;
    // The same for every name of the executable.
    QString handOverEndpoint() const;
    QString mouseLockPath() const;

private:
    LocalUser::MeetingFolder folder;
};

#endif
