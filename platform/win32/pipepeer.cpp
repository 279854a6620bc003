#include "platform/win32/pipepeer.h"

#include <windows.h>

#include <vector>

namespace {

// The TOKEN_USER of `process`, in a buffer of its own; empty when it cannot be read.
std::vector<BYTE> tokenUser(HANDLE process)
{
    std::vector<BYTE> buffer;
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return buffer;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    buffer.resize(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, buffer.data(), size, &size))
        buffer.clear();
    CloseHandle(token);
    return buffer;
}

PSID userSid(std::vector<BYTE> &tokenUserBuffer)
{
    return reinterpret_cast<TOKEN_USER *>(tokenUserBuffer.data())->User.Sid;
}

}   // namespace

bool Win32::pipePeerIsSameUser(void *pipe)
{
    ULONG server = 0;
    ULONG client = 0;
    if (!GetNamedPipeServerProcessId(pipe, &server) || !GetNamedPipeClientProcessId(pipe, &client))
        return false;
    // Each end knows both processes; the other one is the peer.
    const DWORD peer = server == GetCurrentProcessId() ? client : server;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, peer);
    if (!process)
        return false;
    std::vector<BYTE> theirs = tokenUser(process);
    CloseHandle(process);
    std::vector<BYTE> ours = tokenUser(GetCurrentProcess());
    return !theirs.empty() && !ours.empty() && EqualSid(userSid(theirs), userSid(ours));
}

std::wstring Win32::currentUserSid()
{
    std::vector<BYTE> buffer = tokenUser(GetCurrentProcess());
    if (buffer.empty())
        return std::wstring();
    const PSID sid = userSid(buffer);
    if (!IsValidSid(sid))
        return std::wstring();
    // The usual text form, "S-1-<authority>-<sub-authority>...", spelt out without the string conversion library.
    const SID_IDENTIFIER_AUTHORITY *authority = GetSidIdentifierAuthority(sid);
    unsigned long long authorityValue = 0;
    for (BYTE part : authority->Value)
        authorityValue = (authorityValue << 8) | part;
    std::wstring text = L"S-1-" + std::to_wstring(authorityValue);
    const BYTE count = *GetSidSubAuthorityCount(sid);
    for (BYTE i = 0; i < count; ++i)
        text += L'-' + std::to_wstring(*GetSidSubAuthority(sid, i));
    return text;
}
