#include "update/archiveinstaller.h"

#include <JlCompress.h>

#include <QDebug>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

const QFile::Permissions PlainFile = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser
    | QFile::ReadGroup | QFile::ReadOther;
const QFile::Permissions ExecutableFile = PlainFile | QFile::ExeOwner | QFile::ExeUser | QFile::ExeGroup
    | QFile::ExeOther;

struct Placed
{
    QString target;
    QString backup;   // empty when nothing was there before
};

} // namespace

ArchiveInstaller::ArchiveInstaller(const QDir &target)
    : targetDir(target)
{
}

bool ArchiveInstaller::isContainedName(const QString &entryName)
{
    QString name = entryName;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')))
        return false;
    if (name.size() >= 2 && name.at(1) == QLatin1Char(':'))
        return false;
    const QStringList parts = name.split(QLatin1Char('/'));
    return !parts.contains(QStringLiteral(".."));
}

ArchiveInstaller::Result ArchiveInstaller::checkEntries(const QString &archivePath, const QString &executableName) const
{
    QuaZip zip(archivePath);
    if (!zip.open(QuaZip::mdUnzip))
        return Result::Unreadable;
    int entries = 0;
    bool announcedFound = false;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFileInfo64 info;
        if (!zip.getCurrentFileInfo(&info))
            return Result::Unreadable;
        if (info.isSymbolicLink() || !isContainedName(info.name)) {
            qDebug() << "archive entry refused:" << info.name;
            return Result::Refused;
        }
        ++entries;
        announcedFound = announcedFound || info.name == executableName;
    }
    if (zip.getZipError() != UNZ_OK || entries == 0)
        return Result::Unreadable;
    // Without the program it announces, the archive would only replace files around a program that never comes.
    if (!announcedFound) {
        qDebug() << "archive without" << executableName;
        return Result::Refused;
    }
    return Result::Installed;
}

ArchiveInstaller::Result ArchiveInstaller::install(const QString &archivePath, const QString &executableName)
{
    installed.clear();
    const Result checked = checkEntries(archivePath, executableName);
    if (checked != Result::Installed)
        return checked;

    // Inside the target folder, so that moving the files into place is a rename on the same file system.
    QTemporaryDir staging(targetDir.filePath(QStringLiteral(".tarno-update-XXXXXX")));
    if (!staging.isValid() || !QDir(staging.path()).mkdir(QStringLiteral("files"))) {
        qDebug() << "cannot create a staging folder in" << targetDir.path();
        return Result::NotMoved;
    }
    const QString filesPath = staging.filePath(QStringLiteral("files"));
    if (JlCompress::extractDir(archivePath, filesPath).isEmpty())
        return Result::Broken;

    const QDir filesDir(filesPath);
    QStringList files;
    QDirIterator it(filesPath, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo file(it.next());
        if (file.isSymLink())
            return Result::Refused;
        const QString name = filesDir.relativeFilePath(file.filePath());
        const bool executable = name == executableName;
        if (!QFile::setPermissions(file.filePath(), executable ? ExecutableFile : PlainFile))
            return Result::NotMoved;
        files.append(name);
    }
    files.sort();
    if (!moveIntoPlace(filesPath, files, staging.filePath(QStringLiteral("backup"))))
        return Result::NotMoved;
    installed = files;
    return Result::Installed;
}

bool ArchiveInstaller::moveIntoPlace(const QString &stagingPath, const QStringList &files, const QString &backupPath)
{
    const QDir staged(stagingPath);
    const QDir backups(backupPath);
    QList<Placed> placed;
    QStringList createdDirs;

    auto rollBack = [&] {
        for (auto it = placed.crbegin(); it != placed.crend(); ++it) {
            QFile::remove(it->target);
            if (!it->backup.isEmpty() && !QFile::rename(it->backup, it->target))
                qDebug() << "cannot restore" << it->target;
        }
        for (auto it = createdDirs.crbegin(); it != createdDirs.crend(); ++it)
            targetDir.rmdir(*it);
        return false;
    };

    for (const QString &name : files) {
        const QStringList parts = name.split(QLatin1Char('/'));
        QString dir;
        for (int i = 0; i + 1 < parts.size(); ++i) {
            dir += (i ? QStringLiteral("/") : QString()) + parts.at(i);
            if (QFileInfo(targetDir.filePath(dir)).isDir())
                continue;
            if (!targetDir.mkdir(dir))
                return rollBack();
            createdDirs.append(dir);
        }

        Placed entry { targetDir.filePath(name), QString() };
        const QFileInfo existing(entry.target);
        if (existing.isDir())
            return rollBack();
        if (existing.exists() || existing.isSymLink()) {
            entry.backup = backups.filePath(name);
            if (!backups.mkpath(QFileInfo(entry.backup).path()) || !QFile::rename(entry.target, entry.backup))
                return rollBack();
        }
        if (!QFile::rename(staged.filePath(name), entry.target)) {
            if (!entry.backup.isEmpty())
                QFile::rename(entry.backup, entry.target);
            return rollBack();
        }
        placed.append(entry);
    }
    return true;
}
