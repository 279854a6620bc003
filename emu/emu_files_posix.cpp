#include "emu_files.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace tarno_emu::files {

namespace {

std::int64_t nanoseconds(const struct timespec &time)
{
    return std::int64_t(time.tv_sec) * 1000000000 + time.tv_nsec;
}

Signature signatureOfInfo(const struct stat &info)
{
    Signature signature;
    signature.exists = true;
    signature.device = std::uint64_t(info.st_dev);
    signature.identity = std::uint64_t(info.st_ino);
    signature.size = std::uint64_t(info.st_size);
    signature.modified = nanoseconds(info.st_mtim);
    return signature;
}

bool readAll(int fd, std::string &content)
{
    content.clear();
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        content.append(buffer, std::size_t(n));
    }
}

bool writeAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

// Open-file-description record locks: per open file like flock(), but of the kind Wine takes for a Windows
// program's LockFileEx, so both sides exclude each other.
bool setLock(int fd, short type, bool wait)
{
    struct flock whole = {};
    whole.l_type = type;
    whole.l_whence = SEEK_SET;
    int result;
    do {
        result = ::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &whole);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

}

bool Signature::operator==(const Signature &other) const
{
    return exists == other.exists && device == other.device && identity == other.identity && size == other.size
        && modified == other.modified;
}

Signature signatureOf(const std::string &path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 ? signatureOfInfo(info) : Signature();
}

bool readFile(const std::string &path, std::string &content, Signature &signature)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    // The signature is taken from the open file so that it belongs to the content read.
    const bool read = readAll(fd, content) && ::fstat(fd, &info) == 0;
    ::close(fd);
    if (read)
        signature = signatureOfInfo(info);
    return read;
}

bool replaceFile(const std::string &path, const std::string &content, const Signature &previous)
{
    const std::string temporary = path + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    // Two writes within one clock tick still differ in time; inode numbers may be reused.
    struct timespec stamp;
    ::clock_gettime(CLOCK_REALTIME, &stamp);
    if (previous.exists && nanoseconds(stamp) <= previous.modified) {
        const std::int64_t next = previous.modified + 1;
        stamp.tv_sec = time_t(next / 1000000000);
        stamp.tv_nsec = long(next % 1000000000);
    }
    const struct timespec times[2] = { { 0, UTIME_OMIT }, stamp };
    bool ok = writeAll(fd, content.data(), content.size()) && ::futimens(fd, times) == 0 && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    const std::string dir = path.substr(0, path.rfind('/') == 0 ? 1 : path.rfind('/'));
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

bool makeFolder(const std::string &dir, bool privateToUser, std::string *error)
{
    for (std::size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
        const std::string part = dir.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            if (error)
                *error = "cannot create " + part + ": " + std::strerror(errno);
            return false;
        }
        if (slash == std::string::npos)
            break;
    }
    struct stat info;
    if (::lstat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        if (error)
            *error = dir + " is not a directory";
        return false;
    }
    if (privateToUser && (info.st_uid != ::geteuid() || (info.st_mode & 022) != 0)) {
        if (error)
            *error = dir + " belongs to another user or is writable by others";
        return false;
    }
    return true;
}

bool createEmptyFile(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0)
        return ::close(fd) == 0;
    return errno == EEXIST;
}

bool renameOver(const std::string &from, const std::string &to)
{
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool removeFile(const std::string &path)
{
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

std::string absolutePath(const std::string &path)
{
    std::string absolute = path;
    if (absolute.empty() || absolute[0] != '/') {
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd))
            absolute = std::string(cwd) + (absolute.empty() ? "" : "/" + absolute);
    }
    while (absolute.size() > 1 && absolute.back() == '/')
        absolute.pop_back();
    return absolute;
}

std::string lastError()
{
    return std::strerror(errno);
}

LockFile::~LockFile()
{
    unlock();
    close();
}

void LockFile::close()
{
    if (handle_ >= 0)
        ::close(int(handle_));
    handle_ = -1;
}

bool LockFile::open(const std::string &path)
{
    if (handle_ >= 0) {
        struct stat info;
        // A lock file that was deleted with its folder no longer excludes anyone.
        if (::fstat(int(handle_), &info) == 0 && info.st_nlink > 0)
            return true;
        close();
    }
    handle_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    return handle_ >= 0;
}

bool LockFile::lock()
{
    return handle_ >= 0 && setLock(int(handle_), F_WRLCK, true);
}

void LockFile::unlock()
{
    if (handle_ >= 0)
        setLock(int(handle_), F_UNLCK, false);
}

AppendFile::~AppendFile()
{
    close();
}

bool AppendFile::open(const std::string &path)
{
    close();
    handle_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    return handle_ >= 0;
}

void AppendFile::close()
{
    if (handle_ >= 0)
        ::close(int(handle_));
    handle_ = -1;
}

bool AppendFile::append(const std::string &text)
{
    return handle_ >= 0 && ::write(int(handle_), text.data(), text.size()) == ssize_t(text.size());
}

}
