#include "fuzzsupport.h"

#include "device/devicecontext.h"
#include "device/mouse.h"
#include "device/mouselink.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void dropMessage(QtMsgType, const QMessageLogContext &, const QString &)
{
}

struct Script
{
    QByteArray bytes;
    int position = 0;

    int read(int length, unsigned char *buffer)
    {
        if (length <= 0 || position >= bytes.size())
            return 0;
        const int available = qMin(length, bytes.size() - position);
        std::memset(buffer, 0, size_t(length));
        std::memcpy(buffer, bytes.constData() + position, size_t(available));
        position += available;
        return 1;
    }
};

Script control;
Script config;
QList<QByteArray> controlWritten;
QList<QByteArray> configWritten;

const tarno_char16 devicePathText[] = { '/', 'd', 'e', 'v', '/', 'f', 'u', 'z', 'z', 0 };

const tarno_char16 *openDevice(int, int) { return devicePathText; }
int closeDevice() { return 0; }
int readControl(int, unsigned char *) { return 0; }
int writeControl(int length, const unsigned char *data)
{
    controlWritten.append(QByteArray(reinterpret_cast<const char *>(data), length));
    return 0;
}
int readData(int length, unsigned char *buffer) { return control.read(length, buffer); }
int openConfigDevice(int, int) { return 0; }
int closeConfigDevice() { return 0; }
int readConfig(int, unsigned char *) { return 0; }
int writeConfig(int length, const unsigned char *data)
{
    configWritten.append(QByteArray(reinterpret_cast<const char *>(data), length));
    return 0;
}
int readConfigData(int length, unsigned char *buffer) { return config.read(length, buffer); }

} // namespace

void silenceDiagnostics()
{
    qInstallMessageHandler(dropMessage);
}

void startHeadlessApplication(int *argc, char ***argv)
{
    if (QApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    silenceDiagnostics();
    // Lives for the whole fuzzing run, as the program's own application object does.
    new QApplication(*argc, *argv);
}

void FuzzDevice::install()
{
    DeviceContext &d = deviceContext;
    d.OpenDevice = openDevice;
    d.CloseDevice = closeDevice;
    d.ReadControl = readControl;
    d.WrtieControl = writeControl;
    d.ReadData = readData;
    d.OpenConfigDevice = openConfigDevice;
    d.CloseConfigDevice = closeConfigDevice;
    d.ReadConfig = readConfig;
    d.WrtieConfig = writeConfig;
    d.ReadConfigData = readConfigData;
}

void FuzzDevice::script(const QByteArray &controlReplies, const QByteArray &configReplies)
{
    control = { controlReplies, 0 };
    config = { configReplies, 0 };
    controlWritten.clear();
    configWritten.clear();
}

const QList<QByteArray> &FuzzDevice::controlWrites()
{
    return controlWritten;
}

const QList<QByteArray> &FuzzDevice::configWrites()
{
    return configWritten;
}

void fuzzCheck(bool condition, const char *message)
{
    if (condition)
        return;
    std::fprintf(stderr, "invariant broken: %s\n", message);
    std::abort();
}

Mouse &fuzzMouse()
{
    static MouseLink link(deviceContext, MouseLink::Threading::CallerThread);
    static Mouse mouse(link);
    return mouse;
}

void deliverAnswers()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}
