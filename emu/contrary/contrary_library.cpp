// A second build of the mouse's device library over the same emulated-mouse folder, written to take the other
// reasonable choice wherever the library's contract leaves room: failed reads time out and leave garbage behind,
// a factory reset lands late, a finished firmware transfer always re-enumerates, calls on a closed or stale
// channel hang until the time-out, a second open fails, and every call ends on a boundary of a frame clock.

#include "device/tarno_api.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#define TARNO_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr const char *kNodeName = "z31-hidraw";
constexpr int kControlReplySize = 32;
constexpr int kConfigReplySize = 64;
constexpr std::uint32_t kFlashBase = 0x08018000u;
constexpr std::size_t kFlashLimit = 416u * 1024u;
constexpr long long kMaxLatencyUs = 10'000'000;

// ---------------------------------------------------------------------------------------------------------------
// Settings read from the environment at every call, so that one process can try several of them.

enum class Garbage { Zeros, Previous, Random };

int envMilliseconds(const char *name, int fallback)
{
    const char *text = std::getenv(name);
    if (!text || !*text)
        return fallback;
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < 0 || value > 600'000)
        return fallback;
    return static_cast<int>(value);
}

int timeoutMs()
{
    return envMilliseconds("TARNO_CONTRARY_TIMEOUT_MS", 300);
}
int resetDelayMs()
{
    return envMilliseconds("TARNO_CONTRARY_RESET_DELAY_MS", 500);
}
int replugDelayMs()
{
    return envMilliseconds("TARNO_CONTRARY_REPLUG_DELAY_MS", 2000);
}

Garbage garbageSetting()
{
    const char *text = std::getenv("TARNO_CONTRARY_GARBAGE");
    if (text && std::strcmp(text, "zeros") == 0)
        return Garbage::Zeros;
    if (text && std::strcmp(text, "previous") == 0)
        return Garbage::Previous;
    return Garbage::Random;
}

// ---------------------------------------------------------------------------------------------------------------
// Time: a frame clock that starts when the library is loaded.

const timespec kClockOrigin = [] {
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}();

long long toNanoseconds(const timespec &t)
{
    return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
}

timespec fromNanoseconds(long long ns)
{
    timespec t {};
    t.tv_sec = static_cast<time_t>(ns / 1'000'000'000LL);
    t.tv_nsec = static_cast<long>(ns % 1'000'000'000LL);
    return t;
}

long long monotonicNow()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return toNanoseconds(now);
}

void sleepUntil(long long deadlineNs)
{
    const timespec deadline = fromNanoseconds(deadlineNs);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) { }
}

// A call completes at the first frame boundary after the work is done, as a USB transaction would.
void finishOnFrame(long long latencyUs)
{
    if (latencyUs <= 0)
        return;
    const long long frame = latencyUs * 1000;
    const long long origin = toNanoseconds(kClockOrigin);
    const long long elapsed = monotonicNow() - origin;
    sleepUntil(origin + (elapsed / frame + 1) * frame);
}

// ---------------------------------------------------------------------------------------------------------------
// Files of the folder.

bool readWholeFile(const std::string &path, std::string &content)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    content.clear();
    char chunk[4096];
    for (;;) {
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            close(fd);
            return false;
        }
        if (got == 0)
            break;
        content.append(chunk, static_cast<std::size_t>(got));
    }
    close(fd);
    return true;
}

bool writeAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t put = write(fd, data, size);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        data += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

bool syncFolder(const std::string &folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = fsync(fd) == 0;
    close(fd);
    return ok;
}

// Replaces a file so that no reader ever sees half of it; the new modification time is strictly later than the
// old one, so readers that compare times notice even a change within one clock tick.
bool replaceFile(const std::string &folder, const std::string &name, const std::string &content)
{
    // The late reset's thread replaces files too.
    static std::atomic<unsigned> counter { 0 };
    const std::string target = folder + "/" + name;
    const std::string temporary
        = folder + "/" + name + ".contrary." + std::to_string(getpid()) + "." + std::to_string(++counter) + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, content.data(), content.size()) && fsync(fd) == 0;
    if (ok) {
        timespec stamp {};
        clock_gettime(CLOCK_REALTIME, &stamp);
        struct stat old
        {
        };
        if (stat(target.c_str(), &old) == 0 && toNanoseconds(old.st_mtim) >= toNanoseconds(stamp))
            stamp = fromNanoseconds(toNanoseconds(old.st_mtim) + 1);
        const timespec times[2] = { stamp, stamp };
        ok = futimens(fd, times) == 0;
    }
    if (close(fd) != 0)
        ok = false;
    if (ok)
        ok = rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temporary.c_str());
        return false;
    }
    return syncFolder(folder);
}

std::string folderPath()
{
    const char *dir = std::getenv("TARNO_EMU_DIR");
    if (dir && *dir) {
        std::string path = dir;
        if (path.front() != '/') {
            char cwd[4096];
            if (getcwd(cwd, sizeof cwd))
                path = std::string(cwd) + "/" + path;
        }
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        return path;
    }
    return "/tmp/tarno-emu-" + std::to_string(getuid());
}

bool isDefaultFolder(const std::string &folder)
{
    const char *dir = std::getenv("TARNO_EMU_DIR");
    return !(dir && *dir) && folder == "/tmp/tarno-emu-" + std::to_string(getuid());
}

bool ensureFolder(const std::string &folder)
{
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    struct stat info
    {
    };
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    // A shared /tmp default must be ours alone, or another user could steer what this program sees.
    if (isDefaultFolder(folder) && (info.st_uid != getuid() || (info.st_mode & 022) != 0))
        return false;
    return true;
}

class FolderLock
{
public:
    explicit FolderLock(const std::string &folder)
    {
        fd_ = open((folder + "/lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ >= 0 && !setLock(F_WRLCK)) {
            close(fd_);
            fd_ = -1;
        }
    }
    ~FolderLock()
    {
        if (fd_ >= 0) {
            setLock(F_UNLCK);
            close(fd_);
        }
    }
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;
    bool held() const { return fd_ >= 0; }

private:
    // The same kind of lock as the emulated library and tarno-emu take (an open file description's record lock).
    bool setLock(short type)
    {
        struct flock whole = {};
        whole.l_type = type;
        whole.l_whence = SEEK_SET;
        int result;
        do {
            result = fcntl(fd_, F_OFD_SETLKW, &whole);
        } while (result != 0 && errno == EINTR);
        return result == 0;
    }

    int fd_ = -1;
};

// name=value lines, in the order they were read; unknown names survive a rewrite.
using Lines = std::vector<std::pair<std::string, std::string>>;

Lines parseLines(const std::string &text)
{
    Lines lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos)
            lines.emplace_back(line.substr(0, equals), line.substr(equals + 1));
        start = end + 1;
    }
    return lines;
}

std::string joinLines(const Lines &lines)
{
    std::string text;
    for (const auto &line : lines)
        text += line.first + "=" + line.second + "\n";
    return text;
}

bool parseNumber(const std::string &text, long long low, long long high, long long &value)
{
    if (text.empty())
        return false;
    char *end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

struct Control
{
    Lines lines;

    long long number(const char *name) const
    {
        for (const auto &line : lines) {
            long long value = 0;
            if (line.first == name && parseNumber(line.second, 0, 1LL << 62, value))
                return value;
        }
        return 0;
    }
    std::string text(const char *name) const
    {
        for (const auto &line : lines)
            if (line.first == name)
                return line.second;
        return {};
    }
    void set(const char *name, const std::string &value)
    {
        for (auto &line : lines)
            if (line.first == name) {
                line.second = value;
                return;
            }
        lines.emplace_back(name, value);
    }
};

Control readControl(const std::string &folder)
{
    Control control;
    std::string text;
    if (readWholeFile(folder + "/control", text))
        control.lines = parseLines(text);
    return control;
}

bool writeControl(const std::string &folder, const Control &control)
{
    return replaceFile(folder, "control", joinLines(control.lines));
}

// ---------------------------------------------------------------------------------------------------------------
// The mouse's memory.

using MacroEvent = std::array<std::uint8_t, 4>;

struct Button
{
    int type = 0;
    int id = 0;
    int param1 = 0;
    int param2 = 0;
    std::vector<MacroEvent> macro;
};

struct Memory
{
    int mode = 1, speed = 3, red = 43, green = 172, blue = 57;
    int reportRate = 1;
    std::array<int, 5> levels { { 15, 31, 47, 63, 79 } };
    int current = 1, aim = 7, highest = 4;
    std::array<Button, 8> buttons {};
    int major = 1, minor = 0, patch = 0;
    std::uint32_t firmwareSize = 0;
    std::uint32_t firmwareCrc = 0xFFFFFFFFu;

    Memory()
    {
        for (int i = 0; i < 8; ++i)
            buttons[static_cast<std::size_t>(i)].id = i + 3;
    }

    void factoryKeepingFirmware()
    {
        Memory fresh;
        fresh.major = major;
        fresh.minor = minor;
        fresh.patch = patch;
        fresh.firmwareSize = firmwareSize;
        fresh.firmwareCrc = firmwareCrc;
        *this = fresh;
    }
};

bool validMode(long long mode)
{
    return (mode >= 0 && mode <= 4) || mode == 6;
}
bool validRate(long long rate)
{
    return rate == 1 || rate == 2 || rate == 4 || rate == 8;
}

bool parseMacro(const std::string &text, std::vector<MacroEvent> &events)
{
    std::vector<MacroEvent> parsed;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ') {
            ++at;
            continue;
        }
        if (at + 8 > text.size())
            return false;
        MacroEvent event {};
        for (std::size_t k = 0; k < 4; ++k) {
            const std::string pair = text.substr(at + 2 * k, 2);
            char *end = nullptr;
            const unsigned long byte = std::strtoul(pair.c_str(), &end, 16);
            if (*end != '\0' || !std::isxdigit(static_cast<unsigned char>(pair[0])))
                return false;
            event[k] = static_cast<std::uint8_t>(byte);
        }
        parsed.push_back(event);
        at += 8;
        if (at < text.size() && text[at] != ' ')
            return false;
    }
    if (parsed.size() > 100)
        return false;
    events = parsed;
    return true;
}

// Anything missing, malformed or out of range keeps the factory value of that one setting.
Memory parseMemory(const std::string &text)
{
    Memory memory;
    for (const auto &line : parseLines(text)) {
        const std::string &name = line.first;
        const std::string &value = line.second;
        long long n = 0;
        auto number = [&](long long low, long long high, int &field) {
            if (parseNumber(value, low, high, n))
                field = static_cast<int>(n);
        };
        if (name == "lighting.mode") {
            if (parseNumber(value, 0, 6, n) && validMode(n))
                memory.mode = static_cast<int>(n);
        } else if (name == "lighting.speed") {
            number(1, 8, memory.speed);
        } else if (name == "lighting.red") {
            number(0, 255, memory.red);
        } else if (name == "lighting.green") {
            number(0, 255, memory.green);
        } else if (name == "lighting.blue") {
            number(0, 255, memory.blue);
        } else if (name == "report_rate") {
            if (parseNumber(value, 1, 8, n) && validRate(n))
                memory.reportRate = static_cast<int>(n);
        } else if (name.size() == 10 && name.compare(0, 9, "dpi.level") == 0 && name[9] >= '1' && name[9] <= '5') {
            number(1, 144, memory.levels[static_cast<std::size_t>(name[9] - '1')]);
        } else if (name == "dpi.current") {
            number(0, 4, memory.current);
        } else if (name == "dpi.aim") {
            number(1, 144, memory.aim);
        } else if (name == "dpi.highest") {
            number(0, 4, memory.highest);
        } else if (name.size() > 8 && name.compare(0, 6, "button") == 0 && name[6] >= '2' && name[6] <= '9'
                   && name[7] == '.') {
            Button &button = memory.buttons[static_cast<std::size_t>(name[6] - '2')];
            const std::string field = name.substr(8);
            if (field == "func_type")
                number(0, 2, button.type);
            else if (field == "func_id")
                number(0, 10, button.id);
            else if (field == "param1")
                number(0, 255, button.param1);
            else if (field == "param2")
                number(0, 255, button.param2);
            else if (field == "macro")
                parseMacro(value, button.macro);
        } else if (name == "firmware.version") {
            unsigned a = 0, b = 0, c = 0;
            char tail = 0;
            if (std::sscanf(value.c_str(), "%u.%u.%u%c", &a, &b, &c, &tail) == 3 && a < 256 && b < 256 && c < 256) {
                memory.major = static_cast<int>(a);
                memory.minor = static_cast<int>(b);
                memory.patch = static_cast<int>(c);
            }
        } else if (name == "firmware.size") {
            if (parseNumber(value, 0, static_cast<long long>(kFlashLimit), n))
                memory.firmwareSize = static_cast<std::uint32_t>(n);
        } else if (name == "firmware.crc") {
            char *end = nullptr;
            const unsigned long crc = std::strtoul(value.c_str(), &end, 16);
            if (value.size() == 8 && *end == '\0')
                memory.firmwareCrc = static_cast<std::uint32_t>(crc);
        }
    }
    return memory;
}

std::string formatMemory(const Memory &memory)
{
    Lines lines;
    auto add = [&lines](const std::string &name, long long value) { lines.emplace_back(name, std::to_string(value)); };
    add("lighting.mode", memory.mode);
    add("lighting.speed", memory.speed);
    add("lighting.red", memory.red);
    add("lighting.green", memory.green);
    add("lighting.blue", memory.blue);
    add("report_rate", memory.reportRate);
    for (int i = 0; i < 5; ++i)
        add("dpi.level" + std::to_string(i + 1), memory.levels[static_cast<std::size_t>(i)]);
    add("dpi.current", memory.current);
    add("dpi.aim", memory.aim);
    add("dpi.highest", memory.highest);
    for (int i = 0; i < 8; ++i) {
        const Button &button = memory.buttons[static_cast<std::size_t>(i)];
        const std::string prefix = "button" + std::to_string(i + 2) + ".";
        add(prefix + "func_type", button.type);
        add(prefix + "func_id", button.id);
        add(prefix + "param1", button.param1);
        add(prefix + "param2", button.param2);
        std::string macro;
        for (const MacroEvent &event : button.macro) {
            char hex[9];
            std::snprintf(hex, sizeof hex, "%02x%02x%02x%02x", event[0], event[1], event[2], event[3]);
            if (!macro.empty())
                macro += ' ';
            macro += hex;
        }
        lines.emplace_back(prefix + "macro", macro);
    }
    lines.emplace_back("firmware.version",
                       std::to_string(memory.major) + "." + std::to_string(memory.minor) + "."
                           + std::to_string(memory.patch));
    add("firmware.size", memory.firmwareSize);
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", memory.firmwareCrc);
    lines.emplace_back("firmware.crc", crc);
    return joinLines(lines);
}

Memory loadMemory(const std::string &folder)
{
    std::string text;
    if (!readWholeFile(folder + "/memory", text))
        return Memory();
    return parseMemory(text);
}

bool saveMemory(const std::string &folder, const Memory &memory)
{
    return replaceFile(folder, "memory", formatMemory(memory));
}

std::uint32_t stm32Crc(const std::vector<std::uint8_t> &image)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t {};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t value = i << 24;
            for (int bit = 0; bit < 8; ++bit)
                value = (value & 0x80000000u) ? (value << 1) ^ 0x04C11DB7u : value << 1;
            t[i] = value;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t word = 0; word + 4 <= image.size(); word += 4)
        for (int k = 3; k >= 0; --k)
            crc = (crc << 8) ^ table[((crc >> 24) ^ image[word + static_cast<std::size_t>(k)]) & 0xFFu];
    return crc;
}

std::uint32_t bigEndian(const unsigned char *bytes)
{
    return (std::uint32_t(bytes[0]) << 24) | (std::uint32_t(bytes[1]) << 16) | (std::uint32_t(bytes[2]) << 8)
        | std::uint32_t(bytes[3]);
}

// ---------------------------------------------------------------------------------------------------------------
// Things the mouse does later, on its own: a factory reset that lands late, a return after a firmware restart.
// One thread runs them at their time; on unload whatever is still pending runs at once, so that no folder is left
// with its mouse gone for good.

class Later
{
public:
    void schedule(long long delayMs, std::function<void()> task)
    {
        std::lock_guard<std::mutex> guard(mutex_);
        tasks_.emplace(monotonicNow() + delayMs * 1'000'000LL, std::move(task));
        if (!worker_.joinable())
            worker_ = std::thread([this] { run(); });
        wake_.notify_all();
    }

    ~Later()
    {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            stopping_ = true;
            wake_.notify_all();
        }
        if (worker_.joinable())
            worker_.join();
    }

private:
    void run()
    {
        std::unique_lock<std::mutex> guard(mutex_);
        for (;;) {
            if (tasks_.empty()) {
                if (stopping_)
                    return;
                wake_.wait(guard);
                continue;
            }
            const auto first = tasks_.begin();
            if (!stopping_ && monotonicNow() < first->first) {
                wake_.wait_for(guard, std::chrono::nanoseconds(first->first - monotonicNow()));
                continue;
            }
            std::function<void()> task = std::move(first->second);
            tasks_.erase(first);
            guard.unlock();
            task();
            guard.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::multimap<long long, std::function<void()>> tasks_;
    bool stopping_ = false;
    std::thread worker_;
};

Later &later()
{
    static Later instance;
    return instance;
}

void applyLateReset(const std::string &folder)
{
    FolderLock lock(folder);
    if (!lock.held())
        return;
    Memory memory = loadMemory(folder);
    memory.factoryKeepingFirmware();
    saveMemory(folder, memory);
}

void comeBack(const std::string &folder)
{
    FolderLock lock(folder);
    if (!lock.held())
        return;
    const std::string node = folder + "/" + kNodeName;
    struct stat info
    {
    };
    if (stat(node.c_str(), &info) == 0)
        return;
    Control control = readControl(folder);
    control.set("generation", std::to_string(control.number("generation") + 1));
    if (!writeControl(folder, control))
        return;
    const std::string fresh = node + ".new";
    const int fd = open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    close(fd);
    if (rename(fresh.c_str(), node.c_str()) == 0)
        syncFolder(folder);
}

// ---------------------------------------------------------------------------------------------------------------
// The library's own state.

struct Channel
{
    bool open = false;
    long long generation = 0;
    dev_t device = 0;
    ino_t inode = 0;
    bool hasReply = false;
    std::vector<std::uint8_t> reply;   // one pending reply: a newer query replaces an unread one
    std::vector<std::uint8_t> previous;   // the last reply handed out, for the "previous" garbage
};

struct Transfer
{
    bool region = false;
    bool broken = false;
    bool ended = false;
    bool recorded = false;
    std::uint32_t next = kFlashBase;
    std::vector<std::uint8_t> image;
    std::uint32_t recordAddress = 0, recordLength = 0, recordCrc = 0;
};

struct State
{
    std::string folder;
    Channel control;
    Channel config;
    Transfer transfer;
    std::uint64_t random = 0x9E3779B97F4A7C15ull;
    std::array<tarno_char16, 4096> path {};
};

std::mutex gMutex;
State gState;

std::uint8_t nextRandomByte()
{
    std::uint64_t &x = gState.random;
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    return static_cast<std::uint8_t>(x >> 32);
}

void fillGarbage(unsigned char *buffer, int length, const Channel &channel)
{
    if (!buffer || length <= 0)
        return;
    switch (garbageSetting()) {
    case Garbage::Zeros:
        std::memset(buffer, 0, static_cast<std::size_t>(length));
        break;
    case Garbage::Previous:
        for (int i = 0; i < length; ++i)
            buffer[i]
                = i < static_cast<int>(channel.previous.size()) ? channel.previous[static_cast<std::size_t>(i)] : 0;
        break;
    case Garbage::Random:
        for (int i = 0; i < length; ++i)
            buffer[i] = nextRandomByte();
        break;
    }
}

std::string hexBytes(const unsigned char *bytes, int length)
{
    std::string text;
    if (!bytes)
        return text;
    char pair[4];
    for (int i = 0; i < length; ++i) {
        std::snprintf(pair, sizeof pair, " %02x", bytes[i]);
        text += pair;
    }
    return text;
}

void appendCapture(const std::string &file, const std::string &line)
{
    if (file.empty() || file == "off")
        return;
    const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    const std::string text = line + "\n";
    writeAll(fd, text.data(), text.size());
    close(fd);
}

// What one call saw of the folder, taken under its lock.
struct Call
{
    std::unique_lock<std::mutex> guard { gMutex };
    std::string folder;
    bool usable = false;
    Control control;
    bool plugged = false;
    struct stat node
    {
    };
    long long latencyUs = 0;
    std::string capture;

    Call()
    {
        folder = folderPath();
        if (folder != gState.folder) {
            // Another folder is another mouse: nothing open or half done carries over.
            const std::uint64_t random = gState.random;
            const auto path = gState.path;
            gState = State();
            gState.random = random;
            gState.path = path;
            gState.folder = folder;
        }
        usable = ensureFolder(folder);
    }

    void load()
    {
        control = readControl(folder);
        plugged = stat((folder + "/" + kNodeName).c_str(), &node) == 0;
        latencyUs = std::min(static_cast<long long>(control.number("latency_us")), kMaxLatencyUs);
        capture = control.text("capture");
    }

    // For calls that change nothing in the folder: its settings (latency, capture), read under its lock.
    void loadLocked()
    {
        if (!usable)
            return;
        FolderLock lock(folder);
        load();
    }

    bool live(const Channel &channel) const
    {
        return channel.open && plugged && channel.generation == control.number("generation")
            && channel.device == node.st_dev && channel.inode == node.st_ino;
    }

    // Counts one read against fail_reads; true when this read is one of the injected failures.
    bool consumeFailedRead()
    {
        const long long left = control.number("fail_reads");
        if (left <= 0)
            return false;
        control.set("fail_reads", std::to_string(left - 1));
        writeControl(folder, control);
        return true;
    }

    // Counts one config write against fail_config_write; true when this write is the one to fail.
    bool consumeConfigWrite()
    {
        const long long left = control.number("fail_config_write");
        if (left <= 0)
            return false;
        control.set("fail_config_write", std::to_string(left - 1));
        writeControl(folder, control);
        return left == 1;
    }
};

void waitTimeout()
{
    sleepUntil(monotonicNow() + static_cast<long long>(timeoutMs()) * 1'000'000LL);
}

void setPath(const std::string &utf8)
{
    std::size_t out = 0;
    const std::size_t room = gState.path.size() - 1;
    for (std::size_t i = 0; i < utf8.size() && out < room;) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        std::uint32_t code = lead;
        std::size_t extra = 0;
        if (lead >= 0xF0) {
            code = lead & 0x07u;
            extra = 3;
        } else if (lead >= 0xE0) {
            code = lead & 0x0Fu;
            extra = 2;
        } else if (lead >= 0xC0) {
            code = lead & 0x1Fu;
            extra = 1;
        }
        ++i;
        for (std::size_t k = 0; k < extra && i < utf8.size(); ++k, ++i)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3Fu);
        if (code >= 0x10000 && out + 1 < room) {
            code -= 0x10000;
            gState.path[out++] = static_cast<tarno_char16>(0xD800 + (code >> 10));
            gState.path[out++] = static_cast<tarno_char16>(0xDC00 + (code & 0x3FF));
        } else if (code < 0x10000) {
            gState.path[out++] = static_cast<tarno_char16>(code);
        }
    }
    gState.path[out] = 0;
}

bool openChannel(Call &call, Channel &channel)
{
    if (!call.usable || !call.plugged)
        return false;
    // The handle already held stays; a real driver refuses a second claim of the interface.
    if (channel.open)
        return false;
    channel = Channel();
    channel.open = true;
    channel.generation = call.control.number("generation");
    channel.device = call.node.st_dev;
    channel.inode = call.node.st_ino;
    return true;
}

void queueReply(Channel &channel, int size, std::uint8_t reportByte, std::uint8_t code,
                const std::vector<std::pair<int, int>> &fields)
{
    channel.reply.assign(static_cast<std::size_t>(size), 0);
    channel.reply[0] = reportByte;
    channel.reply[1] = code;
    for (const auto &field : fields)
        channel.reply[static_cast<std::size_t>(field.first)] = static_cast<std::uint8_t>(field.second);
    channel.hasReply = true;
}

// Carries out one control command; false when the memory could not be saved.
bool controlCommand(Call &call, const unsigned char *c)
{
    Memory memory = loadMemory(call.folder);
    Channel &channel = gState.control;
    auto reply = [&](std::uint8_t code, const std::vector<std::pair<int, int>> &fields) {
        queueReply(channel, kControlReplySize, 0x4D, code, fields);
    };
    switch (c[0]) {
    case 0xA0:
        reply(0xA0,
              { { 4, memory.mode }, { 5, memory.speed }, { 8, memory.red }, { 9, memory.green }, { 10, memory.blue } });
        return true;
    case 0xA1:
        if (validMode(c[2]))
            memory.mode = c[2];
        if (c[3] >= 1 && c[3] <= 8)
            memory.speed = c[3];
        memory.red = c[6];
        memory.green = c[7];
        memory.blue = c[8];
        return saveMemory(call.folder, memory);
    case 0xB0: {
        if (c[1] < 2 || c[1] > 9) {
            reply(0xB0, { { 3, c[1] } });
            return true;
        }
        const Button &b = memory.buttons[c[1] - 2u];
        reply(0xB0, { { 3, c[1] }, { 4, b.type }, { 5, b.id }, { 6, b.param1 }, { 7, b.param2 } });
        return true;
    }
    case 0xB1: {
        if (c[1] < 2 || c[1] > 9)
            return true;
        Button &b = memory.buttons[c[1] - 2u];
        if (c[2] == 0 && c[3] <= 10) {
            b = Button();
            b.id = c[3];
        } else if (c[2] == 1 && c[3] <= 9) {
            b = Button();
            b.type = 1;
            b.id = c[3];
            if (c[3] == 0) {
                b.param1 = c[4];
                b.param2 = c[5];
            }
        } else if (c[2] == 2 && c[3] <= 1 && c[4] <= 100) {
            b.type = 2;
            b.id = c[3];
            b.param1 = c[4];
            b.param2 = 0;
            if (b.macro.size() > c[4])
                b.macro.resize(c[4]);
        } else {
            return true;
        }
        return saveMemory(call.folder, memory);
    }
    case 0xC1:
        for (int i = 0; i < 5; ++i)
            if (c[1 + i] >= 1 && c[1 + i] <= 144)
                memory.levels[static_cast<std::size_t>(i)] = c[1 + i];
        if (c[6] <= 4)
            memory.current = c[6];
        if (c[7] >= 1 && c[7] <= 144)
            memory.aim = c[7];
        if (c[8] <= 4)
            memory.highest = c[8];
        memory.current = std::min(memory.current, memory.highest);
        return saveMemory(call.folder, memory);
    case 0xC2:
        reply(0xC2,
              { { 3, memory.levels[0] },
                { 4, memory.levels[1] },
                { 5, memory.levels[2] },
                { 6, memory.levels[3] },
                { 7, memory.levels[4] },
                { 8, memory.current },
                { 9, memory.aim },
                { 10, memory.highest } });
        return true;
    case 0xC3:
        if (!validRate(c[1]))
            return true;
        memory.reportRate = c[1];
        return saveMemory(call.folder, memory);
    case 0xC4:
        reply(0xC4, { { 3, memory.reportRate } });
        return true;
    case 0xEE: {
        // The mouse takes the reset at once but rewrites its settings a while later.
        const std::string folder = call.folder;
        later().schedule(resetDelayMs(), [folder] { applyLateReset(folder); });
        return true;
    }
    default:
        return true;
    }
}

// The mouse restarts after every finish packet, whatever it made of the image, and is back after a while.
void restartMouse(const Call &call)
{
    unlink((call.folder + "/" + kNodeName).c_str());
    syncFolder(call.folder);
    const std::string folder = call.folder;
    later().schedule(replugDelayMs(), [folder] { comeBack(folder); });
}

bool finishTransfer(Call &call)
{
    Transfer &t = gState.transfer;
    const bool accepted = t.region && !t.broken && t.ended && t.recorded && t.recordAddress == kFlashBase
        && t.recordLength == t.image.size() && !t.image.empty() && t.image.size() <= kFlashLimit
        && t.recordCrc == stm32Crc(t.image);
    bool saved = true;
    if (accepted) {
        // The version the mouse reports is its own; nothing in the image is read as one.
        Memory memory = loadMemory(call.folder);
        memory.firmwareSize = static_cast<std::uint32_t>(t.image.size());
        memory.firmwareCrc = t.recordCrc;
        const std::string image(t.image.begin(), t.image.end());
        saved = replaceFile(call.folder, "firmware.bin", image) && saveMemory(call.folder, memory);
    }
    t = Transfer();
    restartMouse(call);
    return saved;
}

// Carries out one config command; returns the write's status.
int configCommand(Call &call, const unsigned char *c)
{
    Transfer &t = gState.transfer;
    Channel &channel = gState.config;
    switch (c[0]) {
    case 0xD0: {
        const Memory memory = loadMemory(call.folder);
        queueReply(channel, kConfigReplySize, 0x57, 0xD0,
                   { { 3, memory.major }, { 4, memory.minor }, { 5, memory.patch } });
        return 0;
    }
    case 0xF0: {
        const Memory memory = loadMemory(call.folder);
        std::vector<std::pair<int, int>> fields { { 3, c[1] }, { 4, c[2] }, { 5, c[3] } };
        if (c[1] >= 2 && c[1] <= 9 && c[2] >= 1 && c[2] <= 14) {
            const Button &b = memory.buttons[c[1] - 2u];
            for (int j = 0; j < c[2]; ++j) {
                const std::size_t index = static_cast<std::size_t>(c[3] + j);
                for (int k = 0; k < 4; ++k)
                    fields.emplace_back(6 + 4 * j + k,
                                        index < b.macro.size() ? b.macro[index][static_cast<std::size_t>(k)] : 0);
            }
        }
        queueReply(channel, kConfigReplySize, 0x57, 0xF0, fields);
        return 0;
    }
    case 0xF1: {
        if (c[1] < 2 || c[1] > 9 || c[2] < 1 || c[2] > 14 || c[3] + c[2] > 100)
            return 0;
        Memory memory = loadMemory(call.folder);
        Button &b = memory.buttons[c[1] - 2u];
        if (b.macro.size() < static_cast<std::size_t>(c[3] + c[2]))
            b.macro.resize(static_cast<std::size_t>(c[3] + c[2]), MacroEvent {});
        for (int j = 0; j < c[2]; ++j)
            for (int k = 0; k < 4; ++k)
                b.macro[static_cast<std::size_t>(c[3] + j)][static_cast<std::size_t>(k)] = c[4 + 4 * j + k];
        return saveMemory(call.folder, memory) ? 0 : -1;
    }
    case 0xDE:
    case 0xD1:
        t = Transfer();
        return 0;
    case 0xD2:
        t = Transfer();
        t.region = bigEndian(c + 3) == kFlashBase;
        t.broken = !t.region;
        return 0;
    case 0xD3: {
        const int count = c[2];
        if (!t.region || t.ended || count > 56 || bigEndian(c + 3) != t.next || t.image.size() + count > kFlashLimit)
            t.broken = true;
        else {
            t.image.insert(t.image.end(), c + 7, c + 7 + count);
            t.next += static_cast<std::uint32_t>(count);
        }
        // A short packet is the last one; the mouse answers it with a status the caller is not meant to weigh.
        return count < 56 ? 1 : 0;
    }
    case 0xD6:
        t.ended = true;
        return 0;
    case 0xD5:
        t.recorded = true;
        t.recordAddress = bigEndian(c + 3);
        t.recordLength = bigEndian(c + 7);
        t.recordCrc = bigEndian(c + 11);
        return 0;
    case 0xD7:
        return finishTransfer(call) ? 0 : -1;
    default:
        return 0;
    }
}

// Hands out the pending reply and returns true; false when the read has to sit out the time-out.
bool takeReply(Call &call, Channel &channel, int length, unsigned char *buffer)
{
    if (!call.usable)
        return false;
    FolderLock lock(call.folder);
    call.load();
    const bool injected = call.consumeFailedRead();
    if (injected) {
        channel.hasReply = false;
        return false;
    }
    if (!call.live(channel) || !channel.hasReply)
        return false;
    const int size = std::min(length, static_cast<int>(channel.reply.size()));
    std::memcpy(buffer, channel.reply.data(), static_cast<std::size_t>(size));
    channel.previous = channel.reply;
    channel.hasReply = false;
    return true;
}

// A read with no reply to give waits for the time-out and leaves garbage in the caller's buffer; 1 or 0.
int readReply(Call &call, Channel &channel, int length, unsigned char *buffer)
{
    if (!buffer || length <= 0)
        return 0;
    if (takeReply(call, channel, length, buffer))
        return 1;
    call.guard.unlock();
    waitTimeout();
    call.guard.lock();
    fillGarbage(buffer, length, channel);
    return 0;
}

// Ends a call: the capture line, then the wait for the frame boundary, both outside the locks.
void finishCall(Call &call, const std::string &line)
{
    const std::string capture = call.capture;
    const long long latency = call.latencyUs;
    if (call.guard.owns_lock())
        call.guard.unlock();
    appendCapture(capture, line);
    finishOnFrame(latency);
}

std::string hex4(int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(value) & 0xFFFFu);
    return text;
}

}   // namespace

// ---------------------------------------------------------------------------------------------------------------
// The ten entry points.

TARNO_EXPORT const tarno_char16 *OpenDevice(int vendorId, int productId)
{
    Call call;
    bool opened = false;
    if (call.usable) {
        FolderLock lock(call.folder);
        call.load();
        if (vendorId == TARNO_VENDOR_ID && productId == TARNO_PRODUCT_ID && openChannel(call, gState.control)) {
            setPath(call.folder + "/" + kNodeName);
            opened = true;
        }
    }
    std::string line = "OpenDevice " + hex4(vendorId) + " " + hex4(productId) + " -> ";
    line += opened ? call.folder + "/" + kNodeName : std::string("null");
    finishCall(call, line);
    return opened ? gState.path.data() : nullptr;
}

TARNO_EXPORT int CloseDevice(void)
{
    Call call;
    call.loadLocked();
    gState.control = Channel();
    finishCall(call, "CloseDevice");
    return 0;
}

TARNO_EXPORT int ReadControl(int length, unsigned char *buffer)
{
    (void)buffer;
    Call call;
    call.loadLocked();
    finishCall(call, "ReadControl " + std::to_string(length));
    return 0;
}

TARNO_EXPORT int WrtieControl(int length, const unsigned char *data)
{
    Call call;
    int status = -1;
    bool stalled = false;
    if (call.usable) {
        FolderLock lock(call.folder);
        call.load();
        if (data && length >= 1 && length <= 64) {
            if (call.live(gState.control)) {
                unsigned char command[64] = {};
                std::memcpy(command, data, static_cast<std::size_t>(length));
                status = controlCommand(call, command) ? 0 : -1;
            } else {
                stalled = true;
            }
        }
    }
    if (stalled) {
        call.guard.unlock();
        waitTimeout();
    }
    finishCall(call, "WrtieControl " + std::to_string(length) + hexBytes(data, std::max(length, 0)));
    return status;
}

TARNO_EXPORT int ReadData(int length, unsigned char *buffer)
{
    Call call;
    const int result = readReply(call, gState.control, length, buffer);
    finishCall(call,
               "ReadData " + std::to_string(length) + " -> " + std::to_string(result)
                   + hexBytes(buffer, std::max(length, 0)));
    return result;
}

TARNO_EXPORT int OpenConfigDevice(int vendorId, int productId)
{
    Call call;
    bool opened = false;
    if (call.usable) {
        FolderLock lock(call.folder);
        call.load();
        opened = vendorId == TARNO_VENDOR_ID && productId == TARNO_PRODUCT_ID && openChannel(call, gState.config);
    }
    finishCall(call, "OpenConfigDevice " + hex4(vendorId) + " " + hex4(productId));
    return opened ? 0 : -1;
}

TARNO_EXPORT int CloseConfigDevice(void)
{
    Call call;
    call.loadLocked();
    gState.config = Channel();
    finishCall(call, "CloseConfigDevice");
    return 0;
}

TARNO_EXPORT int ReadConfig(int length, unsigned char *buffer)
{
    (void)buffer;
    Call call;
    call.loadLocked();
    finishCall(call, "ReadConfig " + std::to_string(length));
    return 0;
}

TARNO_EXPORT int WrtieConfig(int length, const unsigned char *data)
{
    Call call;
    int status = -1;
    bool stalled = false;
    if (call.usable) {
        FolderLock lock(call.folder);
        call.load();
        const bool injected = call.consumeConfigWrite();
        if (data && length >= 1 && length <= 64 && !injected) {
            if (call.live(gState.config)) {
                unsigned char command[64] = {};
                std::memcpy(command, data, static_cast<std::size_t>(length));
                status = configCommand(call, command);
            } else {
                stalled = true;
            }
        }
    }
    if (stalled) {
        call.guard.unlock();
        waitTimeout();
    }
    finishCall(call,
               "WrtieConfig " + std::to_string(length) + hexBytes(data, std::max(length, 0)) + " -> "
                   + std::to_string(status));
    return status;
}

TARNO_EXPORT int ReadConfigData(int length, unsigned char *buffer)
{
    Call call;
    const int result = readReply(call, gState.config, length, buffer);
    finishCall(call,
               "ReadConfigData " + std::to_string(length) + " -> " + std::to_string(result)
                   + hexBytes(buffer, std::max(length, 0)));
    return result;
}
