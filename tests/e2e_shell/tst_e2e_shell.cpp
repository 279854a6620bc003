// The real program on the emulated mouse: the mouse unplugged and plugged in again while the window runs.
#include "pingwatch.h"
#include "programsession.h"

#include <QDir>
#include <QImage>
#include <QtTest>

#include <functional>

namespace {

// Window areas that tell the two device states apart.
const QRect warningIcon(560, 253, 80, 75);   // no-device page
const QRect buttonsNavButton(510, 656, 60, 38);   // checked navigation button (green icon)
const QRect silenceLine(190, 28, 860, 20);   // the mouse does not answer

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
    void shouldFollowUnplugAndReplug_data()
    {
        QTest::addColumn<bool>("duringCall");
        QTest::newRow("idle") << false;
        // Every call takes 100 ms: the mouse leaves during an export, which then asks it nothing more, and is back
        // right after.
        QTest::newRow("replug during a call") << true;
    }
    void shouldFollowUnplugAndReplug()
    {
        QFETCH(bool, duringCall);
        ProgramSession session;
        QVERIFY(session.start());
        const QString node = QDir(session.emuDir()).filePath("z31-hidraw");
        QVERIFY(session.waitForCaptureLine("ReadConfigData"));
        QVERIFY2(session.waitFor([&] { return showsButtonsPage(session.grab()); }),
                 qPrintable(session.saveScreenshot("shell-start")));
        if (duringCall) {
            QCOMPARE(session.emu({ "latency", "100000" }), 0);
            session.click(1085, 38);
            session.click(755, 487);
            session.typeText(QDir(session.workDir()).filePath("replug.z31.json"));
            session.key("Return");
            QVERIFY(session.waitForCaptureLine("WrtieControl 31 b0", 30000));
        }

        session.clearCapture();
        QCOMPARE(session.emu({ "unplug" }), 0);
        QVERIFY2(session.waitForLog("Z31 plug out"), qPrintable(session.log()));
        if (duringCall) {
            QVERIFY(session.waitForCaptureLine("CloseConfigDevice", 30000));
        } else {
            QVERIFY(session.waitForCaptureLine("CloseDevice"));
            QVERIFY2(session.waitFor([&] { return showsNoDevicePage(session.grab()); }),
                     qPrintable(session.saveScreenshot("shell-unplugged")));
            QVERIFY(session.waitForCaptureLine("CloseConfigDevice"));
            QCOMPARE(session.capture(), (QStringList { "CloseDevice", "CloseConfigDevice" }));
        }

        QCOMPARE(session.emu({ "plug" }), 0);
        QVERIFY2(session.waitForLog("Z31 Plug in", 60000), qPrintable(session.log()));
        const QString log = session.log();
        QVERIFY(log.indexOf("hid plug in") < log.lastIndexOf("Z31 Plug in"));
        // Both channels are closed before the mouse is opened again; its settings are read then.
        const auto afterClose = [&]() -> QStringList {
            const QStringList lines = session.capture();
            for (int close = 0; close + 1 < lines.size(); ++close) {
                if (lines.at(close) == "CloseDevice" && lines.at(close + 1) == "CloseConfigDevice") {
                    const int open = lines.indexOf("OpenDevice 3044 9d09 -> " + node, close);
                    return open < 0 ? QStringList() : lines.mid(open);
                }
            }
            return QStringList();
        };
        QVERIFY2(session.waitFor(
                     [&] { return afterClose().filter(QRegularExpression("^ReadConfigData 64 -> 1 ")).size() > 0; }),
                 qPrintable(session.capture().join('\n')));
        QCOMPARE(ProgramSession::settingsReadMismatch(afterClose(), node), QString());
        if (duringCall)
            session.click(1085, 38);
        QVERIFY2(session.waitFor([&] { return showsButtonsPage(session.grab()); }),
                 qPrintable(session.saveScreenshot("shell-replugged")));
        QCOMPARE(session.process().state(), QProcess::Running);
    }

    // A mouse that stays plugged in but answers nothing, every call held up: the window goes on answering the
    // window system while the device library waits, whatever the user does.
    void shouldAnswerPingsWhileTheMouseIsSilent_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("done");   // the log line once the mouse has been given up on
        QTest::newRow("start-up") << "start-up" << "the mouse does not answer";
        QTest::newRow("plug-in") << "plug-in" << "the mouse does not answer";
        QTest::newRow("button dialog") << "button dialog" << "the mouse does not answer";
        QTest::newRow("factory reset") << "factory reset" << "the mouse does not answer";
        QTest::newRow("pointer page") << "pointer page" << "DPI poll paused";
        QTest::newRow("export") << "export" << "the mouse does not answer";
        // Nothing the user does asks the mouse: the line goes once it answers again.
        QTest::newRow("pointer page, answering again") << "pointer page, answering again"
                                                       << "DPI poll paused";
    }
    void shouldAnswerPingsWhileTheMouseIsSilent()
    {
        QFETCH(QString, action);
        QFETCH(QString, done);
        const bool answersAgain = action.endsWith("answering again");
        ProgramSession session(action != "plug-in");
        // Each call waits 50 ms, each unanswered read of the contrary library another 50 ms.
        session.environment().insert("TARNO_CONTRARY_TIMEOUT_MS", "50");
        const auto silence = [&] {
            return session.emu({ "fail-reads", "1000000" }) == 0 && session.emu({ "latency", "50000" }) == 0;
        };
        if (action == "start-up")
            QVERIFY(silence());
        QVERIFY(session.start());
        if (action != "start-up") {
            QVERIFY(session.waitForCaptureLine(action == "plug-in" ? "OpenDevice" : "ReadConfigData"));
            QVERIFY(session.waitFor([&] { return showsButtonsPage(session.grab()) || action == "plug-in"; }));
            QVERIFY(silence());
        }
        PingWatch watch(session.windowId());
        QVERIFY(watch.valid());
        const int callsBefore = session.capture().size();

        if (action == "plug-in") {
            QCOMPARE(session.emu({ "plug" }), 0);
        } else if (action == "button dialog") {
            // The page's circles fade in after the window: click button 2 until it is read.
            int attempt = 0;
            QVERIFY(session.waitFor([&] {
                session.click(397 + attempt++ % 2, 219);
                return session.waitForCaptureLine("WrtieControl 31 b0 02", 1000);
            }));
        } else if (action == "factory reset") {
            session.click(105, 40);
            // The confirmation pop-up takes the keyboard; its first button is "恢复".
            session.key("Return");
        } else if (action.startsWith("pointer page")) {
            session.click(660, 675);
        } else if (action == "export") {
            session.click(1085, 38);
            session.click(755, 487);
            // The file dialog's name field has the focus.
            session.typeText(QDir(session.workDir()).filePath("silent.z31.json"));
            session.key("Return");
        }

        // While the library still waits for the mouse, the window answers.
        watch.reset();
        QVERIFY(session.waitFor([&] { return watch.answered() > 0; }));
        const int callsAtAnswer = session.capture().size();
        QVERIFY2(session.waitForLog(done, 60000), qPrintable(session.log()));
        QVERIFY2(session.capture().size() > callsAtAnswer && callsAtAnswer >= callsBefore,
                 qPrintable(QStringLiteral("%1 calls before, %2 at the answer, %3 at the end")
                                .arg(callsBefore)
                                .arg(callsAtAnswer)
                                .arg(session.capture().size())));
        // One line at the top says that the mouse does not answer.
        QVERIFY2(session.waitFor([&] {
            return ProgramSession::countPixels(session.grab(), silenceLine, isAccentGreen) > 20;
        }),
                 qPrintable(session.saveScreenshot("silent-" + action)));
        if (!answersAgain)
            return;
        QCOMPARE(session.emu({ "fail-reads", "0" }), 0);
        QVERIFY2(session.waitForLog("the mouse answers again"), qPrintable(session.log()));
        QVERIFY2(session.waitFor(
                     [&] { return ProgramSession::countPixels(session.grab(), silenceLine, isAccentGreen) == 0; }),
                 qPrintable(session.saveScreenshot("answering-again")));
    }
};

QTEST_MAIN(ShellTest)
#include "tst_e2e_shell.moc"
