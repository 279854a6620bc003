#include "device/deviceprotocol.h"

#include "device/devicecontext.h"
#include "device/devicesettings.h"
#include "platform/devicepath.h"

#include <QDebug>

#include <atomic>
#include <cstring>

namespace {

// Lower-cases only ASCII letters: the bytes may be in a multi-byte code page whose bytes are not Latin-1 letters.
QByteArray asciiLower(QByteArray text)
{
    for (char &c : text) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return text;
}

bool replyRead(int result)
{
    return (result & 0xFF) != 0;
}

// Counts the queries the mouse answered and those it left unanswered, so that the window can tell a mouse that
// has fallen silent or spoken again.
std::atomic<quint64> answeredQueries { 0 };
std::atomic<quint64> unansweredQueries { 0 };

bool queryControlBlock(quint8 code, quint8 *reply)
{
    quint8 command[ControlCommandSize] = {};
    command[0] = code;
    return queryControl(command, reply);
}

} // namespace

bool queryControl(const quint8 *command, quint8 *reply)
{
    DeviceContext &d = deviceContext;
    if (d.jobOutlived())
        return false;
    // A library may write into the buffer before it reports a failed read: only a reply read in full is kept.
    quint8 scratch[ControlReplySize];
    bool answered = false;
    d.WrtieControl(ControlCommandSize, command);
    answered = replyRead(d.ReadData(ControlReplySize, scratch));
    for (int attempt = 0; !answered && attempt < QueryRetries && !d.abandoned && !d.jobOutlived();
         ++attempt) {
        d.CloseDevice();
        d.OpenDevice(TARNO_VENDOR_ID, TARNO_PRODUCT_ID);
        d.WrtieControl(ControlCommandSize, command);
        answered = replyRead(d.ReadData(ControlReplySize, scratch));
    }
    if (!answered) {
        ++unansweredQueries;
        return false;
    }
    std::memcpy(reply, scratch, sizeof scratch);
    d.expected.takeReply(command[0], reply);
    ++answeredQueries;
    return true;
}

bool queryConfig(const quint8 *command, int length, quint8 *reply)
{
    DeviceContext &d = deviceContext;
    if (d.jobOutlived())
        return false;
    quint8 scratch[ConfigReplySize];
    bool answered = false;
    d.WrtieConfig(length, command);
    answered = replyRead(d.ReadConfigData(ConfigReplySize, scratch));
    for (int attempt = 0; !answered && attempt < QueryRetries && !d.abandoned && !d.jobOutlived();
         ++attempt) {
        d.CloseConfigDevice();
        d.OpenConfigDevice(TARNO_VENDOR_ID, TARNO_PRODUCT_ID);
        d.WrtieConfig(length, command);
        answered = replyRead(d.ReadConfigData(ConfigReplySize, scratch));
    }
    if (!answered) {
        ++unansweredQueries;
        return false;
    }
    std::memcpy(reply, scratch, sizeof scratch);
    ++answeredQueries;
    return true;
}

bool mouseAnswers()
{
    DeviceContext &d = deviceContext;
    quint8 command[ControlCommandSize] = {};
    command[0] = DeviceCommand::ReadDpi;
    quint8 reply[ControlReplySize];
    d.WrtieControl(ControlCommandSize, command);
    if (!replyRead(d.ReadData(ControlReplySize, reply)))
        return false;
    d.expected.takeReply(command[0], reply);
    ++answeredQueries;
    return true;
}

quint64 answeredQueryCount()
{
    return answeredQueries;
}

quint64 unansweredQueryCount()
{
    return unansweredQueries;
}

void writeControl(const quint8 *command)
{
    deviceContext.WrtieControl(ControlCommandSize, command);
    deviceContext.expected.takeCommand(command);
}

void sendCommandBuffer()
{
    writeControl(deviceContext.commandBuffer);
}

bool openDevice()
{
    DeviceContext &d = deviceContext;
    d.deviceHandle = d.OpenDevice(TARNO_VENDOR_ID, TARNO_PRODUCT_ID);
    if (!d.deviceHandle)
        return false;
    const QByteArray path = capDevicePath(systemCodePagePath(d.deviceHandle));
    // Without a path the mouse's removal could never be recognised: the pages would go on writing to a closed
    // handle and later plug-ins would be ignored. Leave it closed; the next arrival tries again.
    if (path.isEmpty()) {
        qDebug() << "device path empty, mouse not opened";
        d.CloseDevice();
        d.deviceHandle = nullptr;
        return false;
    }
    std::memcpy(d.devicePath, path.constData(), size_t(path.size()) + 1);
    qDebug() << d.devicePath;
    return true;
}

bool isOpenDeviceName(const QString &interfaceName, const QByteArray &devicePath)
{
    // The stored path may carry capitals; compare both sides lower-cased or the removal is never seen.
    const QByteArray name = asciiLower(interfaceName.toLocal8Bit());
    const QByteArray path = asciiLower(devicePath);
    return !path.isEmpty() && name.contains(path);
}

bool readSettingsBlocks(DeviceSettings &s, int *answered)
{
    const bool lighting = queryControlBlock(DeviceCommand::ReadLighting, s.lighting);
    const bool dpi = queryControlBlock(DeviceCommand::ReadDpi, s.dpi);
    if (dpi)
        s.currentDpiLevel = s.dpi[8];
    const bool reportRate = queryControlBlock(DeviceCommand::ReadReportRate, s.reportRate);
    if (answered) {
        *answered = (lighting ? SettingsBlock::Lighting : 0) | (dpi ? SettingsBlock::Dpi : 0)
            | (reportRate ? SettingsBlock::ReportRate : 0);
    }
    return lighting && dpi && reportRate;
}

bool readFirmwareVersion(DeviceSettings &s)
{
    qDebug() << "get fw version";
    deviceContext.OpenConfigDevice(TARNO_VENDOR_ID, TARNO_PRODUCT_ID);
    const quint8 command[1] = { DeviceCommand::ReadFirmwareVersion };
    // The update check compares with the published version: a mouse that did not answer must not look outdated.
    const bool answered = queryConfig(command, 1, s.firmwareInfo);
    if (answered)
        publishFirmwareVersion(s);
    qDebug() << int(s.firmwareInfo[3]) << int(s.firmwareInfo[4]) << int(s.firmwareInfo[5]);
    return answered;
}

QString firmwareVersion(const DeviceSettings &settings)
{
    return QStringLiteral("%1.%2.%3")
        .arg(settings.firmwareInfo[3])
        .arg(settings.firmwareInfo[4])
        .arg(settings.firmwareInfo[5]);
}

QString firmwareVersionText(const DeviceSettings &settings)
{
    return QStringLiteral("Version: ") + firmwareVersion(settings);
}

bool readDpiState(DeviceSettings &settings)
{
    if (!queryControlBlock(DeviceCommand::ReadDpi, settings.dpi))
        return false;
    settings.currentDpiLevel = settings.dpi[8];
    return true;
}

void sendFactoryReset()
{
    quint8 command[ControlCommandSize] = {};
    command[0] = DeviceCommand::FactoryReset;
    writeControl(command);
}
