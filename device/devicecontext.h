// The one global record of the link to the mouse: the device library, its entry points and the open device.
// Used from the mouse link's thread only (device/mouselink.h); library calls never overlap, so the buffers need no
// lock.
#ifndef DEVICECONTEXT_H
#define DEVICECONTEXT_H

#include "device/devicesettings.h"
#include "device/tarno_api.h"

#include <QLibrary>
#include <QString>
#include <QStringList>

#include <atomic>

constexpr int DevicePathSize = 512;
constexpr int ControlCommandSize = TARNO_CONTROL_COMMAND_SIZE;
constexpr int ControlReplySize = TARNO_CONTROL_REPLY_SIZE;
constexpr int ConfigCommandSize = TARNO_CONFIG_COMMAND_SIZE;
constexpr int ConfigReplySize = TARNO_CONFIG_REPLY_SIZE;

struct DeviceContext
{
    QLibrary library;

    OpenDeviceFn OpenDevice = nullptr;
    CloseDeviceFn CloseDevice = nullptr;
    ReadControlFn ReadControl = nullptr;
    WrtieControlFn WrtieControl = nullptr;
    ReadDataFn ReadData = nullptr;
    OpenConfigDeviceFn OpenConfigDevice = nullptr;
    CloseConfigDeviceFn CloseConfigDevice = nullptr;
    ReadConfigFn ReadConfig = nullptr;
    WrtieConfigFn WrtieConfig = nullptr;
    ReadConfigDataFn ReadConfigData = nullptr;

    const tarno_char16 *deviceHandle = nullptr;   // owned by the library
    char devicePath[DevicePathSize] = {};
    // Shared by the pages and never cleared: bytes a command does not set keep what earlier commands left.
    quint8 commandBuffer[32] = {};
    quint8 controlReply[32] = {};
    // What the mouse holds as far as the program knows: its last answers to the settings queries, overlaid with
    // the settings commands sent since. A factory reset is seen to have taken effect once a read differs from it.
    DeviceSettings expected;
    // Set when the program is ending: queries stop retrying, so that quitting never waits for all their attempts.
    std::atomic<bool> abandoned { false };
    // The link's session and that of the job running: a job asked of a mouse that has gone since (the session
    // ended) asks it nothing more, so that the next mouse is opened without waiting for all its time-outs. A
    // transfer (exclusive) runs on: the mouse leaves and returns during one by design.
    std::atomic<quint64> session { 0 };
    quint64 jobSession = 0;
    bool jobExclusive = false;
    bool jobOutlived() const { return !jobExclusive && jobSession != session; }
};

extern DeviceContext deviceContext;

// The entry-point names, in the order they are resolved.
const QStringList &deviceEntryPointNames();

// Resolves the ten entry points of `context.library` into `context`. Returns the first name that could not be
// resolved, or an empty string when all were found; on failure no pointer of `context` is changed.
QString resolveEntryPoints(DeviceContext &context);

#endif
