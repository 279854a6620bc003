// The files of one emulated mouse: device node, onboard memory, control settings of the running mouse,
// active firmware image, and the lock that keeps every process's view of them consistent.
#ifndef TARNO_EMU_FOLDER_H
#define TARNO_EMU_FOLDER_H

#include "emu_files.h"
#include "mouse_memory.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarno_emu {

// Settings of the running mouse that the tool changes and every library instance follows.
struct ControlState
{
    std::uint64_t generation = 0;   // bumped at every enumeration
    std::uint32_t latencyMicroseconds = 0;
    std::string capturePath;   // empty: capture off
    std::uint32_t failReads = 0;   // the next this many reads fail
    std::uint32_t failConfigWrite = 0;   // this config write from now fails (1 = the next one); 0: none

    bool operator==(const ControlState &other) const;
    bool operator!=(const ControlState &other) const { return !(*this == other); }
};

std::string formatControl(const ControlState &control);
bool parseControl(const std::string &text, ControlState &control);

struct NodeState
{
    bool present = false;
    std::uint64_t identity = 0;   // a new node each time the mouse arrives
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

    // Creates the folder (private to the user) when missing and takes the lock; false with `error` set when it cannot.
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
    struct FileSignature : files::Signature
    {
        bool checked = false;   // false until the file was first looked at
    };

    std::string pathOf(const char *name) const;
    template <typename Apply> void reload(const std::string &path, FileSignature &signature, Apply apply);
    bool save(const std::string &path, const std::string &content, FileSignature &signature);

    std::string dir_;
    files::LockFile lockFile_;
    bool locked_ = false;
    MouseMemory memory_;
    ControlState control_;
    FileSignature memorySignature_;
    FileSignature controlSignature_;
};

using files::absolutePath;

}

#endif
