#include "emu_folder.h"

#include "emu_dir.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <unistd.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/file.h>
#endif

namespace tarno_emu {

namespace {

bool parseNumber(const std::string &text, std::uint64_t max, std::uint64_t &value)
{
    if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    char *end = nullptr;
    const unsigned long long parsed = std::strtoull(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed > max)
        return false;
    value = parsed;
    return true;
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

bool lockFile(int fd)
{
#ifdef _WIN32
    OVERLAPPED whole = {};
    return LockFileEx(HANDLE(_get_osfhandle(fd)), LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole);
#else
    int result;
    do {
        result = ::flock(fd, LOCK_EX);
    } while (result != 0 && errno == EINTR);
    return result == 0;
#endif
}

void unlockFile(int fd)
{
#ifdef _WIN32
    OVERLAPPED whole = {};
    UnlockFileEx(HANDLE(_get_osfhandle(fd)), 0, MAXDWORD, MAXDWORD, &whole);
#else
    ::flock(fd, LOCK_UN);
#endif
}

bool later(const struct timespec &a, const struct timespec &b)
{
    return a.tv_sec > b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec > b.tv_nsec);
}

bool isPerUserDefault(const std::string &dir)
{
#ifdef _WIN32
    return false;
#else
    return dir == "/tmp/tarno-emu-" + std::to_string(getuid());
#endif
}

}

bool ControlState::operator==(const ControlState &other) const
{
    return generation == other.generation && latencyMicroseconds == other.latencyMicroseconds
        && capturePath == other.capturePath && failReads == other.failReads
        && failConfigWrite == other.failConfigWrite;
}

std::string formatControl(const ControlState &control)
{
    std::ostringstream out;
    out << "generation=" << control.generation << '\n'
        << "latency_us=" << control.latencyMicroseconds << '\n'
        << "capture=" << control.capturePath << '\n'
        << "fail_reads=" << control.failReads << '\n'
        << "fail_config_write=" << control.failConfigWrite << '\n';
    return out.str();
}

bool parseControl(const std::string &text, ControlState &control)
{
    ControlState parsed;
    const bool allAccepted = forEachSetting(text, [&](const std::string &name, const std::string &value) {
        std::uint64_t number = 0;
        if (name == "capture")
            parsed.capturePath = value;
        else if (name == "generation" && parseNumber(value, UINT64_MAX, number))
            parsed.generation = number;
        else if (name == "latency_us" && parseNumber(value, UINT32_MAX, number))
            parsed.latencyMicroseconds = std::uint32_t(number);
        else if (name == "fail_reads" && parseNumber(value, UINT32_MAX, number))
            parsed.failReads = std::uint32_t(number);
        else if (name == "fail_config_write" && parseNumber(value, UINT32_MAX, number))
            parsed.failConfigWrite = std::uint32_t(number);
        else
            return false;
        return true;
    });
    control = parsed;
    return allAccepted;
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

bool EmuFolder::FileSignature::operator==(const FileSignature &other) const
{
    return exists == other.exists && device == other.device && inode == other.inode && size == other.size
        && modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

EmuFolder::FileSignature EmuFolder::signatureOf(const std::string &path)
{
    FileSignature signature;
    struct stat info;
    if (::stat(path.c_str(), &info) == 0) {
        signature.exists = true;
        signature.device = info.st_dev;
        signature.inode = info.st_ino;
        signature.size = info.st_size;
        signature.modified = info.st_mtim;
    }
    return signature;
}

EmuFolder::EmuFolder(const std::string &dir)
    : dir_(absolutePath(dir))
{
}

EmuFolder::~EmuFolder()
{
    unlock();
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

std::string EmuFolder::nodePath() const { return dir_ + "/" + kTarnoEmuNodeName; }
std::string EmuFolder::memoryPath() const { return dir_ + "/memory"; }
std::string EmuFolder::controlPath() const { return dir_ + "/control"; }
std::string EmuFolder::firmwarePath() const { return dir_ + "/firmware.bin"; }
std::string EmuFolder::lockPath() const { return dir_ + "/lock"; }

bool EmuFolder::ensureDir(std::string *error) const
{
    for (std::size_t slash = dir_.find('/', 1);; slash = dir_.find('/', slash + 1)) {
        const std::string part = dir_.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            if (error)
                *error = "cannot create " + part + ": " + std::strerror(errno);
            return false;
        }
        if (slash == std::string::npos)
            break;
    }
    struct stat info;
    if (::lstat(dir_.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        if (error)
            *error = dir_ + " is not a directory";
        return false;
    }
    // The per-user folder sits in the shared /tmp: refuse one that another user prepared.
    if (isPerUserDefault(dir_) && (info.st_uid != ::geteuid() || (info.st_mode & 022) != 0)) {
        if (error)
            *error = dir_ + " belongs to another user or is writable by others";
        return false;
    }
    return true;
}

bool EmuFolder::openLockFile(std::string *error)
{
    if (lockFd_ >= 0) {
        struct stat info;
        // A lock file that was deleted with its folder no longer excludes anyone.
        if (::fstat(lockFd_, &info) == 0 && info.st_nlink > 0)
            return true;
        ::close(lockFd_);
        lockFd_ = -1;
    }
    if (!ensureDir(error))
        return false;
    lockFd_ = ::open(lockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0 && error)
        *error = "cannot open " + lockPath() + ": " + std::strerror(errno);
    return lockFd_ >= 0;
}

bool EmuFolder::lock(std::string *error)
{
    if (locked_)
        return true;
    if (!openLockFile(error))
        return false;
    if (!lockFile(lockFd_)) {
        if (error)
            *error = "cannot lock " + lockPath() + ": " + std::strerror(errno);
        return false;
    }
    locked_ = true;
    return true;
}

void EmuFolder::unlock()
{
    if (!locked_)
        return;
    unlockFile(lockFd_);
    locked_ = false;
}

void EmuFolder::refresh()
{
    reload(memoryPath(), memorySignature_, [this](const std::string *text) {
        memory_ = MouseMemory();
        if (text)
            parseMemory(*text, memory_);
    });
    refreshControl();
}

void EmuFolder::refreshControl()
{
    reload(controlPath(), controlSignature_, [this](const std::string *text) {
        control_ = ControlState();
        if (text)
            parseControl(*text, control_);
    });
}

template<typename Apply>
void EmuFolder::reload(const std::string &path, FileSignature &signature, Apply apply)
{
    if (signature.checked && signatureOf(path) == signature)
        return;
    signature = FileSignature();
    signature.checked = true;
    std::string text;
    struct stat info;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    // The signature is taken from the open file so that it belongs to the content read.
    const bool read = fd >= 0 && readAll(fd, text) && ::fstat(fd, &info) == 0;
    if (fd >= 0)
        ::close(fd);
    if (read) {
        signature.exists = true;
        signature.device = info.st_dev;
        signature.inode = info.st_ino;
        signature.size = info.st_size;
        signature.modified = info.st_mtim;
    }
    apply(read ? &text : nullptr);
}

bool EmuFolder::writeAtomically(const std::string &path, const std::string &content, const FileSignature &previous)
{
    const std::string temporary = path + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    // Readers notice changes by stat; a strictly later time stamp tells even two writes within one
    // clock tick apart, and inode numbers may be reused.
    struct timespec stamp;
    ::clock_gettime(CLOCK_REALTIME, &stamp);
    if (previous.exists && !later(stamp, previous.modified)) {
        stamp = previous.modified;
        if (++stamp.tv_nsec == 1000000000L) {
            stamp.tv_nsec = 0;
            ++stamp.tv_sec;
        }
    }
    const struct timespec times[2] = {{0, UTIME_OMIT}, stamp};
    bool ok = writeAll(fd, content.data(), content.size()) && ::futimens(fd, times) == 0 && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    const int dirFd = ::open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

bool EmuFolder::saveMemory(const MouseMemory &memory)
{
    if (memorySignature_.checked && memory == memory_)
        return true;
    if (!writeAtomically(memoryPath(), formatMemory(memory), memorySignature_))
        return false;
    memory_ = memory;
    memorySignature_ = signatureOf(memoryPath());
    memorySignature_.checked = true;
    return true;
}

bool EmuFolder::saveControl(const ControlState &control)
{
    if (controlSignature_.checked && control == control_)
        return true;
    if (!writeAtomically(controlPath(), formatControl(control), controlSignature_))
        return false;
    control_ = control;
    controlSignature_ = signatureOf(controlPath());
    controlSignature_.checked = true;
    return true;
}

bool EmuFolder::saveFirmwareImage(const std::vector<std::uint8_t> &image)
{
    return writeAtomically(firmwarePath(), std::string(image.begin(), image.end()), signatureOf(firmwarePath()));
}

NodeState EmuFolder::node() const
{
    NodeState state;
    struct stat info;
    if (::stat(nodePath().c_str(), &info) == 0) {
        state.present = true;
        state.inode = info.st_ino;
    }
    return state;
}

bool EmuFolder::createNode()
{
    const int fd = ::open(nodePath().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0)
        return ::close(fd) == 0;
    return errno == EEXIST;
}

bool EmuFolder::removeNode()
{
    return ::unlink(nodePath().c_str()) == 0 || errno == ENOENT;
}

bool EmuFolder::reenumerate()
{
    // The new node exists before the old one goes, so it cannot get the old one's inode number back:
    // a watcher that compares nodes by identity sees a different device even if it looks only once.
    const std::string fresh = nodePath() + ".new";
    const int fd = ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || ::close(fd) != 0)
        return false;
    ControlState control = control_;
    ++control.generation;
    const bool removed = removeNode();
    const bool saved = saveControl(control);
    const bool arrived = ::rename(fresh.c_str(), nodePath().c_str()) == 0;
    if (!arrived)
        ::unlink(fresh.c_str());
    return removed && saved && arrived;
}

}
