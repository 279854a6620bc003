// The real program on the emulated mouse: key combinations typed into the editor and macros recorded with
// keys sent through the X server as a user types them, read back from the mouse's capture and memory.
#include "programsession.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
const QPoint recorderEdit(20 + 207 + 45, 50 + 147 + 13);
// The macro editor opens over the middle of the 1200 x 750 window; its controls, relative to the window.
const QPoint macroEditor((1200 - 500) / 2, (750 - 472) / 2);
const QPoint editorDelayOption = macroEditor + QPoint(336 + 8, 168 + 8);
const QPoint macroEditorSave = macroEditor + QPoint(390 + 45, 432 + 13);

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
        QVERIFY(session.waitFor([] { return ProgramSession::keyboardGrabbed(); }));
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

    void shouldWriteRecordedMacro_data()
    {
        QTest::addColumn<bool>("edited");
        QTest::addColumn<int>("recordDelay");
        QTest::addColumn<QString>("memory");
        QTest::newRow("as recorded") << false << 0 << "04000000 04010000 e4000000 1b000000 1b010000 e4010000";
        // Delays switched on in the editor and the release of A delayed by 250 ms (0x00fa).
        QTest::newRow("one delay edited") << true << 1 << "04000000 0401fa00 e4000000 1b000000 1b010000 e4010000";
    }
    void shouldWriteRecordedMacro()
    {
        QFETCH(bool, edited);
        QFETCH(int, recordDelay);
        QFETCH(QString, memory);
        ButtonsSession session;
        QVERIFY2(session.startOnButtonsPage(), qPrintable(session.log()));
        QVERIFY2(session.openDialog(5), qPrintable(session.saveScreenshot("buttons-open")));

        session.clickInDialog(5, macroPageButton);
        session.clickInDialog(5, recordButton);
        QVERIFY(session.waitFor([] { return ProgramSession::keyboardGrabbed(); }));
        // A key held for a second repeats; the recording keeps one press and one release.
        ProgramSession::xdotool({ "keydown", "a", "sleep", "1", "keyup", "a" });
        ProgramSession::xdotool({ "keydown", "105", "key", "x", "keyup", "105" });
        session.clickInDialog(5, recordButton + QPoint(1, 0));
        session.clearCapture();
        if (edited) {
            session.clickInDialog(5, recorderEdit);
            const auto editorShown = [&] { return session.showsWindow({ 500, 472 }); };
            QVERIFY2(session.waitFor(editorShown), qPrintable(session.saveScreenshot("buttons-macro-editor")));
            session.click(editorDelayOption.x(), editorDelayOption.y());
            // The list has the keyboard: the second event, Enter, its delay, Enter.
            session.click(macroEditor.x() + 170, macroEditor.y() + 330);
            ProgramSession::xdotool({ "key", "Home", "Down", "Return" });
            ProgramSession::xdotool({ "type", "250" });
            ProgramSession::xdotool({ "key", "Return" });
            session.click(macroEditorSave.x(), macroEditorSave.y());
        } else {
            session.clickInDialog(5, recorderSave);
        }

        QVERIFY2(session.waitForCaptureLine(QStringLiteral("CloseConfigDevice")),
                 qPrintable(session.capture().join('\n') + session.saveScreenshot("buttons-macro")));
        const QStringList capture = session.capture();
        QVERIFY2(hasLineStarting(capture, QStringLiteral("WrtieControl 31") + hexBytes({ 0xb1, 5, 2, recordDelay, 6 })),
                 qPrintable(capture.join('\n')));
        QString chunk = QStringLiteral("WrtieConfig 63") + hexBytes({ 0xf1, 5, 6, 0 });
        for (const QString &event : memory.split(QLatin1Char(' '))) {
            for (int i = 0; i < 8; i += 2)
                chunk += QLatin1Char(' ') + event.mid(i, 2);
        }
        QVERIFY2(hasLineStarting(capture, chunk), qPrintable(capture.join('\n')));

        QMap<QString, QString> stored = session.dump();
        QCOMPARE(stored.value("button5.func_type"), QStringLiteral("2"));
        QCOMPARE(stored.value("button5.func_id"), QString::number(recordDelay));
        QCOMPARE(stored.value("button5.param1"), QStringLiteral("6"));
        QCOMPARE(stored.value("button5.macro"), memory);

        // Reopening reads the macro back on the config channel that the upload closed.
        if (edited)
            session.key(QStringLiteral("Escape"));
        session.click(1000, 600);
        session.clearCapture();
        QVERIFY(session.openDialog(5));
        QVERIFY2(session.waitForCaptureLine(QStringLiteral("WrtieConfig 63") + hexBytes({ 0xf0, 5, 6, 0 })),
                 qPrintable(session.capture().join('\n')));
        QVERIFY(session.waitForCaptureLine(QStringLiteral("ReadConfigData 64 -> 1")));
        if (!edited)
            return;
        const QStringList readBack = session.capture().filter(QStringLiteral("ReadConfigData 64 -> 1"));
        QVERIFY2(readBack.first().contains(QStringLiteral("04 01 fa 00 e4 00 00 00")), qPrintable(readBack.join('\n')));

        // A configuration file exported once the window has gone holds the edited macro.
        session.process().kill();
        session.process().waitForFinished(5000);
        QProcess exporter;
        exporter.setProcessEnvironment(session.environment());
        exporter.setWorkingDirectory(session.workDir());
        const QString file = session.workDir() + QStringLiteral("/edited.z31.json");
        exporter.start(session.programPath(), { "--export", file });
        QVERIFY(exporter.waitForFinished(20000));
        QCOMPARE(exporter.exitCode(), 0);
        QFile exported(file);
        QVERIFY(exported.open(QIODevice::ReadOnly));
        const QJsonArray buttons = QJsonDocument::fromJson(exported.readAll()).object().value("buttons").toArray();
        QJsonObject macro;
        for (const QJsonValue &button : buttons) {
            if (button.toObject().value("button").toInt() == 5)
                macro = button.toObject().value("macro").toObject();
        }
        QCOMPARE(macro.value("recordDelay").toBool(), true);
        const QJsonArray events = macro.value("events").toArray();
        QCOMPARE(events.size(), 6);
        QCOMPARE(events.at(1).toObject().value("name").toString(), QStringLiteral("A"));
        QCOMPARE(events.at(1).toObject().value("action").toString(), QStringLiteral("up"));
        QCOMPARE(events.at(1).toObject().value("delayMs").toInt(), 250);
    }
};

QTEST_MAIN(ButtonsProgramTest)
#include "tst_e2e_buttons.moc"
