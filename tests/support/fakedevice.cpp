#include "fakedevice.h"

#include "device/devicecontext.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cstring>

QList<FakeCall> FakeDevice::calls;
int FakeDevice::failReadsUntil = 0;
int FakeDevice::readCount = 0;
QByteArray FakeDevice::controlReply;
QByteArray FakeDevice::configReply;
QList<int> FakeDevice::configWriteResults;
const char16_t *FakeDevice::openResult = u"/dev/Fake-Z31";

namespace {

QByteArray bytesOf(const unsigned char *data, int length)
{
    return QByteArray(reinterpret_cast<const char *>(data), length);
}

bool readSucceeds()
{
    const int index = FakeDevice::readCount++;
    return FakeDevice::failReadsUntil >= 0 && index >= FakeDevice::failReadsUntil;
}

int fakeRead(const QString &name, const QByteArray &reply, int length, unsigned char *buffer)
{
    const bool ok = readSucceeds();
    if (ok) {
        std::memset(buffer, 0, size_t(length));
        std::memcpy(buffer, reply.constData(), size_t(qMin(length, reply.size())));
    }
    FakeDevice::calls.append({ name, ok ? bytesOf(buffer, length) : QByteArray() });
    // Only the low byte counts: a "true" with high bits set must still read as success.
    return ok ? 0x101 : 0x100;
}

const tarno_char16 *openDevice(int, int)
{
    FakeDevice::calls.append({ QStringLiteral("OpenDevice"), {} });
    return reinterpret_cast<const tarno_char16 *>(FakeDevice::openResult);
}
int closeDevice()
{
    FakeDevice::calls.append({ QStringLiteral("CloseDevice"), {} });
    return 0;
}
int readControl(int, unsigned char *)
{
    FakeDevice::calls.append({ QStringLiteral("ReadControl"), {} });
    return 0;
}
int writeControl(int length, const unsigned char *data)
{
    FakeDevice::calls.append({ QStringLiteral("WrtieControl"), bytesOf(data, length) });
    return 0;
}
int readData(int length, unsigned char *buffer)
{
    return fakeRead(QStringLiteral("ReadData"), FakeDevice::controlReply, length, buffer);
}
int openConfigDevice(int, int)
{
    FakeDevice::calls.append({ QStringLiteral("OpenConfigDevice"), {} });
    return 0;
}
int closeConfigDevice()
{
    FakeDevice::calls.append({ QStringLiteral("CloseConfigDevice"), {} });
    return 0;
}
int readConfig(int, unsigned char *)
{
    FakeDevice::calls.append({ QStringLiteral("ReadConfig"), {} });
    return 0;
}
int writeConfig(int length, const unsigned char *data)
{
    FakeDevice::calls.append({ QStringLiteral("WrtieConfig"), bytesOf(data, length) });
    return FakeDevice::configWriteResults.isEmpty() ? 0 : FakeDevice::configWriteResults.takeFirst();
}
int readConfigData(int length, unsigned char *buffer)
{
    return fakeRead(QStringLiteral("ReadConfigData"), FakeDevice::configReply, length, buffer);
}

} // namespace

void FakeDevice::install()
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
    calls.clear();
    failReadsUntil = 0;
    readCount = 0;
    controlReply.clear();
    configReply.clear();
    configWriteResults.clear();
}

QStringList FakeDevice::names()
{
    QStringList result;
    for (const FakeCall &call : calls)
        result << call.name;
    return result;
}

QList<QByteArray> FakeDevice::writes(const QString &name)
{
    QList<QByteArray> result;
    for (const FakeCall &call : calls) {
        if (call.name == name)
            result << call.bytes;
    }
    return result;
}

void deliverAnswers()
{
    // An answer may ask for more (the open, then the settings read): Qt delivers what is posted meanwhile in the
    // next round only.
    for (int round = 0; round < 8; ++round)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}

bool waitForLink(MouseLink &link)
{
    // Jobs run in order: once this one has answered, every earlier one has ended.
    QEventLoop idle;
    QTimer::singleShot(10000, &idle, [&idle] { idle.exit(1); });
    link.ask(&idle, [](DeviceContext &) { return QVariant(true); }, [&idle](const QVariant &) { idle.exit(0); });
    return idle.exec() == 0;
}
