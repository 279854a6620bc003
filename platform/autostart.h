// Starting the program when the user logs in, hidden in the tray (its --hidden option): the per-user Run value
// in the registry on Windows (the installer writes the same one), an XDG autostart entry elsewhere.
#ifndef AUTOSTART_H
#define AUTOSTART_H

#include <QString>

namespace Autostart {

// The option the login start passes.
inline QString hiddenOption()
{
    return QStringLiteral("--hidden");
}

bool isEnabled();
// Makes the login start run `executable` (the running one by default), or removes it. False, with the file or
// key that could not be written in `where`, when that failed.
bool setEnabled(bool enabled, QString *where = nullptr, const QString &executable = QString());

}

#endif
