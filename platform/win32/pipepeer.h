// Who is at the other end of a named pipe. Needs only <windows.h> and the standard library.
#ifndef WIN32_PIPEPEER_H
#define WIN32_PIPEPEER_H

#include <string>

namespace Win32 {

// Whether the process at the other end of the named pipe `pipe` (a server's or a client's handle) runs as the
// same user as this process: the user security id of its token is this process's. False when either cannot be
// read (a process of another user, or an elevated one, may not let its token be read).
bool pipePeerIsSameUser(void *pipe);

// This process's user security id as text ("S-1-5-21-..."); empty when it cannot be read.
std::wstring currentUserSid();

}   // namespace Win32

#endif
