#include "update/versionfile.h"

namespace {

constexpr int FirstLine = 0;
constexpr int AppLine = 2;
constexpr int FirmwareLine = 3;
constexpr int MinimumLines = 4;

bool readFirmware(const QString &line, std::array<int, 3> &version)
{
    const QStringList parts = line.split(QLatin1Char('.'));
    if (parts.size() < 3)
        return false;
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const int value = parts.at(i).trimmed().toInt(&ok);
        if (!ok || value < 0 || value > 255)
            return false;
        version[size_t(i)] = value;
    }
    return true;
}

} // namespace

quint32 ServerVersions::firmwareCode() const
{
    return firmwareVersionCode(quint32(firmware[0]), quint32(firmware[1]), quint32(firmware[2]));
}

ServerVersions parseVersionFile(const QByteArray &body)
{
    ServerVersions result;
    const int end = body.indexOf('\0');
    QByteArray text = end < 0 ? body : body.left(end);
    // Editors on the server side like to add a byte-order mark; it must not shift the first line's test.
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    result.lines = QString::fromUtf8(text).split(QLatin1Char('\n'));

    const QString &first = result.lines.at(FirstLine);
    result.valid = result.lines.size() >= MinimumLines && first.size() >= 2 && first.at(1) >= QLatin1Char('0')
        && first.at(1) <= QLatin1Char('9');
    if (!result.valid)
        return result;

    result.appVersionCode = result.lines.at(AppLine).trimmed().toInt();
    result.firmwareKnown = readFirmware(result.lines.at(FirmwareLine), result.firmware);
    return result;
}
