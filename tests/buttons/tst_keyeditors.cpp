#include "buttons/assignmentcodec.h"
#include "buttons/btn_dialog.h"
#include "buttons/func_list.h"
#include "buttons/keytables.h"
#include "buttons/macroeditdialog.h"
#include "buttons/macroeditor.h"
#include "buttons/micro_widget.h"
#include "buttons/mkey_edit.h"
#include "platform/keyboardcapture.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTranslator>
#include <QTreeWidget>
#include <QtTest>

namespace {

constexpr unsigned Down = KeyMessage::KeyDown;
constexpr unsigned Up = KeyMessage::KeyUp;

void key(KeyboardCapture *capture, unsigned message, quint8 vk)
{
    emit capture->keyMessage(message, vk);
}

void stroke(KeyboardCapture *capture, quint8 vk)
{
    key(capture, Down, vk);
    key(capture, Up, vk);
}

// Macros written as "a+ a-120 [200]-": a letter key (or a usage id in brackets) going down (+) or up (-), with
// the delay before it; "off:" in front when delays are not recorded.
struct Macro
{
    QVector<micro_Event> events;
    bool recordDelay = true;
};

Macro parseMacro(QString text)
{
    Macro macro;
    if (text.startsWith(QLatin1String("off:"))) {
        macro.recordDelay = false;
        text.remove(0, 4);
    }
    static const QRegularExpression token(QStringLiteral("(?:([a-z])|\\[(\\d+)\\])([+-])(\\d*)"));
    auto match = token.globalMatch(text);
    while (match.hasNext()) {
        const QRegularExpressionMatch m = match.next();
        const int usage
            = m.captured(1).isEmpty() ? m.captured(2).toInt() : 0x04 + (m.captured(1).at(0).unicode() - 'a');
        macro.events.append(
            micro_Event { quint8(usage), quint8(m.captured(3) == QLatin1String("-")), quint16(m.captured(4).toInt()) });
    }
    return macro;
}

QString macroText(const MacroEditor &editor)
{
    QStringList tokens;
    for (const MacroStep &step : editor.steps()) {
        const int letter = step.usage - 0x04;
        QString token
            = letter >= 0 && letter < 26 ? QString(QChar('a' + letter)) : QStringLiteral("[%1]").arg(step.usage);
        token += step.up ? QLatin1Char('-') : QLatin1Char('+');
        if (step.delayMs != 0)
            token += QString::number(step.delayMs);
        tokens << token;
    }
    return (editor.recordDelay() ? QString() : QStringLiteral("off:")) + tokens.join(QLatin1Char(' '));
}

QVector<int> rowsOf(const QString &text)
{
    QVector<int> rows;
    for (const QString &row : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (row != QLatin1String("-"))
            rows << row.toInt();
    }
    return rows;
}

// Runs edits such as "delay 1,3 250; before 0 c; undo" on the editor.
void runEdits(MacroEditor &editor, const QString &edits)
{
    for (const QString &edit : edits.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList words = edit.simplified().split(QLatin1Char(' '));
        const QString &verb = words.at(0);
        if (verb == QLatin1String("delay"))
            editor.setDelay(rowsOf(words.at(1)), words.at(2).toInt());
        else if (verb == QLatin1String("all"))
            editor.setAllDelays(words.at(1).toInt());
        else if (verb == QLatin1String("off") || verb == QLatin1String("on"))
            editor.setRecordDelay(verb == QLatin1String("on"));
        else if (verb == QLatin1String("before") || verb == QLatin1String("after"))
            editor.insertStroke(quint8(0x04 + (words.at(2).at(0).unicode() - 'a')), rowsOf(words.at(1)),
                                verb == QLatin1String("after"));
        else if (verb == QLatin1String("remove"))
            editor.remove(rowsOf(words.at(1)));
        else if (verb == QLatin1String("up") || verb == QLatin1String("down"))
            editor.move(rowsOf(words.at(1)), verb == QLatin1String("up") ? -1 : 1);
        else if (verb == QLatin1String("undo"))
            editor.history()->undo();
        else if (verb == QLatin1String("redo"))
            editor.history()->redo();
        else
            QFAIL(qPrintable(QStringLiteral("unknown edit ") + edit));
    }
}

// The editor or recorder in a shown, active window beside a second focusable widget.
struct Window
{
    QWidget window;
    QLineEdit *elsewhere = new QLineEdit(&window);

    explicit Window(QWidget *content)
    {
        content->setParent(&window);
        content->move(0, 40);
        window.resize(320, 260);
        window.show();
        window.activateWindow();
    }
};

} // namespace

class KeyEditorsTest : public QObject
{
    Q_OBJECT

private slots:
    void shouldShowCombinationText_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("vkey");
        QTest::addColumn<QString>("text");
        QTest::newRow("ctrl alt delete") << 0x05 << 0x2E << "CTRL+ALT+DELETE";
        QTest::newRow("modifiers alone lose the plus") << 0x03 << 0x00 << "CTRL+SHIFT";
        QTest::newRow("key alone") << 0x00 << 0x41 << "A";
        QTest::newRow("right alt alone") << 0x40 << 0x00 << "RIGHT ALT";
        QTest::newRow("right alt with F5") << 0x40 << 0x74 << "RIGHT ALT+F5";
        QTest::newRow("every modifier in order") << 0xFF << 0x87
            << "CTRL+ALT+SHIFT+WIN+RIGHT CTRL+RIGHT ALT+RIGHT SHIFT+RIGHT WIN+F24";
        QTest::newRow("win and E") << 0x08 << 0x45 << "WIN+E";
        QTest::newRow("nameless key drops the plus") << 0x04 << 0x6C << "ALT";
        QTest::newRow("keypad key") << 0x01 << 0x65 << "CTRL+NUMPAD5";
        QTest::newRow("nothing") << 0x00 << 0x00 << "";
    }
    void shouldShowCombinationText()
    {
        QFETCH(int, modifiers);
        QFETCH(int, vkey);
        QFETCH(QString, text);
        mkey_Edit editor;
        editor.modifiers = quint8(modifiers);
        editor.vkey_code = quint8(vkey);
        editor.show_mkey();
        QCOMPARE(editor.mkey_text, text);
        QCOMPARE(editor.lineEdit->text(), text);
        QVERIFY(editor.saveButton->isEnabled());
        QVERIFY(editor.clearButton->isEnabled());
    }

    void shouldAccumulateModifiers()
    {
        mkey_Edit editor;
        QVERIFY(!editor.saveButton->isEnabled());
        key(editor.capture, Down, 0xA2);
        key(editor.capture, Down, 0x41);
        QCOMPARE(editor.lineEdit->text(), QStringLiteral("CTRL+A"));
        key(editor.capture, Up, 0x41);
        key(editor.capture, Up, 0xA2);
        key(editor.capture, Down, 0xA0);
        QCOMPARE(editor.lineEdit->text(), QStringLiteral("CTRL+SHIFT+A"));
        QCOMPARE(int(editor.modifiers), 0x03);
        QCOMPARE(int(editor.vkey_code), 0x41);
    }

    void shouldCaptureOnlyWhileFocused()
    {
        auto *editor = new mkey_Edit;
        Window window(editor);
        QVERIFY(QTest::qWaitForWindowActive(&window.window));
        editor->lineEdit->setFocus();
        QTRY_VERIFY(editor->capture->isActive());
        window.elsewhere->setFocus();
        QTRY_VERIFY(!editor->capture->isActive());
    }

    void shouldReleaseKeyboardWhenDialogCloses()
    {
        QWidget window;
        window.resize(600, 400);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *dialog = new btn_Dialog(&window);
        dialog->show();
        dialog->pageGroup->button(btn_Dialog::CombinationPage)->click();
        mkey_Edit *editor = dialog->comboList->editor;
        editor->lineEdit->setFocus();
        QTRY_VERIFY(editor->capture->isActive());

        // The closed pop-up would otherwise leave the focus, and the keyboard, with its hidden field.
        dialog->set_hide();
        QVERIFY(!editor->capture->isActive());
        QVERIFY(!editor->lineEdit->hasFocus());
    }

    void shouldCountAKeyAgainAfterRefocusing()
    {
        auto *editor = new mkey_Edit;
        Window window(editor);
        QVERIFY(QTest::qWaitForWindowActive(&window.window));
        editor->lineEdit->setFocus();
        QTRY_VERIFY(editor->capture->isActive());
        key(editor->capture, Down, 0x41);
        // A's release happens while another widget has the keyboard.
        window.elsewhere->setFocus();
        QTRY_VERIFY(!editor->capture->isActive());
        editor->lineEdit->setFocus();
        QTRY_VERIFY(editor->capture->isActive());
        stroke(editor->capture, 0x42);
        key(editor->capture, Down, 0x41);
        QCOMPARE(editor->mkey_text, QStringLiteral("A"));
    }

    void shouldClearCombination()
    {
        auto *editor = new mkey_Edit;
        Window window(editor);
        QVERIFY(QTest::qWaitForWindowActive(&window.window));
        key(editor->capture, Down, 0xA4);
        key(editor->capture, Down, 0x73);
        QCOMPARE(editor->mkey_text, QStringLiteral("ALT+F4"));

        QTest::mouseClick(editor->clearButton, Qt::LeftButton);
        QCOMPARE(int(editor->modifiers), 0);
        QCOMPARE(int(editor->vkey_code), 0);
        QVERIFY(editor->lineEdit->text().isEmpty());
        QVERIFY(editor->mkey_text.isEmpty());
        QVERIFY(!editor->saveButton->isEnabled());
        QVERIFY(editor->clearButton->isEnabled());
        QTRY_VERIFY(editor->lineEdit->hasFocus());
        QVERIFY(editor->capture->isActive());
    }

    void shouldRecordEventsWithoutDelays()
    {
        micro_Widget recorder;
        recorder.start_record();
        QVERIFY(recorder.recording());
        QCOMPARE(recorder.startButton->text(), QStringLiteral("停止录制"));
        QVERIFY(!recorder.saveButton->isEnabled());
        QVERIFY(!recorder.delayOption->isEnabled());

        key(recorder.capture, Down, 0xA2);
        key(recorder.capture, Down, 0x43);
        key(recorder.capture, Down, 0x43);
        key(recorder.capture, Up, 0x43);
        key(recorder.capture, Up, 0xA2);
        const QVector<micro_Event> expected {
            { 0xE0, 0, 0 }, { 0x06, 0, 0 }, { 0x06, 1, 0 }, { 0xE0, 1, 0 },
        };
        QCOMPARE(recorder.events, expected);
        QCOMPARE(recorder.list->count(), 4);
        QCOMPARE(recorder.list->item(1)->text(), QStringLiteral("C"));
        QCOMPARE(recorder.list->currentRow(), 3);
    }

    void shouldRecordDelaysBetweenEvents()
    {
        micro_Widget recorder;
        recorder.delayOption->setChecked(true);
        recorder.start_record();
        key(recorder.capture, Down, 0x41);
        QTRY_VERIFY(recorder.event_timer.elapsed() >= 20);
        key(recorder.capture, Up, 0x41);

        QCOMPARE(recorder.events.size(), 2);
        QCOMPARE(recorder.events.at(0), (micro_Event { 0x04, 0, 0 }));
        const int delay = recorder.events.at(1).delay_ms;
        QVERIFY(delay >= 20);
        QCOMPARE(recorder.list->count(), 3);
        QCOMPARE(recorder.list->item(0)->text(), QStringLiteral("A"));
        QCOMPARE(recorder.list->item(1)->text(), QString::number(delay) + QStringLiteral(" 毫秒延迟"));
        QCOMPARE(recorder.list->item(2)->text(), QStringLiteral("A"));
    }

    void shouldKeepLongPausesAtTheLongestDelay_data()
    {
        QTest::addColumn<qint64>("elapsed");
        QTest::addColumn<int>("delay");
        QTest::newRow("longest that fits") << qint64(65535) << 65535;
        QTest::newRow("just beyond") << qint64(65536) << 65535;
    }
    void shouldKeepLongPausesAtTheLongestDelay()
    {
        QFETCH(qint64, elapsed);
        QFETCH(int, delay);
        QCOMPARE(int(macroDelay(elapsed)), delay);
    }

    void shouldStopAtHundredEvents()
    {
        micro_Widget recorder;
        recorder.start_record();
        for (int i = 0; i < 50; ++i)
            stroke(recorder.capture, quint8(0x41 + i % 26));
        QCOMPARE(recorder.events.size(), MaxMacroEvents);
        QVERIFY(!recorder.recording());
        QVERIFY(!recorder.capture->isActive());
        QCOMPARE(recorder.startButton->text(), QStringLiteral("启动录制"));
        QVERIFY(recorder.saveButton->isEnabled());
        stroke(recorder.capture, 0x41);
        QCOMPARE(recorder.events.size(), MaxMacroEvents);
    }

    void shouldToggleAndDiscardOnNewRecording()
    {
        micro_Widget recorder;
        recorder.start_record();
        stroke(recorder.capture, 0x41);
        QTest::mouseClick(recorder.startButton, Qt::LeftButton);
        QVERIFY(!recorder.recording());
        QCOMPARE(recorder.events.size(), 2);
        QVERIFY(recorder.delayOption->isEnabled());

        recorder.start_record();
        QVERIFY(recorder.events.isEmpty());
        QCOMPARE(recorder.list->count(), 0);
    }

    void shouldLetTheDelayOptionBeSwitchedOff()
    {
        micro_Widget recorder;
        QTest::mouseClick(recorder.delayOption, Qt::LeftButton);
        QVERIFY(recorder.delayOption->isChecked());
        QTest::mouseClick(recorder.delayOption, Qt::LeftButton);
        QVERIFY(!recorder.delayOption->isChecked());
    }

    void shouldStopWhenTheListLosesFocus()
    {
        auto *recorder = new micro_Widget;
        Window window(recorder);
        QVERIFY(QTest::qWaitForWindowActive(&window.window));
        recorder->start_record();
        QTRY_VERIFY(recorder->list->hasFocus());
        QVERIFY(recorder->capture->isActive());

        recorder->startButton->setFocus();
        QVERIFY(recorder->recording());
        recorder->list->setFocus();
        window.elsewhere->setFocus();
        QTRY_VERIFY(!recorder->recording());
        QVERIFY(!recorder->capture->isActive());
        QCOMPARE(recorder->startButton->text(), QStringLiteral("启动录制"));
    }

    void shouldEditMacro_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("edits");
        QTest::addColumn<QString>("after");
        QTest::newRow("one delay") << "a+ a-120 b+ b-30" << "delay 1 250" << "a+ a-250 b+ b-30";
        QTest::newRow("selected delays") << "a+ a-120 b+ b-30" << "delay 3,1 5" << "a+ a-5 b+ b-5";
        QTest::newRow("delay beyond the mouse's kept for the checks") << "a+ a-" << "delay 1 70000" << "a+ a-70000";
        QTest::newRow("set all but the first") << "a+ a-120 b+ b-30"
                                               << "all 40"
                                               << "a+ a-40 b+40 b-40";
        QTest::newRow("no delay before the first event") << "a+ a-120"
                                                         << "delay 0,1 50"
                                                         << "a+ a-50";
        QTest::newRow("loaded first delay dropped") << "a+30 a-"
                                                    << ""
                                                    << "a+ a-";
        QTest::newRow("no delay edits while delays are off") << "off:a+ a-" << "delay 1 5; all 5" << "off:a+ a-";
        QTest::newRow("delays off") << "a+ a-120" << "off" << "off:a+ a-120";
        QTest::newRow("delays off and on again keep them") << "a+ a-120" << "off; on" << "a+ a-120";
        QTest::newRow("insert before") << "a+ a-90" << "before 1 c" << "a+ c+ c- a-90";
        QTest::newRow("insert after the last selected") << "a+ a- b+ b-" << "after 1,0 c" << "a+ a- c+ c- b+ b-";
        QTest::newRow("insert into an empty macro") << "" << "after - c" << "c+ c-";
        QTest::newRow("insert at the start with none selected") << "a+ a-" << "before - c" << "c+ c- a+ a-";
        QTest::newRow("delete a down with its up") << "a+ b+ a-50 b-" << "remove 0" << "b+ b-";
        QTest::newRow("delete an up with its down") << "a+ b+ a-50 b-" << "remove 2" << "b+ b-";
        QTest::newRow("delete a stroke inside a press of the same key") << "a+ a+ a- a-" << "remove 1" << "a+ a-";
        QTest::newRow("delete a lone release") << "b- a+ a-" << "remove 0" << "a+ a-";
        QTest::newRow("the new first event loses its delay") << "a+ a-10 b+30 b-"
                                                             << "remove 0"
                                                             << "b+ b-";
        QTest::newRow("move up with its delay") << "a+ a-100 b+20 b-" << "up 2" << "a+ b+20 a-100 b-";
        QTest::newRow("move a block down") << "a+ a- b+ b- c+ c-" << "down 0,1" << "b+ a+ a- b- c+ c-";
        QTest::newRow("a pair moves together") << "a+ a- b+ b-" << "down 0,1; down 1,2" << "b+ b- a+ a-";
        QTest::newRow("moved to the top without its delay") << "a+ a- b+20 b-"
                                                            << "up 2; up 1"
                                                            << "b+ a+ a- b-";
        QTest::newRow("no up before its own down") << "a+ a- b+ b-" << "up 1" << "a+ a- b+ b-";
        QTest::newRow("no down after its own up") << "a+ a-" << "down 0" << "a+ a-";
        QTest::newRow("no move past the top") << "a+ a- b+ b-" << "up 0,2" << "a+ a- b+ b-";
        QTest::newRow("no move past the end") << "a+ a- b+ b-" << "down 1,3" << "a+ a- b+ b-";
        QTest::newRow("undo a delete") << "a+ a-120 b+ b-" << "remove 0; undo" << "a+ a-120 b+ b-";
        QTest::newRow("undo and redo") << "a+ a-120 b+ b-" << "remove 0; undo; redo" << "b+ b-";
        QTest::newRow("undo every edit in turn")
            << "a+ a-" << "delay 1 5; after 1 c; off; up 2; undo; undo; undo; undo" << "a+ a-";
        QTest::newRow("redo every edit in turn")
            << "a+ a-" << "all 5; before 0 c; remove 3; undo; undo; undo; redo; redo; redo" << "c+ c-";
        QTest::newRow("a new edit drops what could be redone") << "a+ a-" << "delay 1 5; undo; delay 1 7; redo"
                                                                 << "a+ a-7";
    }
    void shouldEditMacro()
    {
        QFETCH(QString, before);
        QFETCH(QString, edits);
        QFETCH(QString, after);
        const Macro macro = parseMacro(before);
        MacroEditor editor;
        editor.load(macro.events, macro.recordDelay);
        runEdits(editor, edits);
        QCOMPARE(macroText(editor), after);
        // What is sent: the events as shown, without their delays when they are not recorded.
        if (editor.check())
            return;
        Macro sent = parseMacro(after);
        if (!sent.recordDelay) {
            for (micro_Event &event : sent.events)
                event.delay_ms = 0;
        }
        QCOMPARE(editor.events(), sent.events);
    }

    void shouldRefuseMacro_data()
    {
        QTest::addColumn<QString>("macro");
        QTest::addColumn<QString>("edits");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("english");
        QString hundred;
        for (int i = 0; i < 50; ++i)
            hundred += QStringLiteral("a+ a-65535 ");
        QTest::newRow("released before pressed") << "a+ a- f-"
                                                 << ""
                                                 << "事件 3：F 在按下之前被松开"
                                                 << "Event 3: F is released before it is pressed";
        QTest::newRow("released again") << "a+ a- a-"
                                        << ""
                                        << "事件 3：A 在按下之前被松开"
                                        << "Event 3: A is released before it is pressed";
        QTest::newRow("still pressed at the end") << "a+ b+ b-"
                                                  << ""
                                                  << "事件 1：A 按下后直到结尾都没有松开"
                                                  << "Event 1: A is still pressed at the end";
        QTest::newRow("the first event at fault") << "c+ b- a+ c-"
                                                  << ""
                                                  << "事件 2：B 在按下之前被松开"
                                                  << "Event 2: B is released before it is pressed";
        QTest::newRow("unknown key by its number") << "[200]-"
                                                   << ""
                                                   << "事件 1：200 在按下之前被松开"
                                                   << "Event 1: 200 is released before it is pressed";
        QTest::newRow("delay beyond 65535") << "a+ a-"
                                            << "delay 1 65536"
                                            << "事件 2：延迟 65536 毫秒超出 0 到 65535 毫秒"
                                            << "Event 2: the delay of 65536 ms is beyond 0 to 65535 ms";
        QTest::newRow("101 events") << hundred + "z+"
                                    << ""
                                    << "事件 101：宏最多只能有 100 个事件"
                                    << "Event 101: a macro holds at most 100 events";
        QTest::newRow("100 events") << hundred << "" << "" << "";
        QTest::newRow("delays off ignore their values") << "a+ a-" << "delay 1 65536; off" << "" << "";
        QTest::newRow("empty") << ""
                               << ""
                               << "宏是空的，不能保存：要清除这个按键，请在功能键中选择“禁用”"
                               << "An empty macro cannot be saved: to clear the button, choose \"Disabled\"";
    }
    void shouldRefuseMacro()
    {
        QFETCH(QString, macro);
        QFETCH(QString, edits);
        QFETCH(QString, message);
        QFETCH(QString, english);
        const Macro parsed = parseMacro(macro);
        MacroEditDialog dialog;
        int saved = 0;
        connect(&dialog, &MacroEditDialog::saved, [&saved] { ++saved; });
        dialog.edit(parsed.events, parsed.recordDelay, 2);
        runEdits(*dialog.editor, edits);
        const std::optional<MacroFault> fault = dialog.editor->check();
        QCOMPARE(fault ? MacroEditDialog::faultText(*fault) : QString(), message);
        QCOMPARE(dialog.messageLabel->text(), message);
        QCOMPARE(dialog.saveButton->isEnabled(), message.isEmpty());
        QVERIFY(QMetaObject::invokeMethod(&dialog, "save"));
        QCOMPARE(saved, message.isEmpty() ? 1 : 0);

        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/i18n/tarno_en.qm")));
        QCoreApplication::installTranslator(&translator);
        const QString translated = fault ? MacroEditDialog::faultText(*fault) : QString();
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(translated, english);
    }

    // The editor window driven as a user does, by a script of actions and checks: "select 1,2", "key Ctrl+Down"
    // (to the focused control), "click save", "type 50" (the delay field), "press ad" (a key, by virtual-key
    // code, while a key is awaited; "down a0" only presses it), "other 1b" (from the list of other keys), "close",
    // "put close" (the focus); checks "shown", "hidden", "waiting", "idle", "readonly", "focus save", "disabled save".
    void shouldAnswerTheUser_data()
    {
        QTest::addColumn<QString>("macro");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("saves");
        const QString unsaved = QStringLiteral("宏有未保存的修改：保存、不保存，还是返回编辑？");
        const QString firstDelay = QStringLiteral("第一个事件的延迟总是 0：它之前没有要等的事件");
        QTest::newRow("closing with edits asks") << "a+ a- b+ b-"
                                                 << "select 0; click delete; close; shown; focus save"
                                                 << "b+ b-" << unsaved << 0;
        QTest::newRow("Esc asks, Esc again goes back")
            << "a+ a- b+ b-"
            << "select 2; key Delete; key Escape; shown; key Escape; shown; focus list"
            << "a+ a-"
            << "" << 0;
        QTest::newRow("the question saves") << "a+ a- b+ b-"
                                            << "select 0; click delete; close; click save; hidden"
                                            << "b+ b-"
                                            << "已发送到鼠标" << 1;
        QTest::newRow("the question discards") << "a+ a- b+ b-"
                                               << "select 0; click delete; close; click discard; hidden"
                                               << "b+ b-"
                                               << "" << 0;
        QTest::newRow("the question goes back")
            << "a+ a- b+ b-"
            << "select 0; click delete; close; click back; shown; focus list; click save; close; hidden"
            << "b+ b-"
            << "已发送到鼠标" << 1;
        QTest::newRow("the hint names Esc") << "a+ a-"
                                            << "click before; waiting"
                                            << "a+ a-"
                                            << "请按下要插入的按键，按 Esc 取消" << 0;
        QTest::newRow("Esc cancels the wait") << "a+ a-"
                                              << "click after; press 1b; idle; shown; focus list"
                                              << "a+ a-"
                                              << "" << 0;
        QTest::newRow("Tab ends the wait and moves on") << "a+ a-"
                                                        << "click after; press 9; idle; focus field"
                                                        << "a+ a-"
                                                        << "" << 0;
        QTest::newRow("Shift+Tab moves back") << "a+ a-"
                                              << "click after; down a0; press 9; idle; focus save"
                                              << "a+ a-"
                                              << "" << 0;
        QTest::newRow("Esc from the other keys") << "a+ a-"
                                                 << "select 1; other 1b; focus list"
                                                 << "a+ a- [41]+ [41]-"
                                                 << "" << 0;
        QTest::newRow("a key the mouse cannot send") << "a+ a-"
                                                     << "click after; press ad; idle"
                                                     << "a+ a-"
                                                     << "鼠标不能发送这个按键：宏里没有音量、媒体和浏览器按键" << 0;
        QTest::newRow("the first event is selected at the start")
            << "a+ a- b+ b-"
            << "key Delete"
            << "b+ b-"
            << "同时删除了配对的事件 2，按键不会只按下或只松开" << 0;
        QTest::newRow("a delete that takes the partner says so")
            << "a+ b+ a- b-"
            << "select 0; key Delete"
            << "b+ b-"
            << "同时删除了配对的事件 3，按键不会只按下或只松开" << 0;
        QTest::newRow("a move before the press says why") << "a+ a- b+ b-"
                                                          << "select 1; key Ctrl+Up"
                                                          << "a+ a- b+ b-"
                                                          << "不能移动：按键会在按下之前松开" << 0;
        QTest::newRow("a move past the start says why") << "a+ a- b+ b-"
                                                        << "select 0; key Ctrl+Up"
                                                        << "a+ a- b+ b-"
                                                        << "已在开头，不能再上移" << 0;
        QTest::newRow("the first delay is shown, not changed") << "a+ a-120"
                                                               << "select 0; readonly"
                                                               << "a+ a-120"
                                                               << "" << 0;
        QTest::newRow("applying a delay to the first says why") << "a+ a-120"
                                                                << "select 0,1; type 50; click selected"
                                                                << "a+ a-50" << firstDelay << 0;
        QTest::newRow("applying to all says why") << "a+ a-120 b+ b-"
                                                  << "type 40; click all"
                                                  << "a+ a-40 b+40 b-40" << firstDelay << 0;
        QTest::newRow("an empty macro is not saved")
            << "a+ a-"
            << "select 0,1; key Delete; disabled save"
            << ""
            << "宏是空的，不能保存：要清除这个按键，请在功能键中选择“禁用”" << 0;
        QTest::newRow("Close comes before Save") << "a+ a-"
                                                 << "put close; key Tab; focus save"
                                                 << "a+ a-"
                                                 << "" << 0;
    }
    void shouldAnswerTheUser()
    {
        QFETCH(QString, macro);
        QFETCH(QString, script);
        QFETCH(QString, after);
        QFETCH(QString, message);
        QFETCH(int, saves);
        QWidget window;
        window.resize(600, 500);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *dialog = new MacroEditDialog(&window);
        int saved = 0;
        connect(dialog, &MacroEditDialog::saved, [&saved] { ++saved; });
        const Macro parsed = parseMacro(macro);
        dialog->edit(parsed.events, parsed.recordDelay, 4);
        dialog->show();
        QTRY_VERIFY(dialog->eventList->hasFocus());
        QCOMPARE(dialog->titleLabel->text(), QStringLiteral("编辑宏：按键 4"));
        QCOMPARE(dialog->windowTitle(), dialog->titleLabel->text());

        const QMap<QString, QWidget *> controls {
            { "list", dialog->eventList },
            { "field", dialog->delayField },
            { "selected", dialog->setSelectedButton },
            { "all", dialog->setAllButton },
            { "before", dialog->insertBeforeButton },
            { "after", dialog->insertAfterButton },
            { "delete", dialog->deleteButton },
            { "back", dialog->backButton },
            { "discard", dialog->discardButton },
            { "close", dialog->closeButton },
            { "save", dialog->saveButton },
        };
        const auto control = [&](const QString &name) {
            QWidget *widget = controls.value(name);
            if (!widget)
                qFatal("no control %s", qPrintable(name));
            return widget;
        };
        for (const QString &step : script.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QStringList words = step.simplified().split(QLatin1Char(' '));
            const QString &verb = words.at(0);
            const QString argument = words.value(1);
            const QString where = QStringLiteral("at \"%1\"").arg(step.simplified());
            if (verb == "select") {
                dialog->eventList->clearSelection();
                for (int row : rowsOf(argument))
                    dialog->eventList->topLevelItem(row)->setSelected(true);
            } else if (verb == "key") {
                const QKeySequence sequence = QKeySequence::fromString(argument);
                const int combined = sequence[0];
                QTest::keyClick(QApplication::focusWidget(), Qt::Key(combined & ~Qt::KeyboardModifierMask),
                                Qt::KeyboardModifiers(combined & Qt::KeyboardModifierMask));
            } else if (verb == "click") {
                QVERIFY2(control(argument)->isVisible() && control(argument)->isEnabled(), qPrintable(where));
                static_cast<QPushButton *>(control(argument))->click();
            } else if (verb == "type") {
                dialog->delayField->setText(argument);
            } else if (verb == "press" || verb == "down") {
                key(dialog->capture, Down, quint8(argument.toUInt(nullptr, 16)));
                if (verb == "press")
                    key(dialog->capture, Up, quint8(argument.toUInt(nullptr, 16)));
            } else if (verb == "other") {
                const QString name = key_name(quint8(argument.toUInt(nullptr, 16)));
                QAction *chosen = nullptr;
                for (QAction *action : dialog->insertOtherButton->menu()->actions()) {
                    if (action->text() == name)
                        chosen = action;
                }
                QVERIFY2(chosen, qPrintable(where));
                chosen->trigger();
            } else if (verb == "close") {
                dialog->close();
            } else if (verb == "shown" || verb == "hidden") {
                QVERIFY2(dialog->isVisible() == (verb == "shown"), qPrintable(where));
            } else if (verb == "waiting" || verb == "idle") {
                QVERIFY2(dialog->choosingKey() == (verb == "waiting"), qPrintable(where));
                QVERIFY2(dialog->capture->isActive() == (verb == "waiting"), qPrintable(where));
            } else if (verb == "readonly") {
                QCOMPARE(dialog->delayField->text(), QStringLiteral("0"));
                QVERIFY2(dialog->delayField->isReadOnly(), qPrintable(where));
                QVERIFY2(!dialog->setSelectedButton->isEnabled(), qPrintable(where));
            } else if (verb == "put") {
                control(argument)->setFocus(Qt::TabFocusReason);
            } else if (verb == "focus") {
                QTRY_VERIFY2(control(argument)->hasFocus(), qPrintable(where));
            } else if (verb == "disabled") {
                QVERIFY2(!control(argument)->isEnabled(), qPrintable(where));
            } else {
                QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
            }
        }
        QCOMPARE(macroText(*dialog->editor), after);
        QCOMPARE(dialog->messageLabel->text(), message);
        QCOMPARE(saved, saves);
    }

    void shouldEditFromTheKeyboardAndSaveThroughTheDialog()
    {
        QWidget window;
        window.resize(1200, 750);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *dialog = new btn_Dialog(&window);
        dialog->show();
        dialog->pageGroup->button(btn_Dialog::MacroPage)->click();
        micro_Widget *recorder = dialog->recorder;
        recorder->events = parseMacro("a+ a-120 b+ b-30").events;
        recorder->record_delay = true;
        QSignalSpy saves(dialog, &btn_Dialog::save_micro_clicked);

        recorder->editButton->click();
        MacroEditDialog *editor = recorder->editDialog;
        QVERIFY(editor->isVisible());
        QTreeWidget *list = editor->eventList;
        QTRY_VERIFY(list->hasFocus());
        for (QWidget *control : editor->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (control->focusPolicy() != Qt::NoFocus)
                QVERIFY2(!control->accessibleName().isEmpty(), control->metaObject()->className());
        }

        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(macroText(*editor->editor), QStringLiteral("a+ b+ a-120 b-30"));
        QVERIFY(editor->undoButton->isEnabled());
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(macroText(*editor->editor), QStringLiteral("b+ b-30"));
        QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(macroText(*editor->editor), QStringLiteral("a+ a-120 b+ b-30"));
        QVERIFY(!editor->undoButton->isEnabled());
        QVERIFY(editor->redoButton->isEnabled());
        QTest::keyClick(list, Qt::Key_Y, Qt::ControlModifier);
        QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(macroText(*editor->editor), QStringLiteral("b+ b-30"));
        QCOMPARE(editor->selectedRows(), QVector<int> { 0 });
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(editor->delayField->hasFocus());
        QTest::keyClicks(editor->delayField, QStringLiteral("250"));
        QTest::keyClick(editor->delayField, Qt::Key_Return);
        QCOMPARE(macroText(*editor->editor), QStringLiteral("b+ b-250"));
        QVERIFY(list->hasFocus());
        QCOMPARE(list->topLevelItem(1)->text(MacroEditDialog::DelayColumn), QStringLiteral("250"));

        // The key of a new stroke is taken as recording takes it, and the keyboard given back with its release.
        editor->insertAfterButton->click();
        QVERIFY(editor->capture->isActive());
        QCOMPARE(editor->messageLabel->text(), QStringLiteral("请按下要插入的按键，按 Esc 取消"));
        key(editor->capture, Down, 0x43);
        key(editor->capture, Down, 0x44);
        key(editor->capture, Up, 0x44);
        key(editor->capture, Up, 0x43);
        QVERIFY(!editor->capture->isActive());
        QCOMPARE(macroText(*editor->editor), QStringLiteral("b+ b-250 c+ c-"));
        QCOMPARE(list->topLevelItem(2)->text(MacroEditDialog::KeyColumn), QStringLiteral("C"));

        editor->saveButton->click();
        QCOMPARE(saves.size(), 1);
        QCOMPARE(recorder->events, parseMacro("b+ b-250 c+ c-").events);
        QVERIFY(recorder->record_delay);
        QCOMPARE(recorder->list->count(), 7);
        QCOMPARE(editor->messageLabel->text(), QStringLiteral("已发送到鼠标"));

        // Waiting for a key ends with the focus elsewhere, and with the dialog.
        editor->insertBeforeButton->click();
        QVERIFY(editor->capture->isActive());
        editor->delayField->setFocus();
        QTRY_VERIFY(!editor->capture->isActive());
        editor->insertBeforeButton->click();
        key(editor->capture, Down, 0x43);
        dialog->hide();
        QVERIFY(!editor->isVisible());
        QVERIFY(!editor->capture->isActive());
        QCOMPARE(macroText(*editor->editor), QStringLiteral("b+ b-250 c+ c-"));
    }

    void shouldStopWhenDialogCloses()
    {
        QWidget window;
        window.resize(600, 400);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *dialog = new btn_Dialog(&window);
        dialog->show();
        dialog->pageGroup->button(btn_Dialog::MacroPage)->click();
        micro_Widget *recorder = dialog->recorder;
        recorder->start_record();
        QTRY_VERIFY(recorder->list->hasFocus());

        dialog->set_hide();
        QVERIFY(!recorder->recording());
        QVERIFY(!recorder->capture->isActive());
    }
};

QTEST_MAIN(KeyEditorsTest)
#include "tst_keyeditors.moc"
