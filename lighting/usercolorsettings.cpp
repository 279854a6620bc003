#include "lighting/usercolorsettings.h"

#include <QCoreApplication>
#include <QSettings>

namespace {

// Never deleted: widgets may use it up to the very end, and every write is synced at once.
QSettings *instance = nullptr;

} // namespace

QSettings *userColorSettings()
{
    if (!instance)
        setUserColorFile(QCoreApplication::applicationDirPath() + QStringLiteral("/user_color.ini"));
    return instance;
}

void setUserColorFile(const QString &fileName)
{
    delete instance;
    instance = new QSettings(fileName, QSettings::IniFormat);
    // Refuse a write that cannot be made by replacing the file whole.
    instance->setAtomicSyncRequired(true);
}
