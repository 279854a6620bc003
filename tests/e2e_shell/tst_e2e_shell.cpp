// The real program on the emulated mouse: the mouse unplugged and plugged in again while the window runs.
#include "programsession.h"

#include <QDir>
#include <QImage>
#include <QtTest>

#include <functional>

namespace {

// Window areas that tell the two device states apart.
const QRect warningIcon(560, 253, 80, 75);   // no-device page
const QRect buttonsNavButton(510, 656, 60, 38);   // checked navigation button (green icon)

bool isWarningOrange(QColor c)
{
    return c.red() > 200 && c.green() > 130 && c.green() < 200 && c.blue() < 110;
}

bool isAccentGreen(QColor c)
{
    return c.green() > 130 && c.red() < 100 && c.blue() < 110 && c.green() - c.red() > 60;
}

bool showsNoDevicePage(const QImage &shot)
{
    return ProgramSession::countPixels(shot, warningIcon, isWarningOrange) > 200
        && ProgramSession::countPixels(shot, buttonsNavButton, isAccentGreen) == 0;
}

bool showsButtonsPage(const QImage &shot)
{
    return ProgramSession::countPixels(shot, warningIcon, isWarningOrange) == 0
        && ProgramSession::countPixels(shot, buttonsNavButton, isAccentGreen) > 20;
}

} // namespace

class ShellTest : public QObject
{
    Q_OBJECT

private slots:
    void shouldFollowUnplugAndReplug()
    {
        ProgramSession session;
        QVERIFY(session.start());
        const QString node = QDir(session.emuDir()).filePath("z31-hidraw");
        QVERIFY(session.waitForCaptureLine("ReadConfigData"));
        QVERIFY2(session.waitFor([&] { return showsButtonsPage(session.grab()); }),
                 qPrintable(session.saveScreenshot("shell-start")));

        session.clearCapture();
        QCOMPARE(session.emu({ "unplug" }), 0);
        QVERIFY2(session.waitForLog("Z31 plug out"), qPrintable(session.log()));
        QVERIFY(session.waitForCaptureLine("CloseDevice"));
        QVERIFY2(session.waitFor([&] { return showsNoDevicePage(session.grab()); }),
                 qPrintable(session.saveScreenshot("shell-unplugged")));
        QVERIFY(session.waitForCaptureLine("CloseConfigDevice"));
        QCOMPARE(session.capture(), (QStringList { "CloseDevice", "CloseConfigDevice" }));

        session.clearCapture();
        QCOMPARE(session.emu({ "plug" }), 0);
        QVERIFY2(session.waitForLog("Z31 Plug in"), qPrintable(session.log()));
        const QString log = session.log();
        QVERIFY(log.indexOf("hid plug in") < log.lastIndexOf("Z31 Plug in"));
        QVERIFY(session.waitForCaptureLine("ReadConfigData"));
        QCOMPARE(ProgramSession::settingsReadMismatch(session.capture(), node), QString());
        QVERIFY2(session.waitFor([&] { return showsButtonsPage(session.grab()); }),
                 qPrintable(session.saveScreenshot("shell-replugged")));
        QCOMPARE(session.process().state(), QProcess::Running);
    }
};

QTEST_MAIN(ShellTest)
#include "tst_e2e_shell.moc"
