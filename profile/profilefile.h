// Saving the mouse's whole configuration to a file and restoring it from one.
#ifndef PROFILEFILE_H
#define PROFILEFILE_H

#include "profile/mouseprofile.h"

#include <QCoreApplication>
#include <QString>

#include <optional>

class ProfileFile
{
    Q_DECLARE_TR_FUNCTIONS(ProfileFile)

public:
    static const QString Suffix;   // ".z31.json"

    // Reads the open mouse and saves the file atomically. A failed read or a setting the file cannot hold
    // fails it and leaves no file (an existing one stays as it was).
    static bool exportTo(const QString &path, QString *error);
    // Reads and checks the whole file; nothing touches the mouse.
    static std::optional<MouseProfile> load(const QString &path, QString *error);
    // load(), then writes the open mouse and reads it back.
    static bool importFrom(const QString &path, QString *error);
};

#endif
