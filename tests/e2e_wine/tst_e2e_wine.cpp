// The Windows program as a user gets it: installed silently by its installer into a fresh Wine prefix, started
// from its folder against the emulated mouse, and driven through the X server. What it sends the mouse is
// compared with what the Linux program sends for the same clicks.
#include "programsession.h"
#include "testserver.h"
#include "winesession.h"

#include <JlCompress.h>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

namespace {

const QPoint buttonsNav(540, 675);
const QPoint lightingNav(600, 675);
const QPoint pointerNav(660, 675);
const QPoint settingsButton(1085, 38);
const QPoint closeButton(1155, 38);
const QPoint breathingButton(105, 323);
const QPoint reportRate125(945, 243);
const QPoint button2Circle(397, 219);
const QPoint autostartBox(892, 557);
const QPoint appVersionButton(850, 381);
const QRect steadyButton(40, 230, 130, 26);
const QRect reportRate1000(1030, 272, 130, 26);
const QRect settingsCaptions(300, 320, 200, 250);

QString buildDir()
{
    return qEnvironmentVariable("TARNO_WIN_BUILD_DIR", QStringLiteral(TARNO_SOURCE_DIR "/build-win"));
}

bool isAccentGreen(QColor c)
{
    return qAbs(c.red() - 0x2b) < 12 && qAbs(c.green() - 0xac) < 12 && qAbs(c.blue() - 0x39) < 12;
}

// What the program wrote to the mouse, in order: commands and the queries of a button's assignment. The
// settings polls and their answers are left out: their number depends on timing.
QStringList commandsOf(const QStringList &capture)
{
    static const QRegularExpression command(
        QStringLiteral("^(WrtieControl 31 (a1|b0|b1|c1|c3|ee)|WrtieConfig 63 f1) "));
    return capture.filter(command);
}

bool waitFor(const std::function<bool()> &condition, int timeoutMs = 20000)
{
    return QTest::qWaitFor(condition, timeoutMs);
}

// Whether the picture holds more than one colour.
bool drawn(const QImage &image)
{
    const QImage small = image.scaled(12, 8).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < small.height(); ++y) {
        for (int x = 0; x < small.width(); ++x) {
            if (small.pixel(x, y) != small.pixel(0, 0))
                return true;
        }
    }
    return false;
}

// Until the window's picture has been drawn (Wine shows a mapped window white until then) and has not changed for a
// few grabs (animations have ended).
template<typename Session>
bool waitUntilStill(Session &session)
{
    QImage last = session.grab();
    int same = 0;
    return waitFor([&] {
        const QImage now = session.grab();
        same = now == last ? same + 1 : 0;
        last = now;
        return same >= 4 && drawn(now);
    });
}

// A click on a page, on either program: the page opened with its navigation button (until `shown`, if not empty,
// is mostly accent green), then `target` clicked until the mouse has `commands` commands. Both clicks are
// repeated because the window fades in and the pages slide in.
struct PageClick
{
    QPoint nav;
    QRect shown;
    QPoint target;
    int commands = 1;
};

template<typename Session>
bool perform(Session &session, const PageClick &click)
{
    const auto shown = [&] {
        return click.shown.isEmpty()
            || ProgramSession::countPixels(session.grab(), click.shown, isAccentGreen) > click.shown.width() * 15;
    };
    const bool opened = waitFor([&] {
        session.click(click.nav.x(), click.nav.y());
        return waitFor(shown, 2000);
    });
    session.clearCapture();
    return opened && waitFor([&] {
        session.click(click.target.x(), click.target.y());
        return waitFor([&] { return commandsOf(session.capture()).size() >= click.commands; }, 2000);
    });
}

} // namespace

Q_DECLARE_METATYPE(PageClick)

class WineProgramTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windowAppearsAndReadsTheMouse();
    void clickSendsTheSameBytes_data();
    void clickSendsTheSameBytes();
    void deviceChangesReachTheWindow();
    void updateCheckReachesTheServer();
    void secondStartRaisesTheFirst();
    void startAtLoginRow();
    void commandLineReturnsItsExitCode_data();
    void commandLineReturnsItsExitCode();
    void selfUpdateReplacesTheProgram();
    void pagesInEachLanguage_data();
    void pagesInEachLanguage();
    void uninstallRemovesWhatWasInstalled();
    void cleanupTestCase();

private:
    QString registryValue(const QString &key, const QString &name);

    WineSession wine;
    TestAuthority authority;
    NginxServer nginx;
    QTemporaryDir served;
    QProcess compositor;
    QString shots;
    QList<QImage> captionsSeen;
    // The Linux program, driven through the same clicks in the same order.
    std::unique_ptr<ProgramSession> native;
};

QString WineProgramTest::registryValue(const QString &key, const QString &name)
{
    QString output;
    if (wine.run({ QStringLiteral("reg"), QStringLiteral("query"), key, QStringLiteral("/v"), name }, &output) != 0)
        return QString();
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("REG_\\w+\\s+(.*?)\\r?$"), QRegularExpression::MultilineOption)
              .match(output);
    return match.captured(1);
}

void WineProgramTest::initTestCase()
{
    const QDir installers(buildDir() + QStringLiteral("/installer"));
    const QStringList setups = installers.entryList({ QStringLiteral("TARNO_CONNECT_PC-*-setup.exe") });
    QVERIFY2(!setups.isEmpty(),
             qPrintable(QStringLiteral("no installer in %1: run scripts/windows.sh").arg(installers.path())));
    shots = qEnvironmentVariable("TARNO_SCREENSHOT_DIR", buildDir() + QStringLiteral("/screenshots"));
    // Translucent windows blend only under a compositing manager.
    compositor.start(QStringLiteral("xcompmgr"), QStringList());

    QString error;
    QVERIFY2(wine.install(installers.filePath(setups.last()), { QStringLiteral("/S"), QStringLiteral("/EMULATOR") },
                          &error),
             qPrintable(error));
    const QString uninstallKey
        = QStringLiteral("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TARNO CONNECT");
    QVERIFY(registryValue(uninstallKey, QStringLiteral("UninstallString")).endsWith(QStringLiteral("uninstall.exe\"")));
    // Silent and without /AUTOSTART: no login start.
    QCOMPARE(registryValue(QStringLiteral("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"),
                           QStringLiteral("TARNO CONNECT")),
             QString());

    QVERIFY(authority.create(QStringLiteral("127.0.0.1")));
    QDir(served.path()).mkpath(QStringLiteral("download/Z31"));
    QFile version(served.filePath(QStringLiteral("download/Z31/TarnoConnectUpdate.txt")));
    QVERIFY(version.open(QIODevice::WriteOnly));
    version.write("1.0.0\n");
    version.close();
    QVERIFY2(nginx.start(served.path(), authority), qPrintable(nginx.error()));
    wine.environment().insert(QStringLiteral("TARNO_UPDATE_URL"), nginx.baseUrl());
    wine.environment().insert(QStringLiteral("SSL_CERT_FILE"), WineSession::windowsPath(authority.caPath()));

    QCOMPARE(wine.emu({ QStringLiteral("plug") }), 0);
    QCOMPARE(wine.emu({ QStringLiteral("capture"), WineSession::windowsPath(wine.capturePath()) }), 0);
}

void WineProgramTest::windowAppearsAndReadsTheMouse()
{
    QVERIFY2(wine.start(), qPrintable(wine.log()));
    QVERIFY(wine.waitForCaptureLine(QStringLiteral("ReadConfigData")));
    const QString node = WineSession::windowsPath(wine.emuDir() + QStringLiteral("/z31-hidraw"));
    const QString mismatch = ProgramSession::settingsReadMismatch(wine.capture(), node);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch + "\n" + wine.capture().join('\n')));
    native = std::make_unique<ProgramSession>();
    QVERIFY(native->start());
    QVERIFY(native->waitForCaptureLine(QStringLiteral("ReadConfigData")));
    // Left of the Windows program's window, which stays centred (Wine does not follow a move from outside): the
    // screen is wide enough for both, so that clicks meet the right one.
    ProgramSession::xdotool({ QStringLiteral("windowmove"), QString::number(native->windowId()), QStringLiteral("0"),
                              QStringLiteral("100") });
}

void WineProgramTest::clickSendsTheSameBytes_data()
{
    QTest::addColumn<PageClick>("click");
    // The mouse starts steady (its button green), and the mode's command comes with the colour's.
    QTest::newRow("lighting page, breathing") << PageClick { lightingNav, steadyButton, breathingButton, 2 };
    QTest::newRow("pointer page, 125 reports a second") << PageClick { pointerNav, reportRate1000, reportRate125 };
    // Reading the button's assignment.
    QTest::newRow("buttons page, button 2's dialog") << PageClick { buttonsNav, QRect(), button2Circle };
}

void WineProgramTest::clickSendsTheSameBytes()
{
    QFETCH(PageClick, click);
    QVERIFY2(perform(wine, click), qPrintable(wine.saveScreenshot(shots, QTest::currentDataTag())));
    QVERIFY(perform(*native, click));
    // The same number of commands on both, then the same bytes.
    const int expected = commandsOf(native->capture()).size();
    QVERIFY(waitFor([&] { return commandsOf(wine.capture()).size() >= expected; }));
    QCOMPARE(commandsOf(wine.capture()), commandsOf(native->capture()));
}

void WineProgramTest::deviceChangesReachTheWindow()
{
    wine.clearCapture();
    QCOMPARE(wine.emu({ QStringLiteral("unplug") }), 0);
    // Both channels closed, as on Linux.
    QVERIFY2(wine.waitForCaptureLine(QStringLiteral("CloseConfigDevice")), qPrintable(wine.capture().join('\n')));
    QVERIFY(wine.capture().contains(QStringLiteral("CloseDevice")));
    wine.clearCapture();
    QCOMPARE(wine.emu({ QStringLiteral("plug") }), 0);
    QVERIFY(wine.waitForCaptureLine(QStringLiteral("ReadConfigData")));
    const QString node = WineSession::windowsPath(wine.emuDir() + QStringLiteral("/z31-hidraw"));
    const QString mismatch = ProgramSession::settingsReadMismatch(wine.capture(), node);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch + "\n" + wine.capture().join('\n')));
}

void WineProgramTest::updateCheckReachesTheServer()
{
    // At start and at every plug-in; over TLS with the peer checked, through the OpenSSL beside the program.
    QVERIFY2(waitFor([&] {
                 return !nginx.requests()
                             .filter(QRegularExpression("^GET /download/Z31/TarnoConnectUpdate.txt .* 200$"))
                             .isEmpty();
             }),
             qPrintable(nginx.requests().join('\n') + "\n" + wine.log()));
}

void WineProgramTest::secondStartRaisesTheFirst()
{
    // The close button hides the window to the tray (a first click may only close the button dialog's pop-up).
    QVERIFY2(waitFor([&] {
                 wine.click(closeButton.x(), closeButton.y());
                 return waitFor([&] { return !wine.windowShown(); }, 2000);
             }),
             qPrintable(wine.saveScreenshot(shots, "close")));
    QString output;
    QCOMPARE(wine.run({ wine.installDir() + QStringLiteral("/TARNO_CONNECT_PC.exe") }, &output, 60000,
                      wine.installDir()),
             0);
    QVERIFY2(output.contains(QStringLiteral("TARNO_CONNECT_PC.exe already running.")), qPrintable(output));
    QVERIFY(waitFor([&] { return wine.windowShown(); }));
}

void WineProgramTest::startAtLoginRow()
{
    const QString runKey = QStringLiteral("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    wine.click(settingsButton.x(), settingsButton.y());
    const QString program
        = QStringLiteral("\"C:\\users\\%1\\AppData\\Local\\Programs\\TARNO CONNECT\\TARNO_CONNECT_PC.exe\" --hidden");
    const QString user = QFileInfo(QDir::cleanPath(wine.installDir() + QStringLiteral("/../../../.."))).fileName();
    QVERIFY(waitFor([&] {
        wine.click(autostartBox.x(), autostartBox.y());
        return waitFor([&] { return !registryValue(runKey, QStringLiteral("TARNO CONNECT")).isEmpty(); }, 3000);
    }));
    QCOMPARE(registryValue(runKey, QStringLiteral("TARNO CONNECT")), program.arg(user));
    wine.click(autostartBox.x(), autostartBox.y());
    QVERIFY(waitFor([&] { return registryValue(runKey, QStringLiteral("TARNO CONNECT")).isEmpty(); }));
    wine.click(settingsButton.x(), settingsButton.y());
}

void WineProgramTest::commandLineReturnsItsExitCode_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");   // in the system's code page, 936
    QTest::newRow("export, handed to the window") << "--export" << "out.z31.json" << 0 << "已导出配置到";
    QTest::newRow("import of a missing file") << "--import" << "missing.z31.json" << 1 << "无法读取";
}

void WineProgramTest::commandLineReturnsItsExitCode()
{
    QFETCH(QString, option);
    QFETCH(QString, file);
    QFETCH(int, exitCode);
    QFETCH(QString, says);
    const QString path = QDir(wine.workDir()).filePath(file);
    QFile::remove(path);
    // As the README tells Windows users: a command prompt waits only with start /wait.
    QCOMPARE(wine.run({ QStringLiteral("cmd"), QStringLiteral("/c"), QStringLiteral("start"), QStringLiteral("/wait"),
                        QStringLiteral("TARNO_CONNECT_PC"), option, WineSession::windowsPath(path) },
                      nullptr, 90000, wine.installDir()),
             exitCode);
    // Its line reaches a console of its parent's (here the pipes Wine gives it), in the system's code page.
    QString output;
    QCOMPARE(wine.run({ wine.installDir() + QStringLiteral("/TARNO_CONNECT_PC.exe"), option,
                        WineSession::windowsPath(path) },
                      &output, 90000, wine.installDir()),
             exitCode);
    QVERIFY2(output.contains(says), qPrintable(output));
    if (exitCode != 0)
        return;
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(QJsonDocument::fromJson(written.readAll()).object().value(QStringLiteral("format")).toInt(), 1);
}

void WineProgramTest::selfUpdateReplacesTheProgram()
{
    // A newer version on the server: the program itself under the versioned name, as the maker's archive holds it.
    const QString executable = QStringLiteral("TARNO_CONNECT_PC_V1.0.10.exe");
    QTemporaryDir archived;
    QVERIFY(QFile::copy(wine.installDir() + QStringLiteral("/TARNO_CONNECT_PC.exe"), archived.filePath(executable)));
    QVERIFY(JlCompress::compressFiles(served.filePath(QStringLiteral("download/Z31/TARNO_CONNECT_PC.zip")),
                                      { archived.filePath(executable) }));
    QFile version(served.filePath(QStringLiteral("download/Z31/TarnoConnectUpdate.txt")));
    QVERIFY(version.open(QIODevice::WriteOnly));
    version.write("x1\n\n10010\n1.0.0\n");
    version.close();
    // Every plug-in checks again.
    QCOMPARE(wine.emu({ QStringLiteral("unplug") }), 0);
    QCOMPARE(wine.emu({ QStringLiteral("plug") }), 0);
    const QString unpacked = wine.installDir() + QLatin1Char('/') + executable;
    QVERIFY2(waitFor([&] { return QFileInfo::exists(unpacked); }, 60000), qPrintable(nginx.requests().join('\n')));

    // The offer on the settings page: a click starts the new version from the program's folder, and this one ends.
    wine.click(settingsButton.x(), settingsButton.y());
    QVERIFY(waitFor([&] {
        wine.click(appVersionButton.x(), appVersionButton.y());
        return waitFor([&] { return wine.process().state() == QProcess::NotRunning; }, 3000);
    }, 60000));
    QVERIFY(waitFor([&] {
        const QStringList ids = ProgramSession::xdotool({ "search", "--onlyvisible", "--name", "." })
                                    .split('\n', Qt::SkipEmptyParts);
        return std::any_of(ids.begin(), ids.end(), [](const QString &id) {
            const QString pid = ProgramSession::xdotool({ "getwindowpid", id }).trimmed();
            QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(pid));
            return commandLine.open(QIODevice::ReadOnly) && commandLine.readAll().contains("TARNO_CONNECT_PC_V1.0.10.exe");
        });
    }, 60000));
}

void WineProgramTest::pagesInEachLanguage_data()
{
    QTest::addColumn<QString>("code");
    QTest::newRow("simplified Chinese") << "zh_CN";
    QTest::newRow("traditional Chinese") << "zh_TW";
    QTest::newRow("English") << "en";
}

void WineProgramTest::pagesInEachLanguage()
{
    QFETCH(QString, code);
    wine.stopAll();
    QVERIFY(wine.setLanguage(code));
    WineSession &session = wine;
    session.clearCapture();
    QVERIFY2(session.start(), qPrintable(session.log()));
    QVERIFY2(session.waitForCaptureLine(QStringLiteral("ReadConfigData")),
             qPrintable(session.capture().join('\n')));
    const QString folder = QDir(shots).filePath(code);
    // Each page once the window has faded in and the page has slid in.
    const auto still = [&session] { return waitUntilStill(session); };
    QVERIFY(still());
    QVERIFY(!session.saveScreenshot(folder, QStringLiteral("1-buttons")).isEmpty());
    session.click(lightingNav.x(), lightingNav.y());
    QVERIFY(still());
    QVERIFY(!session.saveScreenshot(folder, QStringLiteral("3-lighting")).isEmpty());
    session.click(pointerNav.x(), pointerNav.y());
    QVERIFY(still());
    QVERIFY(!session.saveScreenshot(folder, QStringLiteral("4-pointer")).isEmpty());
    session.click(settingsButton.x(), settingsButton.y());
    QVERIFY(still());
    QVERIFY(!session.saveScreenshot(folder, QStringLiteral("5-settings")).isEmpty());
    // The rows' captions are in this language: unlike every language before.
    const QImage captions = session.grab().copy(settingsCaptions);
    for (const QImage &other : qAsConst(captionsSeen))
        QVERIFY2(captions != other, qPrintable(folder));
    captionsSeen << captions;
    session.click(settingsButton.x(), settingsButton.y());
    QCOMPARE(session.emu({ QStringLiteral("unplug") }), 0);
    QVERIFY(still());
    QVERIFY(!session.saveScreenshot(folder, QStringLiteral("6-no-device")).isEmpty());
    QCOMPARE(session.emu({ QStringLiteral("plug") }), 0);
}

void WineProgramTest::uninstallRemovesWhatWasInstalled()
{
    wine.stopAll();
    const QString dir = wine.installDir();
    QFile colours(dir + QStringLiteral("/user_color.ini"));
    QVERIFY(colours.open(QIODevice::WriteOnly));
    colours.write("[COLOR1]\nRed=1\n");
    colours.close();
    QCOMPARE(wine.run({ dir + QStringLiteral("/uninstall.exe"), QStringLiteral("/S") }), 0);
    wine.run({ QStringLiteral("wineserver"), QStringLiteral("-w") });
    // Silent: the user's own files stay, and only they.
    QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList { "user_color.ini" });
    QCOMPARE(registryValue(QStringLiteral(
                               "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TARNO CONNECT"),
                           QStringLiteral("DisplayName")),
             QString());
}

void WineProgramTest::cleanupTestCase()
{
    wine.stopAll();
    compositor.kill();
    compositor.waitForFinished(5000);
}

QTEST_MAIN(WineProgramTest)
#include "tst_e2e_wine.moc"
