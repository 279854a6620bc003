// Installing the application archive: refused and broken archives leave the working directory as it was.
#include "update/archiveinstaller.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <QDirIterator>
#include <QtTest>

namespace {

struct Entry
{
    QString name;
    QByteArray data;
    quint32 mode = 0100644;
    bool stored = false;
};

constexpr quint32 LinkMode = 0120777;
const QString Executable = QStringLiteral("TARNO_CONNECT_PC_V1.0.10.exe");

bool makeArchive(const QString &path, const QList<Entry> &entries)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    for (const Entry &entry : entries) {
        QuaZipNewInfo info(entry.name);
        info.externalAttr = entry.mode << 16;
        QuaZipFile file(&zip);
        if (!file.open(QIODevice::WriteOnly, info, nullptr, 0, entry.stored ? 0 : Z_DEFLATED)
            || file.write(entry.data) != entry.data.size())
            return false;
        file.close();
        if (file.getZipError() != ZIP_OK)
            return false;
    }
    zip.close();
    return zip.getZipError() == ZIP_OK;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Every file, link and folder below `path` with its content or target and permissions.
QMap<QString, QString> snapshot(const QString &path)
{
    QMap<QString, QString> result;
    const QDir root(path);
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString name = root.relativeFilePath(info.filePath());
        if (info.isSymLink()) {
            result.insert(name, QStringLiteral("link -> ") + info.symLinkTarget());
        } else if (info.isDir()) {
            result.insert(name, QStringLiteral("folder"));
        } else {
            QFile file(info.filePath());
            file.open(QIODevice::ReadOnly);
            result.insert(name, QString::number(int(info.permissions()), 16) + QLatin1Char(' ')
                              + QString::fromLatin1(file.readAll().toHex()));
        }
    }
    return result;
}

} // namespace

Q_DECLARE_METATYPE(Entry)

class tst_ArchiveInstaller : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void containedNames_data();
    void containedNames();
    void refusesEscapingArchive_data();
    void refusesEscapingArchive();
    void brokenEntryChangesNothing();
    void notAnArchiveChangesNothing();
    void installsFilesAndExecutable();
    void failedMoveIsRolledBack();

private:
    QString work() const { return root->filePath(QStringLiteral("work")); }
    QString outside() const { return root->filePath(QStringLiteral("outside")); }
    QString archive() const { return root->filePath(QStringLiteral("update.zip")); }

    std::unique_ptr<QTemporaryDir> root;
};

void tst_ArchiveInstaller::init()
{
    root = std::make_unique<QTemporaryDir>();
    QVERIFY(root->isValid());
    QVERIFY(QDir(root->path()).mkpath(QStringLiteral("outside")));
    QVERIFY(writeFile(work() + "/keep.txt", "untouched"));
    QVERIFY(writeFile(work() + "/readme.txt", "old readme"));
    QVERIFY(writeFile(work() + "/lib/a.so", "old library"));
}

void tst_ArchiveInstaller::containedNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("contained");
    QTest::newRow("plain") << "a.txt" << true;
    QTest::newRow("nested") << "lib/a.so" << true;
    QTest::newRow("dots in name") << "a..b.txt" << true;
    QTest::newRow("parent") << "../a.txt" << false;
    QTest::newRow("parent inside") << "lib/../../a.txt" << false;
    QTest::newRow("backslash parent") << "..\\a.txt" << false;
    QTest::newRow("absolute") << "/etc/passwd" << false;
    QTest::newRow("backslash absolute") << "\\Windows\\a.dll" << false;
    QTest::newRow("drive") << "C:/Windows/a.dll" << false;
    QTest::newRow("empty") << "" << false;
}

void tst_ArchiveInstaller::containedNames()
{
    QFETCH(QString, name);
    QFETCH(bool, contained);
    QCOMPARE(ArchiveInstaller::isContainedName(name), contained);
}

void tst_ArchiveInstaller::refusesEscapingArchive_data()
{
    QTest::addColumn<QList<Entry>>("entries");
    const Entry good { Executable, "#!/bin/sh\n" };
    const Entry readme { "readme.txt", "new readme" };
    // Filled in by the test: the absolute path of the folder beside the working directory.
    const QString outsideMark = QStringLiteral("@outside@");

    QTest::newRow("parent entry") << QList<Entry> { good, readme, { "../evil.txt", "evil" } };
    QTest::newRow("parent inside a path") << QList<Entry> { readme, { "lib/../../evil.txt", "evil" } };
    QTest::newRow("backslash parent") << QList<Entry> { readme, { "..\\evil.txt", "evil" } };
    QTest::newRow("absolute entry") << QList<Entry> { readme, { outsideMark + "/evil.txt", "evil" } };
    QTest::newRow("link out, then through it")
        << QList<Entry> { readme, { "lnk", outsideMark.toUtf8(), LinkMode }, { "lnk/evil.txt", "evil" } };
    QTest::newRow("link alone") << QList<Entry> { good, { "passwd", "/etc/passwd", LinkMode } };
    QTest::newRow("announced executable missing")
        << QList<Entry> { readme, { "TARNO_CONNECT_PC_V1.0.11.exe", "#!/bin/sh\n" }, { "lib/" + Executable, "x" } };
}

void tst_ArchiveInstaller::refusesEscapingArchive()
{
    QFETCH(QList<Entry>, entries);
    for (Entry &entry : entries) {
        entry.name.replace(QStringLiteral("@outside@"), outside());
        entry.data.replace("@outside@", outside().toUtf8());
    }
    QVERIFY(makeArchive(archive(), entries));
    const QMap<QString, QString> before = snapshot(work());

    ArchiveInstaller installer { QDir(work()) };
    QCOMPARE(installer.install(archive(), Executable), ArchiveInstaller::Result::Refused);
    QCOMPARE(snapshot(work()), before);
    QCOMPARE(snapshot(outside()), {});
    QVERIFY(!QFileInfo::exists(root->filePath("evil.txt")));
    QVERIFY(installer.installedFiles().isEmpty());
}

void tst_ArchiveInstaller::brokenEntryChangesNothing()
{
    // Stored, so that the entry's bytes can be found and spoiled in the archive file.
    const QByteArray payload = QByteArray("PAYLOAD-").repeated(512);
    QVERIFY(makeArchive(archive(),
                        { { Executable, "#!/bin/sh\n", 0100644, true },
                          { "readme.txt", "new readme", 0100644, true },
                          { "lib/a.so", "new library", 0100644, true },
                          { "big.bin", payload, 0100644, true } }));
    QFile file(archive());
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    const int at = bytes.indexOf(payload);
    QVERIFY(at > 0);
    bytes[at + 100] = 'X';
    QVERIFY(file.seek(0));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
    file.close();
    const QMap<QString, QString> before = snapshot(work());

    ArchiveInstaller installer { QDir(work()) };
    QCOMPARE(installer.install(archive(), Executable), ArchiveInstaller::Result::Broken);
    QCOMPARE(snapshot(work()), before);
}

void tst_ArchiveInstaller::notAnArchiveChangesNothing()
{
    QVERIFY(writeFile(archive(), "<html>not found</html>"));
    const QMap<QString, QString> before = snapshot(work());
    QCOMPARE(ArchiveInstaller(QDir(work())).install(archive(), Executable), ArchiveInstaller::Result::Unreadable);
    QCOMPARE(snapshot(work()), before);

    QVERIFY(makeArchive(archive(), {}));
    QCOMPARE(ArchiveInstaller(QDir(work())).install(archive(), Executable), ArchiveInstaller::Result::Unreadable);
    QCOMPARE(snapshot(work()), before);
}

void tst_ArchiveInstaller::installsFilesAndExecutable()
{
    QVERIFY(makeArchive(archive(), { { Executable, "#!/bin/sh\nexit 0\n", 0100644 },
                                     { "readme.txt", "new readme", 0100777 },
                                     { "lib/b.so", "library b" },
                                     { "translations/", QByteArray(), 040755 } }));
    ArchiveInstaller installer { QDir(work()) };
    QCOMPARE(installer.install(archive(), Executable), ArchiveInstaller::Result::Installed);

    QMap<QString, QString> after = snapshot(work());
    QCOMPARE(after.value("keep.txt").section(' ', 1), QString::fromLatin1(QByteArray("untouched").toHex()));
    QCOMPARE(after.value("readme.txt").section(' ', 1), QString::fromLatin1(QByteArray("new readme").toHex()));
    QCOMPARE(after.value("lib/a.so").section(' ', 1), QString::fromLatin1(QByteArray("old library").toHex()));
    QCOMPARE(after.value("lib/b.so").section(' ', 1), QString::fromLatin1(QByteArray("library b").toHex()));
    for (const QString &name : after.keys())
        QVERIFY2(!name.startsWith(".tarno-update"), qPrintable(name));

    const QFile::Permissions exe = QFileInfo(work() + "/" + Executable).permissions();
    QVERIFY(exe & QFile::ExeOwner);
    QVERIFY(exe & QFile::ExeOther);
    const QFile::Permissions readme = QFileInfo(work() + "/readme.txt").permissions();
    QVERIFY(!(readme & QFile::ExeOwner));
    QVERIFY(!(readme & QFile::WriteOther));

    QStringList installed = installer.installedFiles();
    installed.sort();
    QCOMPARE(installed, (QStringList { Executable, "lib/b.so", "readme.txt" }));
}

void tst_ArchiveInstaller::failedMoveIsRolledBack()
{
    // A folder stands where the archive's last file goes: everything moved before it must go back.
    QVERIFY(writeFile(work() + "/zz-conflict/inside.txt", "in the way"));
    QVERIFY(makeArchive(archive(),
                        { { Executable, "#!/bin/sh\n" },
                          { "a-first.txt", "a" },
                          { "readme.txt", "new readme" },
                          { "lib/a.so", "new library" },
                          { "z-last.txt", "z" },
                          { "zz-conflict", "file" } }));
    const QMap<QString, QString> before = snapshot(work());

    ArchiveInstaller installer { QDir(work()) };
    QCOMPARE(installer.install(archive(), Executable), ArchiveInstaller::Result::NotMoved);
    QCOMPARE(snapshot(work()), before);
}

QTEST_GUILESS_MAIN(tst_ArchiveInstaller)
#include "tst_archiveinstaller.moc"
