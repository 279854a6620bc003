// The files of one emulated mouse: device node, onboard memory, control settings of the running mouse,
// active firmware image, and the lock that keeps every process's view of them consistent.
#ifndef TARNO_EMU_FOLDER_H
#define TARNO_EMU_FOLDER_H

#include "mouse_memory.h"

#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

namespace tarno_emu {

// Settings of the running mouse that the tool changes and every library instance follows.
struct ControlState
{
    std::uint64_t generation = 0;        // bumped at every enumeration
    std::uint32_t latencyMicroseconds = 0;
    std::string capturePath;             // empty: capture off
    std::uint32_t failReads = 0;         // the next this many reads fail
    std::uint32_t failConfigWrite = 0;   // this config write from now fails (1 = the next one); 0: none

    bool operator==(const ControlState &other) const;
    bool operator!=(const ControlState &other) const { return !(*this == other); }
};

std::string formatControl(const ControlState &control);
bool parseControl(const std::string &text, ControlState &control);

struct NodeState
{
    bool present = false;
    ino_t inode = 0;
};

class EmuFolder
{
public:
    // `dir` may be relative; it is made absolute against the current directory.
    explicit EmuFolder(const std::string &dir);
    ~EmuFolder();
    EmuFolder(const EmuFolder &) = delete;
    EmuFolder &operator=(const EmuFolder &) = delete;

    const std::string &dir() const { return dir_; }
    std::string nodePath() const;
    std::string memoryPath() const;
    std::string controlPath() const;
    std::string firmwarePath() const;
    std::string lockPath() const;

    // Creates the folder (mode 0700) when missing and takes the lock; false with `error` set when it cannot.
    bool lock(std::string *error = nullptr);
    void unlock();

    // Re-reads the memory and control files when they changed since the last look (a stat each).
    // A missing or unreadable memory file reads as factory settings.
    void refresh();
    void refreshControl();
    const MouseMemory &memory() const { return memory_; }
    const ControlState &control() const { return control_; }

    // Under the lock. Write atomically and only when the content differs from what was read.
    bool saveMemory(const MouseMemory &memory);
    bool saveControl(const ControlState &control);
    bool saveFirmwareImage(const std::vector<std::uint8_t> &image);

    NodeState node() const;
    bool createNode();
    bool removeNode();
    // Under the lock: the node goes away, the generation goes up, a new node arrives.
    bool reenumerate();

private:
    struct FileSignature
    {
        bool checked = false;   // false until the file was first looked at
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        struct timespec modified = {0, 0};

        bool operator==(const FileSignature &other) const;
    };

    static FileSignature signatureOf(const std::string &path);
    bool openLockFile(std::string *error);
    bool ensureDir(std::string *error) const;
    template<typename Apply>
    void reload(const std::string &path, FileSignature &signature, Apply apply);
    bool writeAtomically(const std::string &path, const std::string &content, const FileSignature &previous);

    std::string dir_;
    int lockFd_ = -1;
    bool locked_ = false;
    MouseMemory memory_;
    ControlState control_;
    FileSignature memorySignature_;
    FileSignature controlSignature_;
};

// Absolute form of `path` against the current directory (no symbolic links resolved).
std::string absolutePath(const std::string &path);

}

#endif
