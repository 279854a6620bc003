// The real program on the emulated mouse, updating from nginx on loopback with a test certificate authority:
// the firmware is downloaded, offered, written through the dialog (on a slow link the window stays alive and
// cannot be closed meanwhile) and the mouse comes back on the new version; images that are not the downloaded
// file are refused before anything is sent; a newer application is downloaded, offered, started by a click, and
// the old process quits.
#include "pingwatch.h"
#include "programsession.h"
#include "testserver.h"
#include "ui/language.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextCodec>
#include <QtTest>

#include <algorithm>

namespace {

const QPoint SettingsButton(1085, 38);
const QPoint FirmwareButton(850, 337);
const QPoint AppButton(850, 381);
// The firmware row's version text: the button's area left of the arrow that sits at its right end.
const QRect FirmwareText(700, 331, 180, 13);
const QRect FirmwareMark(880, 336, 6, 6);
// In the firmware dialog: the start button and, in the same place, the OK button; after a failed transfer, the
// button that tries again.
const QPoint DialogButton(400, 443);
const QPoint RetryButton(300, 443);

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray firmwareImage(quint8 major, quint8 minor, quint8 patch, int size)
{
    QByteArray image("Z31F");
    image.append(char(major)).append(char(minor)).append(char(patch));
    for (int i = image.size(); i < size; ++i)
        image.append(char((i * 31 + 7) & 0xFF));
    return image;
}

bool makeArchive(const QString &path, const QString &name, const QByteArray &content)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    QuaZipFile file(&zip);
    // No Unix mode in the entry: the program itself must make the announced executable runnable.
    if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(name)) || file.write(content) != content.size())
        return false;
    file.close();
    zip.close();
    return zip.getZipError() == ZIP_OK;
}

int redPixels(const QImage &shot, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 140 && c.blue() < 140)
                ++count;
        }
    }
    return count;
}

// Bright (text) pixels of an area.
QVector<bool> textMask(const QImage &image, const QRect &area)
{
    QVector<bool> mask;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            mask << (qGray(image.pixel(x, y)) > 150);
    }
    return mask;
}

int difference(const QVector<bool> &a, const QVector<bool> &b)
{
    int count = 0;
    for (int i = 0; i < qMin(a.size(), b.size()); ++i)
        count += a.at(i) != b.at(i);
    return count;
}

// The firmware row's button as the program draws it, on the row's colour (the edges of thin glyphs cross the
// brightness threshold differently on another background).
QVector<bool> renderedVersionButton(const QString &text, const QColor &background)
{
    QWidget host;
    host.setFixedSize(200, FirmwareText.height());
    host.setStyleSheet(QStringLiteral("background-color:%1").arg(background.name()));
    auto *button = new QPushButton(text, &host);
    button->setGeometry(host.rect());
    button->setStyleSheet(QStringLiteral("border:none;background-color:transparent;padding-right:20px;"
                                         "text-align:right;font-size:12px;color:rgba(255,255,255,0.7)"));
    return textMask(host.grab().toImage(), QRect(QPoint(0, 0), FirmwareText.size()));
}

// A visible window of the program with this size ("800x500"), or an empty string.
QString windowOfSize(ProgramSession &session, const QString &size)
{
    const QStringList ids = ProgramSession::xdotool({ "search", "--onlyvisible", "--pid",
                                                      QString::number(session.process().processId()) })
                                .split('\n', Qt::SkipEmptyParts);
    for (const QString &id : ids) {
        if (ProgramSession::xdotool({ "getwindowgeometry", id }).contains("Geometry: " + size))
            return id;
    }
    return QString();
}

// Writes the capture and the program's log for people reading a failed run; returns the file's path.
QString saveDiagnostics(const QString &name, ProgramSession &session)
{
    const QString path = QDir::temp().filePath(name + QStringLiteral(".txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(session.capture().join('\n').toUtf8() + "\n----\n" + session.log().toUtf8());
    return path;
}

void clickIn(const QString &windowId, const QPoint &at)
{
    ProgramSession::xdotool({ "mousemove", "--sync", "--window", windowId, QString::number(at.x()),
                              QString::number(at.y()) });
    ProgramSession::xdotool({ "click", "1" });
}

QString hexLine(const QByteArray &bytes)
{
    QString text;
    for (const char byte : bytes)
        text += QStringLiteral(" %1").arg(quint8(byte), 2, 16, QLatin1Char('0'));
    return text;
}

// The firmware transfer as the capture shows it: the config channel opened, every packet written and taken,
// the channel closed. Written out here independently of the program's packet builder.
QStringList transferLines(const QByteArray &image)
{
    auto packet = [](std::initializer_list<int> leading) {
        QByteArray bytes(63, '\0');
        int i = 0;
        for (int value : leading)
            bytes[i++] = char(value);
        return bytes;
    };
    QList<QByteArray> packets { packet({ 0xDE }), packet({ 0xD1 }),
                                packet({ 0xD2, 0xFF, 0x10, 0x08, 0x01, 0x80, 0x00 }) };
    for (int first = 0; first < image.size(); first += 56) {
        const int count = qMin(56, image.size() - first);
        const quint32 address = 0x08018000u + quint32(first);
        QByteArray data = packet({ 0xD3, 0x00, count, int(address >> 24), int(address >> 16 & 0xFF),
                                   int(address >> 8 & 0xFF), int(address & 0xFF) });
        data.replace(7, 56, image.mid(first, count) + QByteArray(56 - count, char(0xFF)));
        packets << data;
    }
    packets << packet({ 0xD6 });
    quint32 crc = 0xFFFFFFFF;
    for (int i = 0; i + 4 <= image.size(); i += 4) {
        for (int k = 3; k >= 0; --k) {
            crc ^= quint32(quint8(image.at(i + k))) << 24;
            for (int bit = 0; bit < 8; ++bit)
                crc = crc & 0x80000000u ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
        }
    }
    const quint32 length = quint32(image.size());
    packets << packet({ 0xD5, 0x00, 0x01, 0x08, 0x01, 0x80, 0x00, int(length >> 24), int(length >> 16 & 0xFF),
                        int(length >> 8 & 0xFF), int(length & 0xFF), int(crc >> 24), int(crc >> 16 & 0xFF),
                        int(crc >> 8 & 0xFF), int(crc & 0xFF) });
    packets << packet({ 0xD7, 0x00, 0x00, 0x00, 0x80, 0x00, 0x08 });

    QStringList lines { QStringLiteral("OpenConfigDevice 3044 9d09") };
    for (const QByteArray &bytes : packets)
        lines << QStringLiteral("WrtieConfig 63") + hexLine(bytes) + QStringLiteral(" -> 0");
    lines << QStringLiteral("CloseConfigDevice");
    return lines;
}

bool hasLine(const QStringList &lines, const QString &prefix)
{
    return std::any_of(lines.cbegin(), lines.cend(), [&](const QString &line) { return line.startsWith(prefix); });
}

} // namespace

class UpdateTest : public QObject
{
    Q_OBJECT

public:
    // Drawn as the program draws: with high-DPI scaling on, Qt renders glyphs unhinted.
    static void initMain()
    {
        QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
        QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    }

private slots:
    void initTestCase();
    void init();
    void firmwareUpdateThroughDialog_data();
    void firmwareUpdateThroughDialog();
    void refusedImagesSendNothing_data();
    void refusedImagesSendNothing();
    void selfUpdateStartsNewVersionAndQuits();
    void startupScanSparesRunningExecutable();

private:
    QString served(const QString &name) const { return www->filePath("download/Z31/" + name); }
    void prepare(ProgramSession &session);
    void serveFirmware(const QByteArray &image);
    // Opens the settings page and, once the firmware is on offer, its dialog; returns the dialog's window.
    QString openFirmwareDialog(ProgramSession &session);

    TestAuthority authority;
    std::unique_ptr<QTemporaryDir> www;
    std::unique_ptr<NginxServer> nginx;
};

void UpdateTest::initTestCase()
{
    QVERIFY2(authority.create(QStringLiteral("Tarno Test Authority")), qPrintable(authority.error()));
    const QStringList families = InterfaceLanguage::fontFamilies(InterfaceLanguage::SimplifiedChinese);
    QFont font;
    font.setFamily(families.first());
    font.setFamilies(families);
    QApplication::setFont(font);
}

void UpdateTest::init()
{
    www = std::make_unique<QTemporaryDir>();
    QVERIFY(www->isValid());
    nginx = std::make_unique<NginxServer>();
    QVERIFY2(nginx->start(www->path(), authority), qPrintable(nginx->error()));
}

void UpdateTest::prepare(ProgramSession &session)
{
    session.environment().insert("TARNO_UPDATE_URL", nginx->baseUrl());
    session.environment().insert("SSL_CERT_FILE", authority.caPath());
}

void UpdateTest::serveFirmware(const QByteArray &image)
{
    QVERIFY(writeFile(served("TarnoConnectUpdate.txt"), "x1\n\n10009\n1.2.4\n"));
    QVERIFY(writeFile(served("Z31_USB.bin"), image));
    QVERIFY(writeFile(served("FWUpdateContent.txt"),
                      QTextCodec::codecForName("GBK")->fromUnicode(QStringLiteral("提高了按键响应速度"))));
}

QString UpdateTest::openFirmwareDialog(ProgramSession &session)
{
    session.click(SettingsButton.x(), SettingsButton.y());
    if (!session.waitFor([&] { return redPixels(session.grab(), FirmwareMark) > 10; })) {
        qWarning() << "no offer:" << session.saveScreenshot("e2e_update_offer");
        return QString();
    }
    session.click(FirmwareButton.x(), FirmwareButton.y());
    QString dialog;
    if (!session.waitFor([&] { return !(dialog = windowOfSize(session, "800x500")).isEmpty(); }))
        qWarning() << "no dialog:" << session.saveScreenshot("e2e_update_no_dialog");
    return dialog;
}

void UpdateTest::firmwareUpdateThroughDialog_data()
{
    QTest::addColumn<bool>("pluggedAtStart");
    QTest::addColumn<int>("latencyUs");
    QTest::addColumn<int>("refusedWrite");   // the config write the mouse refuses in the first attempt; 0: none
    QTest::addColumn<QString>("around");   // "reset before": a factory reset just before; "silent after": the
                                           // mouse answers nothing once the image is sent
    // At start the check must compare with the version start-up has just read, not the unread 255.0.0.
    QTest::newRow("mouse present at start") << true << 0 << 0 << QString();
    QTest::newRow("mouse plugged in later") << false << 0 << 0 << QString();
    // Seconds of transfer: the window must keep answering and must not let itself be closed meanwhile.
    QTest::newRow("slow link") << true << 10000 << 0 << QString();
    // Start, prepare, region, then the seventh data packet: the update fails, the mouse keeps its firmware, and
    // the dialog tries the same image again.
    QTest::newRow("packet refused, tried again") << true << 0 << 10 << QString();
    // A mouse at its factory settings shows no change after a reset: it is read again for 3 s, but never between
    // the packets of a transfer started meanwhile.
    QTest::newRow("factory reset just before") << true << 0 << 0 << "reset before";
    // Only a version the mouse answered tells whether it took the image.
    QTest::newRow("version unread afterwards") << true << 0 << 0 << "silent after";
}

void UpdateTest::firmwareUpdateThroughDialog()
{
    QFETCH(bool, pluggedAtStart);
    QFETCH(int, latencyUs);
    QFETCH(int, refusedWrite);
    QFETCH(QString, around);
    const QByteArray image = firmwareImage(1, 2, 4, 20000);
    serveFirmware(image);

    ProgramSession session(pluggedAtStart);
    prepare(session);
    QVERIFY(session.start());
    if (!pluggedAtStart)
        QCOMPARE(session.emu({ "plug" }), 0);
    QVERIFY2(session.waitForLog("FW UpdateFound", 20000), qPrintable(session.log()));
    QVERIFY(session.waitForLog("get_fw_content"));
    QCOMPARE(session.dump().value("firmware.version"), QStringLiteral("1.0.0"));

    if (around == "reset before") {
        session.click(105, 40);
        // The confirmation pop-up takes the keyboard; its first button is "恢复".
        session.key("Return");
        QVERIFY(session.waitForCaptureLine("WrtieControl 31 ee"));
    }
    session.click(SettingsButton.x(), SettingsButton.y());
    QVERIFY2(session.waitFor([&] { return redPixels(session.grab(), FirmwareMark) > 10; }),
             qPrintable(session.saveScreenshot("e2e_update_offer")));
    const QImage offered = session.grab();

    session.click(FirmwareButton.x(), FirmwareButton.y());
    QString dialog;
    QVERIFY2(session.waitFor([&] { return !(dialog = windowOfSize(session, "800x500")).isEmpty(); }),
             qPrintable(session.saveScreenshot("e2e_update_no_dialog")));
    QCOMPARE(session.emu({ "latency", QString::number(latencyUs) }), 0);
    if (around == "silent after")
        QCOMPARE(session.emu({ "fail-reads", "1000000" }), 0);
    session.clearCapture();
    if (refusedWrite > 0) {
        QCOMPARE(session.emu({ "fail-config-write", QString::number(refusedWrite) }), 0);
        clickIn(dialog, DialogButton);
        QVERIFY2(session.waitForLog("firmware transfer failed: data packet 7 of 358 refused, address 0x8018150"),
                 qPrintable(session.log()));
        QVERIFY(session.waitForLog("firmware transfer ended:"));
        QVERIFY(session.waitFor([&] { return session.capture().endsWith("CloseConfigDevice"); }));
        QCOMPARE(session.capture().filter("WrtieConfig 63 d3").size(), 7);
        QVERIFY(!hasLine(session.capture(), "WrtieConfig 63 d6"));
        QVERIFY(!hasLine(session.capture(), "WrtieConfig 63 d7"));
        QCOMPARE(session.dump().value("firmware.version"), QStringLiteral("1.0.0"));
        QVERIFY(!windowOfSize(session, "800x500").isEmpty());
        session.clearCapture();
        clickIn(dialog, RetryButton);
    } else {
        clickIn(dialog, DialogButton);
    }

    if (latencyUs > 0) {
        WindowManagerProbe probe;
        QVERIFY(probe.ok());
        const unsigned long window = session.windowId();
        QVERIFY2(probe.answersPing(window, 1000), "an idle window answers at once");
        QVERIFY(session.waitFor([&] { return session.capture().filter("WrtieConfig 63 d3").size() >= 20; }));
        // The close button (under the dialog's grab a click outside it) and a window manager's close.
        session.click(1155, 38);
        probe.close(window);
        int pings = 0;
        while (!hasLine(session.capture(), "WrtieConfig 63 d7")) {
            QVERIFY2(probe.answersPing(window, 1000), qPrintable(QStringLiteral("no answer to ping %1").arg(pings)));
            ++pings;
            QTest::qWait(100);
        }
        QVERIFY2(pings >= 5, "the transfer ended before the window was tested");
        QVERIFY2(session.waitFor([&] { return session.log().count("close held during the firmware transfer") == 2; }),
                 qPrintable(session.log()));
        QCOMPARE(session.process().state(), QProcess::Running);
        QVERIFY(!windowOfSize(session, "1200x750").isEmpty());
        QCOMPARE(session.emu({ "latency", "0" }), 0);
    }

    QVERIFY(session.waitForCaptureLine("WrtieConfig 63 d7", 30000));
    // Nothing but the transfer reached the mouse while it ran.
    // The bytes sent, whatever each packet's write reported: the contrary mouse reports the short last data packet
    // as failed, which the program only logs.
    const auto withoutResults = [](QStringList lines) {
        lines.replaceInStrings(QRegularExpression(QStringLiteral(" -> -?\\d+$")), QString());
        return lines;
    };
    const QStringList transfer = transferLines(image);
    QStringList captured = session.capture();
    if (around == "reset before") {
        // The reads after the reset may still come before the transfer; none comes between its packets.
        QVERIFY(session.waitForLog("firmware transfer ended:"));
        captured = session.capture();
        while (!captured.isEmpty() && !captured.first().startsWith("OpenConfigDevice"))
            captured.removeFirst();
    }
    QCOMPARE(withoutResults(captured.mid(0, transfer.size())), withoutResults(transfer));
    if (around == "silent after") {
        // The version reads fail; after the 30 s the mouse has to come back, the dialog says the version could
        // not be read, not that the update did not take.
        QVERIFY2(session.waitForLog("firmware check: the mouse did not tell its version", 90000),
                 qPrintable(session.log()));
        QVERIFY(!session.log().contains("firmware update not taken"));
        return;
    }
    if (qEnvironmentVariable("TARNO_TEST_DEVICE_LIBRARY") == QLatin1String("libtarno-contrary.so"))
        QSKIP("the contrary mouse keeps its own version after the restart, so the image never shows as taken");
    QVERIFY(session.waitFor([&] { return session.dump().value("firmware.version") == "1.2.4"; }));
    QCOMPARE(session.dump().value("firmware.size"), QString::number(image.size()));
    // The program finds the mouse again and reads the new version.
    QVERIFY2(session.waitFor([&] {
                 const QStringList lines = session.capture();
                 return std::any_of(lines.cbegin(), lines.cend(), [](const QString &line) {
                     // Reply bytes 3, 4 and 5: the version.
                     return line.startsWith("ReadConfigData 64 -> 1 57 d0 ")
                         && line.section(' ', 7, 9) == "01 02 04";
                 });
             }, 20000),
             qPrintable(saveDiagnostics("e2e_update_reenumeration", session)));

    // The finished dialog's OK button closes it and uncovers the settings page.
    QVERIFY(session.waitForLog("firmware check: sent \"1.2.4\" mouse reports \"1.2.4\""));
    clickIn(dialog, DialogButton);
    QVERIFY(session.waitFor([&] { return windowOfSize(session, "800x500").isEmpty(); }));
    const QColor row = session.grab().pixelColor(FirmwareText.left() - 10, FirmwareText.center().y());
    const QVector<bool> expected = renderedVersionButton(QStringLiteral("Version: 1.2.4"), row);
    const QVector<bool> old = renderedVersionButton(QStringLiteral("Version: 1.0.0"), row);
    QVERIFY2(difference(expected, old) > 5, "the two renderings must be told apart");
    QVector<bool> shown;
    QVERIFY2(session.waitFor([&] {
                 shown = textMask(session.grab(), FirmwareText);
                 // Drawn over another background than the rendering: edges differ a little, digits a lot.
                 return difference(shown, expected) * 2 < difference(shown, old);
             }),
             qPrintable(QStringLiteral("%1 pixels off 1.2.4, %2 off 1.0.0: %3")
                            .arg(difference(shown, expected))
                            .arg(difference(shown, old))
                            .arg(session.saveScreenshot("e2e_update_version"))));
    const QImage after = session.grab();
    QCOMPARE(redPixels(after, FirmwareMark), 0);
    QVERIFY(textMask(offered, FirmwareText) != textMask(after, FirmwareText));
}

void UpdateTest::refusedImagesSendNothing_data()
{
    QTest::addColumn<QByteArray>("onDisk");   // what the downloaded file becomes before the start; empty: kept
    QTest::addColumn<bool>("header");
    QTest::addColumn<QString>("logged");

    const QByteArray image = firmwareImage(1, 2, 4, 20000);
    QByteArray changed = image;
    changed[10000] = char(~changed.at(10000));
    QTest::newRow("empty") << QByteArray("-") << true << "firmware image refused: 1 0 bytes";
    QTest::newRow("changed on disk") << changed << true << "firmware image refused: 2 20000 bytes";
    QTest::newRow("truncated") << image.left(11200) << true << "firmware image refused: 2 11200 bytes";
    // Taken by the link, but a mouse keeps its version for an image without its header: the update did not take.
    QTest::newRow("not taken") << QByteArray() << false << "firmware update not taken";
}

void UpdateTest::refusedImagesSendNothing()
{
    QFETCH(QByteArray, onDisk);
    QFETCH(bool, header);
    QFETCH(QString, logged);
    QByteArray image = firmwareImage(1, 2, 4, 20000);
    if (!header)
        image.replace(0, 4, "NONE");
    serveFirmware(image);

    ProgramSession session(true);
    prepare(session);
    QVERIFY(session.start());
    QVERIFY2(session.waitForLog("FW UpdateFound", 20000), qPrintable(session.log()));
    if (!onDisk.isEmpty())
        QVERIFY(writeFile(QDir(session.workDir()).filePath("Z31_USB.bin"), onDisk == "-" ? QByteArray() : onDisk));
    const QString dialog = openFirmwareDialog(session);
    QVERIFY(!dialog.isEmpty());
    session.clearCapture();
    clickIn(dialog, DialogButton);

    QVERIFY2(session.waitForLog(logged, 20000), qPrintable(saveDiagnostics("e2e_update_refused", session)));
    if (header) {
        QVERIFY(!hasLine(session.capture(), "WrtieConfig 63 de"));
        QCOMPARE(session.dump().value("firmware.size"), QStringLiteral("0"));
        return;
    }
    QVERIFY(session.log().contains("firmware check: sent \"1.2.4\" mouse reports \"1.0.0\""));
    QCOMPARE(session.dump().value("firmware.version"), QStringLiteral("1.0.0"));
    // The dialog's OK button uncovers the settings page, which still offers the image.
    clickIn(dialog, DialogButton);
    QVERIFY(session.waitFor([&] { return windowOfSize(session, "800x500").isEmpty(); }));
    QVERIFY2(session.waitFor([&] { return redPixels(session.grab(), FirmwareMark) > 10; }),
             qPrintable(session.saveScreenshot("e2e_update_not_taken")));
}

void UpdateTest::selfUpdateStartsNewVersionAndQuits()
{
    const QString executable = QStringLiteral("TARNO_CONNECT_PC_V1.0.10.exe");
    QVERIFY(writeFile(served("TarnoConnectUpdate.txt"), "x1\n\n10010\n1.0.0\n"));
    QVERIFY(makeArchive(served("TARNO_CONNECT_PC.zip"), executable,
                        "#!/bin/sh\npwd > started.txt\necho \"$0\" >> started.txt\n"));

    ProgramSession session(false);
    prepare(session);
    QVERIFY(session.start());
    QVERIFY2(session.waitForLog("APP UpdateFound", 20000), qPrintable(session.log()));
    const QString installed = QDir(session.workDir()).filePath(executable);
    QVERIFY(QFileInfo(installed).permissions() & QFile::ExeOwner);
    QVERIFY(!QFileInfo::exists(QDir(session.workDir()).filePath("TARNO_CONNECT_PC.zip")));

    session.click(SettingsButton.x(), SettingsButton.y());
    QVERIFY2(session.waitFor([&] { return redPixels(session.grab(), QRect(880, 380, 6, 6)) > 10; }),
             qPrintable(session.saveScreenshot("e2e_update_app_offer")));
    QCOMPARE(session.process().state(), QProcess::Running);
    QVERIFY(!QFileInfo::exists(QDir(session.workDir()).filePath("started.txt")));

    session.click(AppButton.x(), AppButton.y());
    QCOMPARE(session.waitForExit(), 0);
    const QString started = QDir(session.workDir()).filePath("started.txt");
    QVERIFY(session.waitFor([&] { return QFileInfo(started).size() > 0; }));
    QFile file(started);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLocal8Bit(file.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(QFileInfo(lines.value(0)).canonicalFilePath(), QFileInfo(session.workDir()).canonicalFilePath());
    QCOMPARE(QFileInfo(lines.value(1)).canonicalFilePath(), QFileInfo(installed).canonicalFilePath());
}

void UpdateTest::startupScanSparesRunningExecutable()
{
    ProgramSession session(false);
    const QDir work(session.workDir());
    const QString self = work.filePath("TARNO_CONNECT_PC_V1.0.9.exe");
    QVERIFY(QFile::copy(session.programPath(), self));
    QVERIFY(QFile::setPermissions(self, QFileInfo(session.programPath()).permissions()));
    QVERIFY(QFile::copy(QDir(session.programDir()).filePath("libtarno.so"), work.filePath("libtarno.so")));
    QVERIFY(writeFile(work.filePath("TARNO_CONNECT_PC_V1.0.8.exe"), "old"));

    QProcess program;
    program.setProcessEnvironment(session.environment());
    program.setWorkingDirectory(work.path());
    program.start(self, QStringList());
    QVERIFY(program.waitForStarted(10000));
    const bool shown = session.waitFor([&] {
        const QStringList ids = ProgramSession::xdotool({ "search", "--onlyvisible", "--pid",
                                                          QString::number(program.processId()) })
                                    .split('\n', Qt::SkipEmptyParts);
        return !ids.isEmpty();
    }, 15000);
    const bool oldRemoved = !QFileInfo::exists(work.filePath("TARNO_CONNECT_PC_V1.0.8.exe"));
    const bool selfKept = QFileInfo::exists(self);
    program.kill();
    program.waitForFinished(5000);

    QVERIFY2(shown, program.readAllStandardError().constData());
    QVERIFY(oldRemoved);
    QVERIFY(selfKept);
}

QTEST_MAIN(UpdateTest)
#include "tst_e2e_update.moc"
