#include "emu_files.h"

#include <windows.h>

#include <string>

namespace tarno_emu::files {

namespace {

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::wstring wide(const std::string &utf8)
{
    if (utf8.empty())
        return std::wstring();
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring text(std::size_t(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), text.data(), size);
    return text;
}

std::string utf8(const std::wstring &text)
{
    if (text.empty())
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(std::size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::int64_t ticks(const FILETIME &time)
{
    return std::int64_t((std::uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

FILETIME fileTime(std::int64_t ticks)
{
    FILETIME time;
    time.dwLowDateTime = DWORD(std::uint64_t(ticks) & 0xFFFFFFFFu);
    time.dwHighDateTime = DWORD(std::uint64_t(ticks) >> 32);
    return time;
}

bool informationOf(HANDLE file, BY_HANDLE_FILE_INFORMATION &info)
{
    return GetFileInformationByHandle(file, &info) != 0;
}

Signature signatureOfInfo(const BY_HANDLE_FILE_INFORMATION &info)
{
    Signature signature;
    signature.exists = true;
    signature.device = info.dwVolumeSerialNumber;
    signature.identity = (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    signature.size = (std::uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    signature.modified = ticks(info.ftLastWriteTime);
    return signature;
}

HANDLE openFile(const std::string &path, DWORD access, DWORD disposition)
{
    return CreateFileW(wide(path).c_str(), access, ShareAll, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool writeAll(HANDLE file, const std::string &content)
{
    std::size_t done = 0;
    while (done < content.size()) {
        DWORD written = 0;
        const DWORD chunk = DWORD(std::min<std::size_t>(content.size() - done, 1u << 20));
        if (!WriteFile(file, content.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

bool isSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

}

bool Signature::operator==(const Signature &other) const
{
    return exists == other.exists && device == other.device && identity == other.identity && size == other.size
        && modified == other.modified;
}

Signature signatureOf(const std::string &path)
{
    const HANDLE file = openFile(path, FILE_READ_ATTRIBUTES, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE)
        return Signature();
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = informationOf(file, info);
    CloseHandle(file);
    return known ? signatureOfInfo(info) : Signature();
}

bool readFile(const std::string &path, std::string &content, Signature &signature)
{
    const HANDLE file = openFile(path, GENERIC_READ, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    content.clear();
    char buffer[8192];
    bool ok = true;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &read, nullptr)) {
            ok = false;
            break;
        }
        if (read == 0)
            break;
        content.append(buffer, read);
    }
    BY_HANDLE_FILE_INFORMATION info;
    ok = ok && informationOf(file, info);
    CloseHandle(file);
    if (ok)
        signature = signatureOfInfo(info);
    return ok;
}

bool replaceFile(const std::string &path, const std::string &content, const Signature &previous)
{
    const std::string temporary = path + ".tmp";
    const HANDLE file = openFile(temporary, GENERIC_WRITE, CREATE_ALWAYS);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    // Two writes within one clock tick still differ in time; file indexes may be reused.
    std::int64_t stamp = ticks(now);
    if (previous.exists && stamp <= previous.modified)
        stamp = previous.modified + 1;
    const FILETIME modified = fileTime(stamp);
    bool ok = writeAll(file, content) && SetFileTime(file, nullptr, nullptr, &modified) && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    ok = ok && renameOver(temporary, path);
    if (!ok)
        DeleteFileW(wide(temporary).c_str());
    return ok;
}

bool makeFolder(const std::string &dir, bool, std::string *error)
{
    // The per-user folder is below the user's own temporary folder: nothing to check beyond it being a folder.
    const std::wstring path = wide(dir);
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && !isSeparator(path[i]))
            continue;
        const std::wstring part = path.substr(0, i);
        if (part.size() <= 3 && part.size() >= 2 && part[1] == L':')
            continue;   // the drive itself
        if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            if (error)
                *error = "cannot create " + utf8(part) + ": " + lastError();
            return false;
        }
    }
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (error)
            *error = dir + " is not a directory";
        return false;
    }
    return true;
}

bool createEmptyFile(const std::string &path)
{
    const HANDLE file = openFile(path, GENERIC_WRITE, CREATE_NEW);
    if (file != INVALID_HANDLE_VALUE)
        return CloseHandle(file) != 0;
    return GetLastError() == ERROR_FILE_EXISTS;
}

bool renameOver(const std::string &from, const std::string &to)
{
    return MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool removeFile(const std::string &path)
{
    if (DeleteFileW(wide(path).c_str()))
        return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

std::string absolutePath(const std::string &path)
{
    const std::wstring relative = wide(path.empty() ? std::string(".") : path);
    const DWORD size = GetFullPathNameW(relative.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return path;
    std::wstring absolute(size, L'\0');
    const DWORD length = GetFullPathNameW(relative.c_str(), size, absolute.data(), nullptr);
    absolute.resize(length);
    // Keep a drive's root ("Z:\") whole.
    while (absolute.size() > 3 && isSeparator(absolute.back()))
        absolute.pop_back();
    return utf8(absolute);
}

std::string lastError()
{
    const DWORD error = GetLastError();
    char text[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(error) : message;
}

LockFile::~LockFile()
{
    unlock();
    close();
}

void LockFile::close()
{
    if (handle_ != -1)
        CloseHandle(HANDLE(handle_));
    handle_ = -1;
}

bool LockFile::open(const std::string &path)
{
    if (handle_ != -1) {
        BY_HANDLE_FILE_INFORMATION info;
        // A lock file that was deleted with its folder no longer excludes anyone.
        if (informationOf(HANDLE(handle_), info) && info.nNumberOfLinks > 0)
            return true;
        close();
    }
    const HANDLE file = openFile(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    handle_ = std::intptr_t(file);
    return true;
}

bool LockFile::lock()
{
    if (handle_ == -1)
        return false;
    // Wine reports a lock held by a POSIX process as a conflict instead of waiting for it: try again.
    for (;;) {
        OVERLAPPED whole = {};
        if (LockFileEx(HANDLE(handle_), LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole))
            return true;
        if (GetLastError() != ERROR_LOCK_VIOLATION)
            return false;
        Sleep(1);
    }
}

void LockFile::unlock()
{
    if (handle_ == -1)
        return;
    OVERLAPPED whole = {};
    UnlockFileEx(HANDLE(handle_), 0, MAXDWORD, MAXDWORD, &whole);
}

AppendFile::~AppendFile()
{
    close();
}

bool AppendFile::open(const std::string &path)
{
    close();
    const HANDLE file = CreateFileW(wide(path).c_str(), FILE_APPEND_DATA, ShareAll, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    handle_ = std::intptr_t(file);
    return true;
}

void AppendFile::close()
{
    if (handle_ != -1)
        CloseHandle(HANDLE(handle_));
    handle_ = -1;
}

bool AppendFile::append(const std::string &text)
{
    DWORD written = 0;
    return handle_ != -1 && WriteFile(HANDLE(handle_), text.data(), DWORD(text.size()), &written, nullptr)
        && written == text.size();
}

}
