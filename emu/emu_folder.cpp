#include "emu_folder.h"

#include "emu_dir.h"
#include "emu_notice.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

#ifndef _WIN32
#include <unistd.h>
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

bool isPerUserDefault(const std::string &dir)
{
#ifdef _WIN32
    (void)dir;
    return false;
#else
    return dir == "/tmp/tarno-emu-" + std::to_string(getuid());
#endif
}

}

bool ControlState::operator==(const ControlState &other) const
{
    return generation == other.generation && latencyMicroseconds == other.latencyMicroseconds
        && capturePath == other.capturePath && failReads == other.failReads && failConfigWrite == other.failConfigWrite;
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

EmuFolder::EmuFolder(const std::string &dir)
    : dir_(absolutePath(dir))
{ }

EmuFolder::~EmuFolder()
{
    unlock();
}

std::string EmuFolder::pathOf(const char *name) const
{
    return dir_ + files::Separator + name;
}

std::string EmuFolder::nodePath() const
{
    return pathOf(kTarnoEmuNodeName);
}
std::string EmuFolder::memoryPath() const
{
    return pathOf("memory");
}
std::string EmuFolder::controlPath() const
{
    return pathOf("control");
}
std::string EmuFolder::firmwarePath() const
{
    return pathOf("firmware.bin");
}
std::string EmuFolder::lockPath() const
{
    return pathOf("lock");
}

bool EmuFolder::lock(std::string *error)
{
    if (locked_)
        return true;
    // The per-user folder sits in the shared temporary folder: refuse one that another user prepared.
    if (!files::makeFolder(dir_, isPerUserDefault(dir_), error))
        return false;
    if (!lockFile_.open(lockPath())) {
        if (error)
            *error = "cannot open " + lockPath() + ": " + files::lastError();
        return false;
    }
    if (!lockFile_.lock()) {
        if (error)
            *error = "cannot lock " + lockPath() + ": " + files::lastError();
        return false;
    }
    locked_ = true;
    return true;
}

void EmuFolder::unlock()
{
    if (!locked_)
        return;
    lockFile_.unlock();
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

template <typename Apply> void EmuFolder::reload(const std::string &path, FileSignature &signature, Apply apply)
{
    if (signature.checked && files::signatureOf(path) == signature)
        return;
    signature = FileSignature();
    signature.checked = true;
    std::string text;
    const bool read = files::readFile(path, text, signature);
    apply(read ? &text : nullptr);
}

bool EmuFolder::save(const std::string &path, const std::string &content, FileSignature &signature)
{
    if (!files::replaceFile(path, content, signature))
        return false;
    static_cast<files::Signature &>(signature) = files::signatureOf(path);
    signature.checked = true;
    return true;
}

bool EmuFolder::saveMemory(const MouseMemory &memory)
{
    if (memorySignature_.checked && memory == memory_)
        return true;
    if (!save(memoryPath(), formatMemory(memory), memorySignature_))
        return false;
    memory_ = memory;
    return true;
}

bool EmuFolder::saveControl(const ControlState &control)
{
    if (controlSignature_.checked && control == control_)
        return true;
    if (!save(controlPath(), formatControl(control), controlSignature_))
        return false;
    control_ = control;
    return true;
}

bool EmuFolder::saveFirmwareImage(const std::vector<std::uint8_t> &image)
{
    return files::replaceFile(firmwarePath(), std::string(image.begin(), image.end()),
                              files::signatureOf(firmwarePath()));
}

NodeState EmuFolder::node() const
{
    NodeState state;
    const files::Signature node = files::signatureOf(nodePath());
    state.present = node.exists;
    state.identity = node.identity;
    return state;
}

bool EmuFolder::createNode()
{
    const bool present = node().present;
    if (!files::createEmptyFile(nodePath()))
        return false;
    if (!present)
        announceDevice(true, nodePath());
    return true;
}

bool EmuFolder::removeNode()
{
    const bool present = node().present;
    if (!files::removeFile(nodePath()))
        return false;
    if (present)
        announceDevice(false, nodePath());
    return true;
}

bool EmuFolder::reenumerate()
{
    // The new node exists before the old one goes, so it cannot get the old one's inode number back:
    // a watcher that compares nodes by identity sees a different device even if it looks only once.
    const std::string fresh = nodePath() + ".new";
    if (!files::createEmptyFile(fresh))
        return false;
    ControlState control = control_;
    ++control.generation;
    const bool removed = removeNode();
    const bool saved = saveControl(control);
    const bool arrived = files::renameOver(fresh, nodePath());
    if (arrived)
        announceDevice(true, nodePath());
    else
        files::removeFile(fresh);
    return removed && saved && arrived;
}

}
