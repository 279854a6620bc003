#include "platform/autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

namespace {

const QString RunKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
// The installer's check box writes the same value.
const QString RunValue = QStringLiteral("TARNO CONNECT");

} // namespace

namespace Autostart {

bool isEnabled()
{
    return QSettings(RunKey, QSettings::NativeFormat).contains(RunValue);
}

bool setEnabled(bool enabled, QString *where, const QString &executable)
{
    if (where)
        *where = RunKey + QLatin1Char('\\') + RunValue;
    QSettings run(RunKey, QSettings::NativeFormat);
    if (enabled) {
        const QString program = executable.isEmpty() ? QCoreApplication::applicationFilePath() : executable;
        run.setValue(RunValue,
                     QLatin1Char('"') + QDir::toNativeSeparators(program) + QStringLiteral("\" ") + hiddenOption());
    } else {
        run.remove(RunValue);
    }
    run.sync();
    return run.status() == QSettings::NoError && run.contains(RunValue) == enabled;
}

}
