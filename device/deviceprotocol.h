// Framing of commands and queries to the mouse, and the main window's settings reads built on them.
#ifndef DEVICEPROTOCOL_H
#define DEVICEPROTOCOL_H

#include <QByteArray>
#include <QString>
#include <QtGlobal>

struct DeviceContext;
struct DeviceSettings;

namespace DeviceCommand {
constexpr quint8 ReadLighting = 0xA0;
constexpr quint8 SetLighting = 0xA1;
constexpr quint8 ReadButton = 0xB0;
constexpr quint8 WriteButton = 0xB1;
constexpr quint8 SetDpi = 0xC1;
constexpr quint8 ReadDpi = 0xC2;
constexpr quint8 SetReportRate = 0xC3;
constexpr quint8 ReadReportRate = 0xC4;
constexpr quint8 FactoryReset = 0xEE;
constexpr quint8 ReadFirmwareVersion = 0xD0;
constexpr quint8 ReadMacro = 0xF0;
constexpr quint8 WriteMacro = 0xF1;
} // namespace DeviceCommand

constexpr int QueryRetries = 10;

// Writes a 31-byte control command and reads its 32-byte reply into `reply`; when the read fails, closes and
// reopens the control channel and repeats, up to QueryRetries more times (fewer once the program is ending).
// Returns whether a reply was read; `reply` changes only then, whatever the failed reads left in the library's
// buffer.
bool queryControl(const quint8 *command, quint8 *reply);
// The same on the config channel, with a command of `length` bytes and a 64-byte reply.
bool queryConfig(const quint8 *command, int length, quint8 *reply);
// One DPI state query, not tried again: whether the mouse answers at all. Counted as answered when it does; a
// mouse already known to be silent is not counted again. The reply is not kept.
bool mouseAnswers();
// How many queries the mouse has answered since start, and how many it left unanswered after all their attempts.
// Safe from any thread.
quint64 answeredQueryCount();
quint64 unansweredQueryCount();

// Writes the first 31 bytes of `command` on the control channel; the result is not examined.
void writeControl(const quint8 *command);
// Sends the shared command buffer.
void sendCommandBuffer();

// Opens the mouse and, when found, stores its handle and converted path. Returns whether a mouse was opened; a
// mouse whose path converts to nothing counts as not found.
bool openDevice();
// True when `interfaceName` names the mouse opened at `devicePath`: the lower-cased name contains the lower-cased
// path.
bool isOpenDeviceName(const QString &interfaceName, const QByteArray &devicePath);

// Reads lighting, DPI and report rate into `settings` (each step runs whatever the previous one got). Returns
// whether all three were answered; `answered` gets the SettingsBlock flags of those that were.
bool readSettingsBlocks(DeviceSettings &settings, int *answered = nullptr);
// Opens the config channel (leaving it open) and reads the firmware version into `settings`. Returns whether it
// was answered.
bool readFirmwareVersion(DeviceSettings &settings);
// "a.b.c" from `firmwareInfo`.
QString firmwareVersion(const DeviceSettings &settings);
// "Version: a.b.c" from `firmwareInfo`.
QString firmwareVersionText(const DeviceSettings &settings);
// Reads the DPI state again and updates `currentDpiLevel`; false, with both unchanged, when the mouse did not answer.
bool readDpiState(DeviceSettings &settings);
// Restores the mouse's factory settings (no reply is read).
void sendFactoryReset();

#endif
