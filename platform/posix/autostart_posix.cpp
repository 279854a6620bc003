#include "platform/autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

QString entryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/autostart/tarno-connect.desktop");
}

// A string value of a desktop entry.
QString escaped(const QString &value)
{
    QString text = value;
    return text.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\n'), QStringLiteral("\\n"));
}

// A quoted argument of a desktop entry's Exec key: quoting first, then the value's own escaping.
QString quoted(const QString &argument)
{
    QString text = argument;
    for (const QChar special : { QLatin1Char('\\'), QLatin1Char('"'), QLatin1Char('`'), QLatin1Char('$') })
        text.replace(special, QLatin1Char('\\') + special);
    text.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return escaped(QLatin1Char('"') + text + QLatin1Char('"'));
}

} // namespace

namespace Autostart {

bool isEnabled()
{
    return QFileInfo::exists(entryPath());
}

bool setEnabled(bool enabled, QString *where, const QString &executable)
{
    const QString path = entryPath();
    if (where)
        *where = path;
    if (!enabled)
        return !QFileInfo::exists(path) || QFile::remove(path);
    const QString program = executable.isEmpty() ? QCoreApplication::applicationFilePath() : executable;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    // Unbuffered: a full disk must fail the write, not an unreported flush inside commit().
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    // Path= makes it work in its own folder, as when started from there: downloads and updates land there.
    const QString entry = QStringLiteral("[Desktop Entry]\nType=Application\nName=TARNO CONNECT\n")
        + QStringLiteral("Exec=%1 %2\n").arg(quoted(program), hiddenOption())
        + QStringLiteral("Path=%1\n").arg(escaped(QFileInfo(program).absolutePath()))
        + QStringLiteral("X-GNOME-Autostart-enabled=true\n");
    const QByteArray bytes = entry.toUtf8();
    return file.write(bytes) == bytes.size() && file.commit();
}

}
