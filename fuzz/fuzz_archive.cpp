// The downloaded application archive, checked and unpacked into the working directory: whatever it holds,
// nothing may land outside that folder, no link may be placed, and an archive that is not installed leaves the
// folder as it was.
#include "fuzzsupport.h"

#include "update/archiveinstaller.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

const QString Executable = QStringLiteral("TARNO_CONNECT_PC_V1.0.10.exe");
const QByteArray KeptContent = "kept";

QTemporaryDir *root = nullptr;

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Everything below `path`, relative to it.
QStringList entriesBelow(const QString &path)
{
    QStringList names;
    const QDir base(path);
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        names << base.relativeFilePath(it.next());
    names.sort();
    return names;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    silenceDiagnostics();
    new QCoreApplication(*argc, *argv);
    root = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // "target" inside the scratch folder's "work" is the working directory; "work/outside/keep" and "work/keep"
    // stand for what lies beside and above it.
    QDir work(root->filePath(QStringLiteral("work")));
    work.removeRecursively();
    QDir().mkpath(work.filePath(QStringLiteral("target")));
    QDir().mkpath(work.filePath(QStringLiteral("outside")));
    const QString archive = root->filePath(QStringLiteral("TARNO_CONNECT_PC.zip"));
    if (!writeFile(archive, QByteArray(reinterpret_cast<const char *>(data), int(size)))
        || !writeFile(work.filePath(QStringLiteral("target/keep")), KeptContent)
        || !writeFile(work.filePath(QStringLiteral("outside/keep")), KeptContent)
        || !writeFile(work.filePath(QStringLiteral("keep")), KeptContent))
        return 0;

    ArchiveInstaller installer(QDir(work.filePath(QStringLiteral("target"))));
    const ArchiveInstaller::Result result = installer.install(archive, Executable);

    const QString target = work.filePath(QStringLiteral("target"));
    const QStringList placed = entriesBelow(target);
    QStringList expected { QStringLiteral("keep"), QStringLiteral("outside"), QStringLiteral("outside/keep"),
                           QStringLiteral("target") };
    for (const QString &name : placed)
        expected << QStringLiteral("target/") + name;
    expected.sort();
    fuzzCheck(entriesBelow(work.path()) == expected, "nothing is written beside or above the working directory");
    fuzzCheck(contentOf(work.filePath(QStringLiteral("keep"))) == KeptContent
                  && contentOf(work.filePath(QStringLiteral("outside/keep"))) == KeptContent,
              "files outside the working directory are untouched");

    if (result != ArchiveInstaller::Result::Installed) {
        fuzzCheck(placed == QStringList { QStringLiteral("keep") }, "a refused archive leaves the folder as it was");
        fuzzCheck(contentOf(work.filePath(QStringLiteral("target/keep"))) == KeptContent,
                  "a refused archive overwrites nothing");
        return 0;
    }
    for (const QString &name : placed) {
        const QFileInfo info(QDir(target).filePath(name));
        fuzzCheck(!info.isSymLink(), "no link is placed");
        fuzzCheck(!name.startsWith(QLatin1String(".tarno-update-")), "the staging folder is gone");
        if (info.isFile()) {
            fuzzCheck(!(info.permissions() & (QFile::WriteGroup | QFile::WriteOther)), "only the owner may write");
            fuzzCheck(bool(info.permissions() & QFile::ExeOwner) == (name == Executable),
                      "only the new executable is executable");
        }
    }
    for (const QString &name : installer.installedFiles())
        fuzzCheck(ArchiveInstaller::isContainedName(name) && QFileInfo(QDir(target).filePath(name)).isFile(),
                  "every installed file is a file inside the folder");
    return 0;
}
