// The ten entry points of the device library, answered by the emulated mouse in the folder of emu_dir.h.
// The folder is looked up again at every call: when it changes, open channels are closed and cached
// state is dropped, so one process can drive several mice one after the other.

#include "device/tarno_api.h"
#include "emu_dir.h"
#include "emu_folder.h"
#include "mouse.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <time.h>
#include <type_traits>

#if defined(_WIN32)
#define TARNO_EXPORT extern "C" __declspec(dllexport)
#else
#define TARNO_EXPORT extern "C" __attribute__((visibility("default")))
#endif

using namespace tarno_emu;

namespace {

// A HID device buffers a limited number of input reports; older ones are lost.
constexpr std::size_t MaxQueuedReplies = 64;
constexpr std::size_t NodePathCapacity = 4096;
constexpr int Failed = -1;

struct Channel
{
    bool open = false;
    std::uint64_t generation = 0;
    std::uint64_t nodeIdentity = 0;
    std::deque<Reply> replies;
};

std::string hexBytes(const unsigned char *bytes, int length)
{
    std::string text;
    if (!bytes || length <= 0)
        return text;
    text.reserve(std::size_t(length) * 3);
    static const char digits[] = "0123456789abcdef";
    for (int i = 0; i < length; ++i) {
        text += ' ';
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0x0F];
    }
    return text;
}

std::string hexId(int id)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04x", unsigned(id));
    return text;
}

// Length of the UTF-8 sequence that starts with `lead`, 0 when it cannot start one.
int sequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 0;
}

// UTF-8 to NUL-terminated UTF-16; false when it does not fit. Invalid bytes become U+FFFD.
bool toUtf16(const std::string &utf8, tarno_char16 *out, std::size_t capacity)
{
    static const unsigned char LeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    std::size_t n = 0;
    auto put = [&](std::uint32_t unit) {
        if (n + 1 >= capacity)
            return false;
        out[n++] = tarno_char16(unit);
        return true;
    };
    for (std::size_t i = 0; i < utf8.size();) {
        int length = sequenceLength(utf8[i]);
        bool valid = length > 0 && i + length <= utf8.size();
        std::uint32_t code = valid ? utf8[i] & LeadMask[length] : 0;
        for (int k = 1; valid && k < length; ++k) {
            const unsigned char next = utf8[i + k];
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (!valid || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            code = 0xFFFD;
            length = 1;
        }
        i += std::size_t(length);
        const bool stored = code < 0x10000 ? put(code)
                                           : put(0xD800 + ((code - 0x10000) >> 10)) && put(0xDC00 + (code & 0x3FF));
        if (!stored)
            return false;
    }
    out[n] = 0;
    return true;
}

// The link as USB runs it: a frame clock that starts with the library, and every call completes at the next
// frame boundary. Deadlines are absolute, so a late wake-up costs at most that frame and never adds up.
struct timespec monotonicNow()
{
    timespec now = {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

// Set when the library is loaded.
const struct timespec frameClockStart = monotonicNow();

void waitForNextFrame(std::uint32_t frameMicroseconds)
{
    const std::int64_t frame = std::int64_t(frameMicroseconds) * 1000;
    const struct timespec &start = frameClockStart;
    const struct timespec now = monotonicNow();
    const std::int64_t elapsed = std::int64_t(now.tv_sec - start.tv_sec) * 1000000000 + (now.tv_nsec - start.tv_nsec);
    const std::int64_t deadline = (elapsed / frame + 1) * frame;
    timespec at = {};
    const std::int64_t nanoseconds = start.tv_nsec + deadline % 1000000000;
    at.tv_sec = start.tv_sec + time_t(deadline / 1000000000) + time_t(nanoseconds / 1000000000);
    at.tv_nsec = long(nanoseconds % 1000000000);
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

class EmulatedLibrary
{
public:
    const tarno_char16 *openDevice(int vendorId, int productId);
    int closeDevice();
    int readControl(int length);
    int writeControl(int length, const unsigned char *data);
    int readData(int length, unsigned char *buffer);
    int openConfigDevice(int vendorId, int productId);
    int closeConfigDevice();
    int readConfig(int length);
    int writeConfig(int length, const unsigned char *data);
    int readConfigData(int length, unsigned char *buffer);

private:
    // Every entry point runs inside one: the library's own mutex, the folder's current state,
    // the wait for the next frame of the link, then the folder lock.
    class Call
    {
    public:
        explicit Call(EmulatedLibrary &library);
        ~Call();
        bool ready() const { return ready_; }

    private:
        EmulatedLibrary &library_;
        std::lock_guard<std::mutex> guard_;
        bool ready_ = false;
    };

    void followFolder();
    bool isUsable(Channel &channel);
    bool openChannel(Channel &channel, int vendorId, int productId);
    int read(Channel &channel, int replySize, int length, unsigned char *buffer);
    bool takeFailedRead();
    bool takeFailedConfigWrite();
    bool commitFirmware(const MouseMemory &memory);
    void queue(Channel &channel, Reply reply);
    void capture(const std::string &line);

    std::mutex mutex_;
    std::string configuredDir_;
    std::unique_ptr<EmuFolder> folder_;
    Channel control_;
    Channel config_;
    FirmwareReceiver firmware_;
    tarno_char16 nodePath_[NodePathCapacity] = {};
    std::string capturePath_;
    files::AppendFile captureFile_;
};

EmulatedLibrary::Call::Call(EmulatedLibrary &library)
    : library_(library)
    , guard_(library.mutex_)
{
    library_.followFolder();
    EmuFolder &folder = *library_.folder_;
    folder.refreshControl();
    if (const std::uint32_t latency = folder.control().latencyMicroseconds)
        waitForNextFrame(latency);
    ready_ = folder.lock();
    if (ready_)
        folder.refresh();
}

EmulatedLibrary::Call::~Call()
{
    library_.folder_->unlock();
}

void EmulatedLibrary::followFolder()
{
    const std::string dir = tarnoEmuDefaultDir();
    if (folder_ && dir == configuredDir_)
        return;
    configuredDir_ = dir;
    folder_ = std::make_unique<EmuFolder>(dir);
    control_ = Channel();
    config_ = Channel();
    firmware_.reset();
    captureFile_.close();
    capturePath_.clear();
}

bool EmulatedLibrary::isUsable(Channel &channel)
{
    if (!channel.open)
        return false;
    const NodeState node = folder_->node();
    const bool current = node.present && node.identity == channel.nodeIdentity
        && folder_->control().generation == channel.generation;
    // Replies of a mouse that went away are gone; the channel stays stale until it is opened again.
    if (!current)
        channel.replies.clear();
    return current;
}

bool EmulatedLibrary::openChannel(Channel &channel, int vendorId, int productId)
{
    channel = Channel();
    if (vendorId != TARNO_VENDOR_ID || productId != TARNO_PRODUCT_ID)
        return false;
    const NodeState node = folder_->node();
    if (!node.present)
        return false;
    channel.open = true;
    channel.generation = folder_->control().generation;
    channel.nodeIdentity = node.identity;
    return true;
}

void EmulatedLibrary::queue(Channel &channel, Reply reply)
{
    if (channel.replies.size() >= MaxQueuedReplies)
        channel.replies.pop_front();
    channel.replies.push_back(std::move(reply));
}

bool EmulatedLibrary::takeFailedRead()
{
    ControlState control = folder_->control();
    if (control.failReads == 0)
        return false;
    --control.failReads;
    folder_->saveControl(control);
    return true;
}

bool EmulatedLibrary::takeFailedConfigWrite()
{
    ControlState control = folder_->control();
    if (control.failConfigWrite == 0)
        return false;
    --control.failConfigWrite;
    folder_->saveControl(control);
    return control.failConfigWrite == 0;
}

int EmulatedLibrary::read(Channel &channel, int replySize, int length, unsigned char *buffer)
{
    const bool injectedFailure = takeFailedRead();
    if (!isUsable(channel) || !buffer || length <= 0 || channel.replies.empty())
        return 0;
    if (injectedFailure) {
        channel.replies.pop_front();
        return 0;
    }
    const Reply &reply = channel.replies.front();
    std::memcpy(buffer, reply.data(), std::size_t(std::min(length, replySize)));
    channel.replies.pop_front();
    return 1;
}

bool EmulatedLibrary::commitFirmware(const MouseMemory &memory)
{
    // The mouse restarts with the new image: it leaves the bus and enumerates anew.
    return folder_->saveFirmwareImage(firmware_.image()) && folder_->saveMemory(memory) && folder_->reenumerate();
}

void EmulatedLibrary::capture(const std::string &line)
{
    const std::string &path = folder_->control().capturePath;
    if (path != capturePath_) {
        captureFile_.close();
        if (!path.empty())
            captureFile_.open(path);
        capturePath_ = path;
    }
    // A capture that cannot be written is lost; the mouse goes on regardless, as a real one would.
    captureFile_.append(line + '\n');
}

const tarno_char16 *EmulatedLibrary::openDevice(int vendorId, int productId)
{
    Call call(*this);
    const std::string path = folder_->nodePath();
    const bool opened = call.ready() && openChannel(control_, vendorId, productId)
        && toUtf16(path, nodePath_, NodePathCapacity);
    if (!opened)
        control_ = Channel();
    capture("OpenDevice " + hexId(vendorId) + " " + hexId(productId) + " -> " + (opened ? path : "null"));
    return opened ? nodePath_ : nullptr;
}

int EmulatedLibrary::closeDevice()
{
    Call call(*this);
    control_ = Channel();
    capture("CloseDevice");
    return 0;
}

int EmulatedLibrary::readControl(int length)
{
    Call call(*this);
    capture("ReadControl " + std::to_string(length));
    return 0;
}

int EmulatedLibrary::writeControl(int length, const unsigned char *data)
{
    Call call(*this);
    int status = Failed;
    if (call.ready() && isUsable(control_) && data && length > 0 && length <= CommandCapacity) {
        Command command{};
        std::memcpy(command.data(), data, std::size_t(length));
        MouseMemory memory = folder_->memory();
        Reply reply = handleControlCommand(memory, command);
        if (folder_->saveMemory(memory)) {
            status = 0;
            if (!reply.empty())
                queue(control_, std::move(reply));
        }
    }
    capture("WrtieControl " + std::to_string(length) + hexBytes(data, length));
    return status;
}

int EmulatedLibrary::readData(int length, unsigned char *buffer)
{
    Call call(*this);
    const int result = call.ready() ? read(control_, ControlReplySize, length, buffer) : 0;
    capture("ReadData " + std::to_string(length) + " -> " + std::to_string(result) + hexBytes(buffer, length));
    return result;
}

int EmulatedLibrary::openConfigDevice(int vendorId, int productId)
{
    Call call(*this);
    firmware_.reset();
    const bool opened = call.ready() && openChannel(config_, vendorId, productId);
    capture("OpenConfigDevice " + hexId(vendorId) + " " + hexId(productId));
    return opened ? 0 : Failed;
}

int EmulatedLibrary::closeConfigDevice()
{
    Call call(*this);
    config_ = Channel();
    capture("CloseConfigDevice");
    return 0;
}

int EmulatedLibrary::readConfig(int length)
{
    Call call(*this);
    capture("ReadConfig " + std::to_string(length));
    return 0;
}

int EmulatedLibrary::writeConfig(int length, const unsigned char *data)
{
    Call call(*this);
    int status = Failed;
    const bool injectedFailure = call.ready() && takeFailedConfigWrite();
    if (call.ready() && !injectedFailure && isUsable(config_) && data && length > 0 && length <= CommandCapacity) {
        Command command{};
        std::memcpy(command.data(), data, std::size_t(length));
        MouseMemory memory = folder_->memory();
        ConfigOutcome outcome = handleConfigCommand(memory, firmware_, command);
        if (outcome.firmwareAccepted) {
            status = commitFirmware(memory) ? 0 : Failed;
        } else if (folder_->saveMemory(memory)) {
            status = 0;
            if (!outcome.reply.empty())
                queue(config_, std::move(outcome.reply));
        }
    }
    capture("WrtieConfig " + std::to_string(length) + hexBytes(data, length) + " -> " + std::to_string(status));
    return status;
}

int EmulatedLibrary::readConfigData(int length, unsigned char *buffer)
{
    Call call(*this);
    const int result = call.ready() ? read(config_, ConfigReplySize, length, buffer) : 0;
    capture("ReadConfigData " + std::to_string(length) + " -> " + std::to_string(result) + hexBytes(buffer, length));
    return result;
}

EmulatedLibrary &library()
{
    static EmulatedLibrary instance;
    return instance;
}

}

TARNO_EXPORT const tarno_char16 *TARNO_CALL OpenDevice(int vendorId, int productId)
{
    return library().openDevice(vendorId, productId);
}

TARNO_EXPORT int TARNO_CALL CloseDevice(void)
{
    return library().closeDevice();
}

TARNO_EXPORT int TARNO_CALL ReadControl(int length, unsigned char *)
{
    return library().readControl(length);
}

TARNO_EXPORT int TARNO_CALL WrtieControl(int length, const unsigned char *data)
{
    return library().writeControl(length, data);
}

TARNO_EXPORT int TARNO_CALL ReadData(int length, unsigned char *buffer)
{
    return library().readData(length, buffer);
}

TARNO_EXPORT int TARNO_CALL OpenConfigDevice(int vendorId, int productId)
{
    return library().openConfigDevice(vendorId, productId);
}

TARNO_EXPORT int TARNO_CALL CloseConfigDevice(void)
{
    return library().closeConfigDevice();
}

TARNO_EXPORT int TARNO_CALL ReadConfig(int length, unsigned char *)
{
    return library().readConfig(length);
}

TARNO_EXPORT int TARNO_CALL WrtieConfig(int length, const unsigned char *data)
{
    return library().writeConfig(length, data);
}

TARNO_EXPORT int TARNO_CALL ReadConfigData(int length, unsigned char *buffer)
{
    return library().readConfigData(length, buffer);
}

static_assert(std::is_same_v<decltype(&OpenDevice), OpenDeviceFn>);
static_assert(std::is_same_v<decltype(&CloseDevice), CloseDeviceFn>);
static_assert(std::is_same_v<decltype(&ReadControl), ReadControlFn>);
static_assert(std::is_same_v<decltype(&WrtieControl), WrtieControlFn>);
static_assert(std::is_same_v<decltype(&ReadData), ReadDataFn>);
static_assert(std::is_same_v<decltype(&OpenConfigDevice), OpenConfigDeviceFn>);
static_assert(std::is_same_v<decltype(&CloseConfigDevice), CloseConfigDeviceFn>);
static_assert(std::is_same_v<decltype(&ReadConfig), ReadConfigFn>);
static_assert(std::is_same_v<decltype(&WrtieConfig), WrtieConfigFn>);
static_assert(std::is_same_v<decltype(&ReadConfigData), ReadConfigDataFn>);
