#include "update/appversion.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <tuple>

AppVersion AppVersion::fromCode(int code)
{
    return { code / 10000, code % 10000 / 100, code % 100 };
}

QString AppVersion::text() const
{
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(patch);
}

bool operator<(const AppVersion &a, const AppVersion &b)
{
    return std::tie(a.major, a.minor, a.patch) < std::tie(b.major, b.minor, b.patch);
}

bool operator==(const AppVersion &a, const AppVersion &b)
{
    return std::tie(a.major, a.minor, a.patch) == std::tie(b.major, b.minor, b.patch);
}

QString versionedExecutableName(const AppVersion &version)
{
    return QStringLiteral("TARNO_CONNECT_PC_V") + version.text() + QStringLiteral(".exe");
}

std::optional<AppVersion> versionOfExecutableName(const QString &name)
{
    // Whole numbers of up to six digits each, so that V10.0.0 and V1.200.0 are read as they are written.
    static const QRegularExpression pattern(
        QStringLiteral("^TARNO_CONNECT_PC_V(\\d{1,6})\\.(\\d{1,6})\\.(\\d{1,6})\\.exe$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return std::nullopt;
    return AppVersion { match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt() };
}

LeftoverAction leftoverAction(const QString &name)
{
    const std::optional<AppVersion> version = versionOfExecutableName(name);
    if (!version)
        return LeftoverAction::Skip;
    return AppVersion::own() < *version ? LeftoverAction::Offer : LeftoverAction::Delete;
}

QStringList sweepLeftoverExecutables(const QDir &folder)
{
    const QString running = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    QStringList offered;
    const QStringList names = folder.entryList({ QStringLiteral("TARNO_CONNECT_PC*.exe") },
                                               QDir::Files | QDir::Readable, QDir::Name);
    for (const QString &name : names) {
        switch (leftoverAction(name)) {
        case LeftoverAction::Offer:
            offered << name;
            break;
        case LeftoverAction::Delete: {
            const QString path = QDir::toNativeSeparators(folder.absoluteFilePath(name));
            qDebug() << name;
            // The running program may itself be one of them (a self-update started it under this name).
            if (!running.isEmpty() && QFileInfo(path).canonicalFilePath() == running) {
                qDebug() << "running: kept";
                break;
            }
            if (!QFile::remove(path))
                qDebug() << "cannot remove" << path;
            break;
        }
        case LeftoverAction::Skip:
            break;
        }
    }
    return offered;
}
