#include "buttons/assignmentcodec.h"
#include "buttons/btn_dialog.h"
#include "buttons/func_list.h"
#include "buttons/micro_widget.h"
#include "buttons/mkey_edit.h"
#include "platform/keyboardcapture.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
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
