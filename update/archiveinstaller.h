// Installs the application archive into the working directory: checked and unpacked into a staging folder
// first, then moved into place, so that a refused or broken archive leaves the folder as it was.
#ifndef ARCHIVEINSTALLER_H
#define ARCHIVEINSTALLER_H

#include <QDir>
#include <QString>
#include <QStringList>

class ArchiveInstaller
{
public:
    enum class Result {
        Installed,
        Unreadable,   // not a zip archive, or an empty one
        Refused,   // an entry is a link, absolute, or leaves the folder; or the announced executable is missing
        Broken,   // an entry could not be unpacked (bad data, checksum)
        NotMoved,   // the files could not be moved into place; what had been moved was put back
    };

    explicit ArchiveInstaller(const QDir &target);

    // Unpacks `archivePath` into the target folder. The archive must bring `executableName` at its top level;
    // that file is made executable.
    Result install(const QString &archivePath, const QString &executableName);
    // Target-relative names of the files placed by the last successful install.
    QStringList installedFiles() const { return installed; }

    // True when an entry of this name stays inside the folder it is unpacked into.
    static bool isContainedName(const QString &entryName);

private:
    Result checkEntries(const QString &archivePath, const QString &executableName) const;
    bool moveIntoPlace(const QString &stagingPath, const QStringList &files, const QString &backupPath);

    QDir targetDir;
    QStringList installed;
};

#endif
