// The download server's version file: newest application version (third line, as a version code) and newest
// firmware version (fourth line, "a.b.c").
#ifndef VERSIONFILE_H
#define VERSIONFILE_H

#include <QByteArray>
#include <QStringList>

#include <array>

struct ServerVersions
{
    bool valid = false;
    QStringList lines;

    int appVersionCode = 0;   // 0 when the third line is not a number

    // Only a fourth line of three numbers 0..255 names a firmware; anything else skips the firmware check.
    bool firmwareKnown = false;
    std::array<int, 3> firmware {};

    quint32 firmwareCode() const;
};

ServerVersions parseVersionFile(const QByteArray &body);

// (major << 16) | (minor << 8) | patch, as the mouse's version bytes compare.
constexpr quint32 firmwareVersionCode(quint32 major, quint32 minor, quint32 patch)
{
    return (major << 16) | (minor << 8) | patch;
}

#endif
