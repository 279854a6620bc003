// The update service against real HTTPS servers on loopback: nginx for downloads with Range and If-Range, and a
// scripted server for the answers nginx never gives. Every case checks the files left in the working directory.
#include "device/devicesettings.h"
#include "testserver.h"
#include "update/update.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <QNetworkReply>
#include <QTextCodec>
#include <QtTest>

namespace {

QStringList logLines;
QtMessageHandler previousHandler = nullptr;

void recordMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    logLines << message;
    previousHandler(type, context, message);
}

bool logHas(const QString &phrase)
{
    for (const QString &line : qAsConst(logLines)) {
        if (line.contains(phrase))
            return true;
    }
    return false;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QByteArray imageBytes(int size, int seed)
{
    QByteArray bytes(size, '\0');
    quint32 state = quint32(seed) * 2654435761u + 1;
    for (int i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = char(state >> 16);
    }
    return bytes;
}

void publishMouseVersion(quint8 major, quint8 minor, quint8 patch)
{
    DeviceSettings settings;
    settings.firmwareInfo[3] = major;
    settings.firmwareInfo[4] = minor;
    settings.firmwareInfo[5] = patch;
    publishFirmwareVersion(settings);
}

QByteArray gbk(const QString &text)
{
    return QTextCodec::codecForName("GBK")->fromUnicode(text);
}

bool makeArchive(const QString &path, const QMap<QString, QByteArray> &entries)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        QuaZipFile file(&zip);
        if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(it.key())) || file.write(it.value()) != it->size())
            return false;
        file.close();
    }
    zip.close();
    return zip.getZipError() == ZIP_OK;
}

// Files whose download was started, from the URLs the service logs as it starts them.
QStringList startedDownloads()
{
    QStringList files;
    for (const QString &line : qAsConst(logLines)) {
        if (line.startsWith(QStringLiteral("QUrl(")))
            files << line.section(QLatin1Char('/'), -1).remove(QLatin1Char('"')).remove(QLatin1Char(')'));
    }
    files.sort();
    return files;
}

QStringList filesIn(const QString &path)
{
    QStringList names = QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

const QString Firmware = QStringLiteral("Z31_USB.bin");
const QString FirmwarePart = QStringLiteral("Z31_USB.bin.tmp");
const QString FirmwareValidator = QStringLiteral("Z31_USB.bin.tmp.validator");
const QString Executable = QStringLiteral("TARNO_CONNECT_PC_V1.0.10.exe");

} // namespace

class tst_UpdateService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void downloadsNewerFirmware();
    void evaluatesVersions_data();
    void evaluatesVersions();
    void resumesPartialFile();
    void restartsFileChangedOnServer();
    void missingFileRemovesPart();
    void unsatisfiableRangeRemovesPart();
    void refusesUntrustedCertificate();
    void installsApplicationArchive();
    void refusedArchiveInstallsNothing();
    void failedDescriptionClearsText();

    void restartsWhenRangeIgnored();
    void refusesRangeNotAskedFor();
    void resumesOnlyTheSameFile_data();
    void resumesOnlyTheSameFile();
    void givesUpOnStalledServer();

private:
    QString work(const QString &name = QString()) const;
    QString served(const QString &name) const;
    void serveVersions(const QByteArray &text);
    // Runs one check against `baseUrl` and waits for the chain it starts to end.
    void runCheck(Update &update, const QString &baseUrl, const QString &endPhrase);
    QByteArray nginxEtag(const QString &name) const;
    QStringList nginxRequests(const QString &name) const;
    ScriptedServer::Answer versionAnswer(const QByteArray &text) const;

    TestAuthority authority;
    TestAuthority stranger;
    NginxServer nginx;
    NginxServer untrustedNginx;
    QTemporaryDir www;
    std::unique_ptr<QTemporaryDir> workDir;
    QString startDir;
    int firstRequest = 0;
};

void tst_UpdateService::initTestCase()
{
    previousHandler = qInstallMessageHandler(recordMessage);
    QVERIFY2(authority.create(QStringLiteral("Tarno Test Authority")), qPrintable(authority.error()));
    QVERIFY2(stranger.create(QStringLiteral("Unknown Authority")), qPrintable(stranger.error()));
    // The standard way the program trusts an extra authority; nothing here or there ignores TLS errors.
    qputenv("SSL_CERT_FILE", authority.caPath().toLocal8Bit());
    QVERIFY(www.isValid());
    QVERIFY2(nginx.start(www.path(), authority), qPrintable(nginx.error()));
    QVERIFY2(untrustedNginx.start(www.path(), stranger), qPrintable(untrustedNginx.error()));
    startDir = QDir::currentPath();
}

void tst_UpdateService::init()
{
    logLines.clear();
    firstRequest = nginx.requests().size();
    QDir(www.filePath(QStringLiteral("download"))).removeRecursively();
    QVERIFY(QDir(www.path()).mkpath(QStringLiteral("download/Z31")));
    workDir = std::make_unique<QTemporaryDir>();
    QVERIFY(workDir->isValid());
    QVERIFY(QDir::setCurrent(workDir->path()));
}

void tst_UpdateService::cleanup()
{
    QDir::setCurrent(startDir);
}

QString tst_UpdateService::work(const QString &name) const
{
    return name.isEmpty() ? workDir->path() : workDir->filePath(name);
}

QString tst_UpdateService::served(const QString &name) const
{
    return www.filePath(QStringLiteral("download/Z31/") + name);
}

void tst_UpdateService::serveVersions(const QByteArray &text)
{
    QVERIFY(writeFile(served(QStringLiteral("TarnoConnectUpdate.txt")), text));
}

void tst_UpdateService::runCheck(Update &update, const QString &baseUrl, const QString &endPhrase)
{
    qputenv("TARNO_UPDATE_URL", baseUrl.toUtf8());
    update.checkUpdate();
    QTRY_VERIFY_WITH_TIMEOUT(logHas(endPhrase), 15000);
}

QByteArray tst_UpdateService::nginxEtag(const QString &name) const
{
    const QFileInfo info(served(name));
    return QByteArray("\"") + QByteArray::number(info.lastModified().toSecsSinceEpoch(), 16) + '-'
        + QByteArray::number(info.size(), 16) + '"';
}

QStringList tst_UpdateService::nginxRequests(const QString &name) const
{
    QStringList lines = nginx.requests().mid(firstRequest);
    return lines.filter(QStringLiteral("/download/Z31/") + name + QLatin1Char(' '));
}

ScriptedServer::Answer tst_UpdateService::versionAnswer(const QByteArray &text) const
{
    return { "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(text.size()), text, true };
}

void tst_UpdateService::downloadsNewerFirmware()
{
    const QByteArray image = imageBytes(300000, 1);
    serveVersions("x1\n\n10009\n1.2.3\n");
    QVERIFY(writeFile(served(Firmware), image));
    QVERIFY(writeFile(served(QStringLiteral("FWUpdateContent.txt")), gbk(QStringLiteral("修复了滚轮问题\r\n"))));
    publishMouseVersion(1, 2, 2);

    Update update;
    QSignalSpy firmware(&update, &Update::signalGetFWUpdateFinished);
    QSignalSpy content(&update, &Update::singalGetFWContentFinished);
    QSignalSpy application(&update, &Update::signalGetUpdateFinished);
    runCheck(update, nginx.baseUrl(), QStringLiteral("get_fw_content"));

    QCOMPARE(firmware.count(), 1);
    QCOMPARE(firmware.at(0).at(0).toString(), Firmware);
    QCOMPARE(update.firmwareVersionText(), QStringLiteral("1.2.3"));
    QCOMPARE(content.count(), 1);
    QCOMPARE(update.firmwareContentText(), QStringLiteral("修复了滚轮问题\r\n"));
    QCOMPARE(application.count(), 0);

    QCOMPARE(readFile(work(Firmware)), image);
    QVERIFY(!QFileInfo::exists(work(FirmwarePart)));
    QVERIFY(!QFileInfo::exists(work(FirmwareValidator)));
    QCOMPARE(nginxRequests(Firmware), QStringList { "GET /download/Z31/Z31_USB.bin \"bytes=0-\" \"-\" 206" });
    QVERIFY(nginxRequests(QStringLiteral("TARNO_CONNECT_PC.zip")).isEmpty());
}

void tst_UpdateService::evaluatesVersions_data()
{
    QTest::addColumn<QByteArray>("versions");
    QTest::addColumn<QList<int>>("mouse");
    QTest::addColumn<QStringList>("requested");
    QTest::addColumn<QString>("logged");

    QTest::newRow("newer application, same firmware")
        << QByteArray("x1\n\n10010\n1.0.0") << QList<int> { 1, 0, 0 } << QStringList { "TARNO_CONNECT_PC.zip" }
        << "app need Update：1.0.10";
    QTest::newRow("same application") << QByteArray("x1\n\n10009\n1.0.0") << QList<int> { 1, 0, 0 }
                                      << QStringList() << "server app ver: 10009";
    QTest::newRow("mouse never answered") << QByteArray("x1\n\n10009\n1.2.3") << QList<int> { 255, 0, 0 }
                                          << QStringList() << "hw_fw_version: 255 0 0";
    QTest::newRow("both newer") << QByteArray("x1\n\n20103\n1.2.3") << QList<int> { 1, 2, 2 }
                                << QStringList { "TARNO_CONNECT_PC.zip", "Z31_USB.bin" } << "app need Update：2.1.3";
    QTest::newRow("firmware line of two parts") << QByteArray("x1\n\n10009\n9.9") << QList<int> { 1, 0, 0 }
                                                << QStringList() << "firmware version of the server unreadable";
    QTest::newRow("first line x") << QByteArray("x\n\n10010\n9.9.9") << QList<int> { 1, 0, 0 } << QStringList()
                                  << "version file error:";
    QTest::newRow("three lines") << QByteArray("x1\n\n10010") << QList<int> { 1, 0, 0 } << QStringList()
                                 << "version file error:";
}

void tst_UpdateService::evaluatesVersions()
{
    QFETCH(QByteArray, versions);
    QFETCH(QList<int>, mouse);
    QFETCH(QStringList, requested);
    QFETCH(QString, logged);

    serveVersions(versions);
    publishMouseVersion(quint8(mouse.at(0)), quint8(mouse.at(1)), quint8(mouse.at(2)));
    Update update;
    runCheck(update, nginx.baseUrl(), logged);
    // Downloads start while the version file is evaluated, before either of these lines ends it.
    QTRY_VERIFY(logHas(QStringLiteral("hw_fw_version:")) || logHas(QStringLiteral("version file error:")));
    QCOMPARE(startedDownloads(), requested);
}

void tst_UpdateService::resumesPartialFile()
{
    const QByteArray image = imageBytes(300000, 2);
    serveVersions("x1\n\n10009\n1.2.3\n");
    QVERIFY(writeFile(served(Firmware), image));
    QVERIFY(writeFile(work(FirmwarePart), image.left(1000)));
    QVERIFY(writeFile(work(FirmwareValidator), nginxEtag(Firmware)));
    publishMouseVersion(1, 0, 0);

    Update update;
    QSignalSpy firmware(&update, &Update::signalGetFWUpdateFinished);
    runCheck(update, nginx.baseUrl(), QStringLiteral("get_fw_content"));

    QCOMPARE(firmware.count(), 1);
    QCOMPARE(readFile(work(Firmware)), image);
    QCOMPARE(nginxRequests(Firmware),
             QStringList { "GET /download/Z31/Z31_USB.bin \"bytes=1000-\" \""
                           + QString::fromLatin1(nginxEtag(Firmware)).replace("\"", "\\x22") + "\" 206" });
}

void tst_UpdateService::restartsFileChangedOnServer()
{
    const QByteArray image = imageBytes(300000, 3);
    serveVersions("x1\n\n10009\n1.2.3\n");
    QVERIFY(writeFile(served(Firmware), image));
    QVERIFY(writeFile(work(FirmwarePart), imageBytes(1000, 99)));
    QVERIFY(writeFile(work(FirmwareValidator), "\"5f000000-493e0\""));
    publishMouseVersion(1, 0, 0);

    Update update;
    QSignalSpy firmware(&update, &Update::signalGetFWUpdateFinished);
    runCheck(update, nginx.baseUrl(), QStringLiteral("get_fw_content"));

    QCOMPARE(firmware.count(), 1);
    QCOMPARE(readFile(work(Firmware)), image);
    QCOMPARE(nginxRequests(Firmware),
             QStringList { "GET /download/Z31/Z31_USB.bin \"bytes=1000-\" \"\\x225f000000-493e0\\x22\" 200" });
}

void tst_UpdateService::missingFileRemovesPart()
{
    serveVersions("x1\n\n10009\n1.2.3\n");
    QVERIFY(writeFile(served(QStringLiteral("FWUpdateContent.txt")), gbk(QStringLiteral("说明"))));
    QVERIFY(writeFile(work(FirmwarePart), imageBytes(1000, 4)));
    QVERIFY(writeFile(work(FirmwareValidator), "\"1-1\""));
    publishMouseVersion(1, 0, 0);

    Update update;
    QSignalSpy firmware(&update, &Update::signalGetFWUpdateFinished);
    QSignalSpy content(&update, &Update::singalGetFWContentFinished);
    runCheck(update, nginx.baseUrl(), QStringLiteral("get_fw_content"));

    QCOMPARE(firmware.count(), 0);
    QCOMPARE(content.count(), 1);
    QVERIFY(logHas(QStringLiteral("__________")));
    QVERIFY(!QFileInfo::exists(work(Firmware)));
    QVERIFY(!QFileInfo::exists(work(FirmwarePart)));
    QVERIFY(!QFileInfo::exists(work(FirmwareValidator)));
}

void tst_UpdateService::unsatisfiableRangeRemovesPart()
{
    const QByteArray image = imageBytes(3000, 5);
    serveVersions("x1\n\n10009\n1.2.3\n");
    QVERIFY(writeFile(served(Firmware), image));
    QVERIFY(writeFile(work(FirmwarePart), imageBytes(4000, 5)));
    QVERIFY(writeFile(work(FirmwareValidator), nginxEtag(Firmware)));
    publishMouseVersion(1, 0, 0);

    Update update;
    QSignalSpy firmware(&update, &Update::signalGetFWUpdateFinished);
    runCheck(update, nginx.baseUrl(), QStringLiteral("get_fw_content"));

    QCOMPARE(firmware.count(), 0);
    QVERIFY(nginxRequests(Firmware).value(0).endsWith(QStringLiteral(" 416")));
    QVERIFY(!QFileInfo::exists(work(Firmware)));
    QVERIFY(!QFileInfo::exists(work(FirmwarePart)));
    QVERIFY(!QFileInfo::exists(work(FirmwareValidator)));
}

void tst_UpdateService::refusesUntrustedCertificate()
{
    serveVersions("x1\n\n10010\n1.2.3\n");
    QVERIFY(writeFile(served(Firmware), imageBytes(1000, 6)));
    publishMouseVersion(1, 0, 0);

    Update update;
    QSignalSpy firmware(&update, &Update::signalGetFWUpdateFinished);
    QSignalSpy application(&update, &Update::signalGetUpdateFinished);
    runCheck(update, untrustedNginx.baseUrl(), QStringLiteral("__________"));

    QVERIFY(logHas(QStringLiteral("SSL")));
    QVERIFY(!logHas(QStringLiteral("server app ver:")));
    QCOMPARE(firmware.count() + application.count(), 0);
    QCOMPARE(filesIn(work()), QStringList());
}

void tst_UpdateService::installsApplicationArchive()
{
    serveVersions("x1\n\n10010\n1.0.0\n");
    QVERIFY(makeArchive(served(QStringLiteral("TARNO_CONNECT_PC.zip")),
                        { { Executable, "#!/bin/sh\nexit 0\n" }, { "lang_zh_cn.qm", "translations" } }));
    publishMouseVersion(1, 0, 0);

    Update update;
    QSignalSpy application(&update, &Update::signalGetUpdateFinished);
    runCheck(update, nginx.baseUrl(), QStringLiteral("Get updatefile Finished."));

    QCOMPARE(application.count(), 1);
    QCOMPARE(application.at(0).at(0).toString(), Executable);
    QVERIFY(QFileInfo(work(Executable)).permissions() & QFile::ExeOwner);
    QCOMPARE(readFile(work("lang_zh_cn.qm")), QByteArray("translations"));
    QCOMPARE(filesIn(work()),
             (QStringList { Executable, "lang_zh_cn.qm" }));
}

void tst_UpdateService::refusedArchiveInstallsNothing()
{
    serveVersions("x1\n\n10010\n1.0.0\n");
    QVERIFY(makeArchive(served(QStringLiteral("TARNO_CONNECT_PC.zip")),
                        { { Executable, "#!/bin/sh\nexit 0\n" }, { "../evil.txt", "evil" } }));
    publishMouseVersion(1, 0, 0);

    Update update;
    QSignalSpy application(&update, &Update::signalGetUpdateFinished);
    runCheck(update, nginx.baseUrl(), QStringLiteral("update archive not installed"));

    QCOMPARE(application.count(), 0);
    QCOMPARE(filesIn(work()), QStringList());
    QVERIFY(!QFileInfo::exists(QDir(work()).filePath("../evil.txt")));
}

void tst_UpdateService::failedDescriptionClearsText()
{
    serveVersions("x1\n\n10009\n1.2.3\n");
    QVERIFY(writeFile(served(Firmware), imageBytes(100, 7)));
    publishMouseVersion(1, 0, 0);

    Update update;
    QSignalSpy firmware(&update, &Update::signalGetFWUpdateFinished);
    QSignalSpy content(&update, &Update::singalGetFWContentFinished);
    runCheck(update, nginx.baseUrl(), QStringLiteral("get_fw_content"));

    QCOMPARE(firmware.count(), 1);
    QCOMPARE(content.count(), 0);
    QCOMPARE(update.firmwareContentText(), QString());
}

void tst_UpdateService::restartsWhenRangeIgnored()
{
    const QByteArray image = imageBytes(5000, 8);
    ScriptedServer server;
    QVERIFY(server.start(authority));
    server.answer("TarnoConnectUpdate.txt", versionAnswer("x1\n\n10009\n1.2.3\n"));
    server.answer(Firmware, { "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\nETag: \"v1\"", image, true });
    QVERIFY(writeFile(work(FirmwarePart), imageBytes(1000, 80)));
    QVERIFY(writeFile(work(FirmwareValidator), "\"v1\""));
    publishMouseVersion(1, 0, 0);

    Update update;
    QSignalSpy firmware(&update, &Update::signalGetFWUpdateFinished);
    runCheck(update, server.baseUrl(), QStringLiteral("get_fw_content"));

    QVERIFY(server.requestFor(Firmware).contains("\r\nRange: bytes=1000-"));
    QCOMPARE(firmware.count(), 1);
    QCOMPARE(readFile(work(Firmware)), image);
}

void tst_UpdateService::refusesRangeNotAskedFor()
{
    const QByteArray image = imageBytes(5000, 9);
    ScriptedServer server;
    QVERIFY(server.start(authority));
    server.answer("TarnoConnectUpdate.txt", versionAnswer("x1\n\n10009\n1.2.3\n"));
    server.answer(Firmware, { "HTTP/1.1 206 Partial Content\r\nContent-Length: 5000\r\n"
                              "Content-Range: bytes 0-4999/5000\r\nETag: \"v1\"",
                              image, true });
    QVERIFY(writeFile(work(FirmwarePart), image.left(1000)));
    QVERIFY(writeFile(work(FirmwareValidator), "\"v1\""));
    publishMouseVersion(1, 0, 0);

    Update update;
    QSignalSpy firmware(&update, &Update::signalGetFWUpdateFinished);
    runCheck(update, server.baseUrl(), QStringLiteral("get_fw_content"));

    QCOMPARE(firmware.count(), 0);
    QVERIFY(!QFileInfo::exists(work(Firmware)));
    QVERIFY(!QFileInfo::exists(work(FirmwarePart)));
}

void tst_UpdateService::resumesOnlyTheSameFile_data()
{
    QTest::addColumn<bool>("replaced");
    QTest::addColumn<int>("cut");   // bytes the first attempt received
    QTest::addColumn<QList<QByteArray>>("ranges");
    QTest::newRow("same file") << false << 2000 << QList<QByteArray> { "bytes=2000-" };
    // The digest recorded is the whole file's, though only its last byte came in this attempt.
    QTest::newRow("same file, all but one byte on disk") << false << 4999 << QList<QByteArray> { "bytes=4999-" };
    // Replaced on the server by a file of the same length; the server sends its tail whatever If-Range says.
    QTest::newRow("replaced, If-Range ignored") << true << 2000 << QList<QByteArray> { "bytes=2000-", "bytes=0-" };
}

void tst_UpdateService::resumesOnlyTheSameFile()
{
    QFETCH(bool, replaced);
    QFETCH(int, cut);
    QFETCH(QList<QByteArray>, ranges);
    const QByteArray first = imageBytes(5000, 12);
    const QByteArray second = replaced ? imageBytes(5000, 13) : first;
    ScriptedServer server;
    QVERIFY(server.start(authority));
    server.answer("TarnoConnectUpdate.txt", versionAnswer("x1\n\n10009\n1.2.3\n"));
    server.answer(Firmware, { "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\nETag: \"v1\"", first.left(cut), true });
    publishMouseVersion(1, 0, 0);
    {
        Update update;
        QSignalSpy firmware(&update, &Update::signalGetFWUpdateFinished);
        runCheck(update, server.baseUrl(), QStringLiteral("get_fw_content"));
        QCOMPARE(firmware.count(), 0);
    }
    QCOMPARE(readFile(work(FirmwarePart)), first.left(cut));
    QCOMPARE(readFile(work(FirmwareValidator)), QByteArray("\"v1\""));
    QVERIFY(!QFileInfo::exists(work(Firmware)));

    logLines.clear();
    server.requests.clear();
    server.answer(Firmware, { replaced ? "ETag: \"v2\"" : "ETag: \"v1\"", second, true, true });
    Update update;
    QSignalSpy firmware(&update, &Update::signalGetFWUpdateFinished);
    QSignalSpy recorded(&update, &Update::firmwareImageRecorded);
    runCheck(update, server.baseUrl(), QStringLiteral("get_fw_content"));

    QCOMPARE(firmware.count(), 1);
    QCOMPARE(readFile(work(Firmware)), second);
    QVERIFY(!QFileInfo::exists(work(FirmwarePart)));
    QCOMPARE(recorded.count(), 1);
    const auto record = recorded.at(0).at(0).value<FirmwareImageRecord>();
    QCOMPARE(record.length, qint64(second.size()));
    QCOMPARE(record.sha256, QCryptographicHash::hash(second, QCryptographicHash::Sha256));
    QVERIFY(record.verifiedComplete);
    QList<QByteArray> heads;
    QList<QByteArray> asked;
    for (const QByteArray &head : qAsConst(server.requests)) {
        if (!head.startsWith("GET /download/Z31/" + Firmware.toUtf8()))
            continue;
        heads << head;
        asked << head.mid(head.indexOf("\r\nRange: ") + 9).split('\r').value(0);
    }
    QVERIFY(!heads.isEmpty());
    QVERIFY2(heads.first().contains("\r\nIf-Range: \"v1\""), heads.first().constData());
    QCOMPARE(asked, ranges);
}

void tst_UpdateService::givesUpOnStalledServer()
{
    const QByteArray image = imageBytes(5000, 11);
    ScriptedServer server;
    QVERIFY(server.start(authority));
    server.answer("TarnoConnectUpdate.txt", versionAnswer("x1\n\n10009\n1.2.3\n"));
    server.answer(Firmware, { "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\nETag: \"v3\"", image.left(100), false });
    publishMouseVersion(1, 0, 0);

    Update update;
    // Long enough that a loaded machine's TLS handshake and version file are not taken for a stall too.
    update.setTransferTimeout(3000);
    QSignalSpy firmware(&update, &Update::signalGetFWUpdateFinished);
    runCheck(update, server.baseUrl(), QStringLiteral("get_fw_content"));

    QVERIFY(logHas(QStringLiteral("__________")));
    QCOMPARE(firmware.count(), 0);
    QCOMPARE(readFile(work(FirmwarePart)), image.left(100));
    QVERIFY(!QFileInfo::exists(work(Firmware)));
}

QTEST_GUILESS_MAIN(tst_UpdateService)
#include "tst_updateservice.moc"
