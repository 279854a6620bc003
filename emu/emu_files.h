// The few file operations the emulated mouse's folder needs, on POSIX and on Windows. Under Wine both sides can
// share one folder (a Z: path on the Windows side): the lock is a byte-range lock, which Wine maps to the
// record locks that the POSIX side takes.
#ifndef TARNO_EMU_FILES_H
#define TARNO_EMU_FILES_H

#include <cstdint>
#include <string>

namespace tarno_emu::files {

#ifdef _WIN32
constexpr char Separator = '\\';
#else
constexpr char Separator = '/';
#endif

// What tells one version of a file from the next: a replacement gets a new file (identity), and its
// modification time is made strictly later than the one it replaces.
struct Signature
{
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t identity = 0;   // inode, or the file index on Windows
    std::uint64_t size = 0;
    std::int64_t modified = 0;   // in the file system's ticks (1 ns here, 100 ns on Windows)

    bool operator==(const Signature &other) const;
};

Signature signatureOf(const std::string &path);
// The whole file and the signature of the content read; false when it cannot be read.
bool readFile(const std::string &path, std::string &content, Signature &signature);
// Replaces `path` atomically (a temporary file, flushed, renamed over it), with a modification time strictly
// later than `previous`'s.
bool replaceFile(const std::string &path, const std::string &content, const Signature &previous);
// Creates the folder and its parents (private to the user where the system has modes). With `privateToUser`,
// refuses a folder that belongs to another user or that others may write.
bool makeFolder(const std::string &dir, bool privateToUser, std::string *error);
// Creates an empty file; true also when it exists already.
bool createEmptyFile(const std::string &path);
// Renames `from` over `to`, which may exist.
bool renameOver(const std::string &from, const std::string &to);
// True also when the file did not exist.
bool removeFile(const std::string &path);
std::string absolutePath(const std::string &path);
// The last error of this thread as text.
std::string lastError();

// An exclusive lock on a file, shared with every process (and Wine) that locks the same file.
class LockFile
{
public:
    LockFile() = default;
    ~LockFile();
    LockFile(const LockFile &) = delete;
    LockFile &operator=(const LockFile &) = delete;

    // Opens (creating) `path`; an open file whose name was deleted since is opened again.
    bool open(const std::string &path);
    bool lock();
    void unlock();

private:
    void close();
    std::intptr_t handle_ = -1;
};

// A file that lines are appended to, each in one write so that several processes keep lines whole.
class AppendFile
{
public:
    AppendFile() = default;
    ~AppendFile();
    AppendFile(const AppendFile &) = delete;
    AppendFile &operator=(const AppendFile &) = delete;

    bool open(const std::string &path);
    void close();
    bool isOpen() const { return handle_ != -1; }
    bool append(const std::string &text);

private:
    std::intptr_t handle_ = -1;
};

}

#endif
