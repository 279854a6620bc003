// The firmware-version reply (config 0xD0): stored, published to the update worker and shown as text.
#include "fuzzsupport.h"

#include "device/deviceprotocol.h"
#include "device/devicesettings.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceDiagnostics();
    FuzzDevice::install();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzDevice::script({}, QByteArray(reinterpret_cast<const char *>(data), int(size)));
    readFirmwareVersion(deviceSettings);

    const quint8 *info = deviceSettings.firmwareInfo;
    const quint32 version = (quint32(info[3]) << 16) | (quint32(info[4]) << 8) | info[5];
    fuzzCheck(publishedFirmwareVersion() == version, "the worker sees the version just read");

    static const QRegularExpression shown(QStringLiteral("^Version: (\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    const QRegularExpressionMatch match = shown.match(firmwareVersionText(deviceSettings));
    fuzzCheck(match.hasMatch(), "the version text has three numbers");
    for (int i = 0; i < 3; ++i)
        fuzzCheck(match.captured(i + 1).toUInt() == info[3 + i], "the text shows the reply's bytes");
    return 0;
}
