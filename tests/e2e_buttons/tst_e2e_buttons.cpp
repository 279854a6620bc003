// The real program on the emulated mouse: key combinations typed into the editor and macros recorded with
// keys sent through the X server as a user types them, read back from the mouse's capture and memory.
#include "programsession.h"

#include <QWidget>
#include <QWindow>
#include <QtTest>

namespace {

// Page coordinates of the circles and of the dialog's controls (dialog-relative).
QPoint circleCentre(int button)
{
    static const QMap<int, QPoint> circles { { 2, { 386, 208 } }, { 5, { 386, 276 } } };
    return circles.value(button) + QPoint(11, 11);
}

QPoint dialogOrigin(int button)
{
    return circleCentre(button) - QPoint(11, 11) + QPoint(30, -12);
}

const QPoint combinationPageButton(122 + 45, 287 + 13);
const QPoint macroPageButton(224 + 45, 287 + 13);
const QPoint listMiddle(20 + 150, 50 + 100);
// With the combination list scrolled to its end the editor sits at the foot of the visible area.
const QPoint editorField(20 + 121, 50 + 140 + 13);
const QPoint editorSave(20 + 100 + 45, 50 + 174 + 13);
const QPoint recordButton(20 + 207 + 45, 50 + 55 + 13);
const QPoint recorderSave(20 + 207 + 45, 50 + 89 + 13);

QString hexBytes(std::initializer_list<int> bytes)
{
    QString text;
    for (int byte : bytes)
        text += QStringLiteral(" %1").arg(byte, 2, 16, QLatin1Char('0'));
    return text;
}

bool hasLineStarting(const QStringList &lines, const QString &prefix)
{
    for (const QString &line : lines) {
        if (line.startsWith(prefix))
            return true;
    }
    return false;
}

// Whether another X client could take the keyboard now.
bool keyboardFree()
{
    QWidget probe;
    probe.setGeometry(1700, 1000, 10, 10);
    probe.show();
    if (!QTest::qWaitForWindowExposed(&probe))
        return false;
    QWindow *window = probe.windowHandle();
    const bool grabbed = window->setKeyboardGrabEnabled(true);
    if (grabbed)
        window->setKeyboardGrabEnabled(false);
    return grabbed;
}

class ButtonsSession : public ProgramSession
{
public:
    bool startOnButtonsPage()
    {
        return start() && waitForCaptureLine(QStringLiteral("ReadConfigData"));
    }

    // Clicks the circle until its assignment is read (the page fades in after the window).
    bool openDialog(int button)
    {
        const QString read = QStringLiteral("WrtieControl 31") + hexBytes({ 0xb0, button });
        int attempt = 0;
        return waitFor([&] {
            // A synchronous pointer move to where the pointer already is would wait forever.
            const QPoint at = circleCentre(button) + QPoint(attempt++ % 2, 0);
            click(at.x(), at.y());
            return waitForCaptureLine(read, 1000);
        }, 15000);
    }

    void clickInDialog(int button, QPoint at, int mouseButton = 1)
    {
        const QPoint p = dialogOrigin(button) + at;
        click(p.x(), p.y(), mouseButton);
    }
};

} // namespace

class ButtonsProgramTest : public QObject
{
    Q_OBJECT

private slots:
    void shouldWriteCombinationTypedInEditor_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("usage");
        QTest::newRow("ctrl alt delete") << QStringList { "key", "ctrl+alt+Delete" } << 0x05 << 0x4C;
        QTest::newRow("win E") << QStringList { "key", "super+e" } << 0x08 << 0x08;
        QTest::newRow("shift keeps the key") << QStringList { "key", "shift+a", "shift+1" } << 0x02 << 0x1E;
        // Menu first: its context menu would end the capture. Then right Ctrl and right Alt by key code.
        QTest::newRow("menu, right-hand modifiers, F13")
            << QStringList { "key", "Menu", "keydown", "105", "keydown", "108", "key", "191", "keyup", "108",
                             "keyup", "105" }
            << 0x50 << 0x68;
        QTest::newRow("keypad") << QStringList { "key", "ctrl+KP_Add" } << 0x01 << 0x57;
    }
    void shouldWriteCombinationTypedInEditor()
    {
        QFETCH(QStringList, keys);
        QFETCH(int, modifiers);
        QFETCH(int, usage);
        ButtonsSession session;
        QVERIFY2(session.startOnButtonsPage(), qPrintable(session.log()));
        QVERIFY2(session.openDialog(2), qPrintable(session.saveScreenshot("buttons-open")));

        session.clickInDialog(2, combinationPageButton);
        for (int notch = 0; notch < 8; ++notch)
            session.clickInDialog(2, listMiddle + QPoint(notch % 2, 0), 5);
        session.clickInDialog(2, editorField);
        QVERIFY(session.waitFor([] { return !keyboardFree(); }));
        session.clearCapture();
        ProgramSession::xdotool(keys);
        session.clickInDialog(2, editorSave);

        const QString write = QStringLiteral("WrtieControl 31") + hexBytes({ 0xb1, 2, 1, 0, modifiers, usage });
        QVERIFY2(session.waitForCaptureLine(write),
                 qPrintable(session.capture().join('\n') + session.saveScreenshot("buttons-editor")));
        const QMap<QString, QString> memory = session.dump();
        QCOMPARE(memory.value("button2.func_type"), QStringLiteral("1"));
        QCOMPARE(memory.value("button2.func_id"), QStringLiteral("0"));
        QCOMPARE(memory.value("button2.param1"), QString::number(modifiers));
        QCOMPARE(memory.value("button2.param2"), QString::number(usage));
        QCOMPARE(session.capture().filter(QStringLiteral("WrtieControl 31 b1")).size(), 1);
    }

    void shouldWriteRecordedMacro()
    {
        ButtonsSession session;
        QVERIFY2(session.startOnButtonsPage(), qPrintable(session.log()));
        QVERIFY2(session.openDialog(5), qPrintable(session.saveScreenshot("buttons-open")));

        session.clickInDialog(5, macroPageButton);
        session.clickInDialog(5, recordButton);
        QVERIFY(session.waitFor([] { return !keyboardFree(); }));
        // A key held for a second repeats; the recording keeps one press and one release.
        ProgramSession::xdotool({ "keydown", "a", "sleep", "1", "keyup", "a" });
        ProgramSession::xdotool({ "keydown", "105", "key", "x", "keyup", "105" });
        session.clickInDialog(5, recordButton + QPoint(1, 0));
        session.clearCapture();
        session.clickInDialog(5, recorderSave);

        QVERIFY2(session.waitForCaptureLine(QStringLiteral("CloseConfigDevice")),
                 qPrintable(session.capture().join('\n') + session.saveScreenshot("buttons-macro")));
        const QStringList capture = session.capture();
        QVERIFY2(hasLineStarting(capture, QStringLiteral("WrtieControl 31") + hexBytes({ 0xb1, 5, 2, 0, 6 })),
                 qPrintable(capture.join('\n')));
        const QString chunk = QStringLiteral("WrtieConfig 63")
            + hexBytes({ 0xf1, 5, 6, 0, 0x04, 0, 0, 0, 0x04, 1, 0, 0, 0xe4, 0, 0, 0, 0x1b, 0, 0, 0, 0x1b, 1, 0, 0,
                         0xe4, 1, 0, 0 });
        QVERIFY2(hasLineStarting(capture, chunk), qPrintable(capture.join('\n')));

        const QMap<QString, QString> memory = session.dump();
        QCOMPARE(memory.value("button5.func_type"), QStringLiteral("2"));
        QCOMPARE(memory.value("button5.param1"), QStringLiteral("6"));
        QCOMPARE(memory.value("button5.macro"),
                 QStringLiteral("04000000 04010000 e4000000 1b000000 1b010000 e4010000"));

        // Reopening reads the macro back on the config channel that the upload closed.
        session.click(1000, 600);
        session.clearCapture();
        QVERIFY(session.openDialog(5));
        QVERIFY2(session.waitForCaptureLine(QStringLiteral("WrtieConfig 63") + hexBytes({ 0xf0, 5, 6, 0 })),
                 qPrintable(session.capture().join('\n')));
        QVERIFY(session.waitForCaptureLine(QStringLiteral("ReadConfigData 64 -> 1")));
    }
};

QTEST_MAIN(ButtonsProgramTest)
#include "tst_e2e_buttons.moc"
