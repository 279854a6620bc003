#include "buttons/btn_dialog.h"
#include "buttons/buttons_widget.h"
#include "buttons/func_list.h"
#include "buttons/macroeditdialog.h"
#include "buttons/macroeditor.h"
#include "buttons/micro_widget.h"
#include "buttons/mkey_edit.h"
#include "device/devicecontext.h"
#include "fakedevice.h"
#include "platform/keyboardcapture.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QtTest>

#include <cstring>
#include <memory>

namespace {

// Bytes the shared command buffer holds before a test: whatever a message does not set must stay.
QByteArray commandPattern()
{
    QByteArray bytes(32, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(0x60 + i);
    return bytes;
}

QByteArray withHead(QByteArray bytes, std::initializer_list<int> head)
{
    int i = 0;
    for (int value : head)
        bytes[i++] = char(value);
    return bytes;
}

QByteArray assignmentReply(int funcType, int funcId, int param = 0, int key = 0)
{
    return withHead(QByteArray(32, '\0'), { 0x4D, 0xB0, 0, 0, funcType, funcId, param, key });
}

micro_Event storedEvent(int index)
{
    return micro_Event { quint8(0x04 + index % 26), quint8(index % 2), quint16(10 * index + 1) };
}

QVector<micro_Event> storedEvents(int count)
{
    QVector<micro_Event> events;
    for (int i = 0; i < count; ++i)
        events << storedEvent(i);
    return events;
}

// A mouse memory for macro reads: event i of every button is storedEvent(i).
bool macroReadsFail = false;
int scriptedReadConfigData(int length, unsigned char *buffer)
{
    if (macroReadsFail) {
        // A failed read may leave anything in the buffer.
        std::memset(buffer, 0xAB, size_t(length));
        FakeDevice::calls.append({ QStringLiteral("ReadConfigData"), {} });
        return 0;
    }
    const QByteArray command = FakeDevice::writes(QStringLiteral("WrtieConfig")).last();
    const int count = quint8(command[2]);
    const int first = quint8(command[3]);
    std::memset(buffer, 0, size_t(length));
    buffer[0] = 0x57;
    buffer[1] = 0xF0;
    for (int j = 0; j < count; ++j) {
        const micro_Event event = storedEvent(first + j);
        unsigned char *at = buffer + 6 + 4 * j;
        at[0] = event.usage;
        at[1] = event.up;
        at[2] = quint8(event.delay_ms);
        at[3] = quint8(event.delay_ms >> 8);
    }
    FakeDevice::calls.append({ QStringLiteral("ReadConfigData"), QByteArray(reinterpret_cast<char *>(buffer), length) });
    return 1;
}

// The dialog's title at the moment of each control write.
btn_Dialog *watchedDialog = nullptr;
QStringList titlesAtWrite;
WrtieControlFn recordingWrite = nullptr;
int titleWatchingWrite(int length, const unsigned char *data)
{
    titlesAtWrite << watchedDialog->titleLabel->text();
    return recordingWrite(length, data);
}

QList<QByteArray> assignmentWrites()
{
    QList<QByteArray> writes;
    for (const QByteArray &bytes : FakeDevice::writes(QStringLiteral("WrtieControl"))) {
        if (quint8(bytes[0]) == 0xB1)
            writes << bytes;
    }
    return writes;
}

// The widget that has the focus while the dialog holds the keyboard.
enum Focus { StartButton, RecordingList, KeyEditor };

int checkedId(QButtonGroup *group)
{
    return group->checkedId();
}

} // namespace

class ButtonsPageTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeMouse> fake;

    // Selects a mouse button whose assignment is `reply`, as the user's click does; the call record starts empty.
    void open(buttons_Widget &page, int btn_id, const QByteArray &reply)
    {
        FakeDevice::controlReply = reply;
        page.buttonGroup->button(btn_id)->click();
        deliverAnswers();
        QVERIFY(page.dialog->isVisible());
        FakeDevice::calls.clear();
    }

private slots:
    void init()
    {
        FakeDevice::install();
        fake = std::make_unique<FakeMouse>();
        deviceContext.ReadConfigData = scriptedReadConfigData;
        macroReadsFail = false;
        const QByteArray pattern = commandPattern();
        std::memcpy(deviceContext.commandBuffer, pattern.constData(), 32);
    }

    void shouldReadAssignmentOfSelectedButton()
    {
        buttons_Widget page(fake->mouse);
        FakeDevice::controlReply = assignmentReply(0, 1);
        page.buttonGroup->button(5)->click();

        // The toggle and the click both read.
        const QByteArray read = withHead(commandPattern(), { 0xB0, 5 }).left(31);
        QCOMPARE(FakeDevice::names(), QStringList({ "WrtieControl", "ReadData", "WrtieControl", "ReadData" }));
        QCOMPARE(FakeDevice::writes("WrtieControl"), QList<QByteArray>({ read, read }));
        QVERIFY(page.dialog->isVisible());
    }

    void shouldShowAssignment_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("combination");
        QTest::addColumn<QString>("title");
        QTest::newRow("disabled") << assignmentReply(0, 0) << 0 << 0 << -1 << "禁用";
        QTest::newRow("middle click") << assignmentReply(0, 3) << 0 << 3 << -1 << "单击中键";
        QTest::newRow("scroll right") << assignmentReply(0, 10) << 0 << 10 << -1 << "向右滚动";
        QTest::newRow("function beyond the list") << assignmentReply(0, 11) << 0 << -1 << -1 << "单击左键";
        QTest::newRow("preset combination") << assignmentReply(1, 5) << 1 << -1 << 5 << "剪切(Ctrl+X)";
        QTest::newRow("last preset") << assignmentReply(1, 9) << 1 << -1 << 9 << "复制(Ctrl+C)";
        QTest::newRow("combination beyond the list") << assignmentReply(1, 10) << 1 << -1 << -1 << "单击左键";
        QTest::newRow("custom combination") << assignmentReply(1, 0, 0x05, 0x4C) << 1 << -1 << 0
                                            << "自定义组合键:CTRL+ALT+DELETE";
        QTest::newRow("custom right-hand F13") << assignmentReply(1, 0, 0x50, 0x68) << 1 << -1 << 0
                                               << "自定义组合键:RIGHT CTRL+RIGHT ALT+F13";
        QTest::newRow("custom non-US hash") << assignmentReply(1, 0, 0x00, 0x32) << 1 << -1 << 0
                                            << "自定义组合键:\\";
        QTest::newRow("macro") << assignmentReply(2, 0, 0) << 2 << -1 << -1 << "多键宏";
        QTest::newRow("unknown type") << assignmentReply(3, 1) << 0 << -1 << -1 << "单击左键";
    }
    void shouldShowAssignment()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, page);
        QFETCH(int, function);
        QFETCH(int, combination);
        QFETCH(QString, title);
        buttons_Widget buttons(fake->mouse);
        btn_Dialog *dialog = buttons.dialog;
        FakeDevice::controlReply = reply;
        buttons.buttonGroup->button(2)->click();
        deliverAnswers();

        QCOMPARE(dialog->currentPage(), page);
        QCOMPARE(dialog->funcArea->isVisibleTo(dialog), page == 0);
        QCOMPARE(dialog->comboArea->isVisibleTo(dialog), page == 1);
        QCOMPARE(dialog->recorder->isVisibleTo(dialog), page == 2);
        QCOMPARE(checkedId(dialog->funcList->group), function);
        QCOMPARE(checkedId(dialog->comboList->group), combination);
        QCOMPARE(dialog->titleLabel->text(), title);
        if (combination == 0)
            QCOMPARE(dialog->comboList->entries.at(0)->text(), title);
        QVERIFY(assignmentWrites().isEmpty());
        QVERIFY(dialog->isVisible());
    }

    void shouldLeaveDialogAsItWasForUnknownType()
    {
        buttons_Widget page(fake->mouse);
        open(page, 2, assignmentReply(1, 5));
        page.dialog->set_hide();
        open(page, 3, assignmentReply(3, 0));
        QCOMPARE(page.dialog->currentPage(), 1);
        QCOMPARE(checkedId(page.dialog->comboList->group), 5);
        QCOMPARE(page.dialog->titleLabel->text(), QStringLiteral("剪切(Ctrl+X)"));
    }

    void shouldClearDialogWhenMouseNeverAnswers()
    {
        buttons_Widget page(fake->mouse);
        open(page, 2, assignmentReply(0, 3));
        page.dialog->set_hide();
        FakeDevice::failReadsUntil = -1;
        page.buttonGroup->button(4)->click();
        deliverAnswers();

        QCOMPARE(FakeDevice::writes("WrtieControl").size(), 2 * 11);
        QCOMPARE(checkedId(page.dialog->funcList->group), -1);
        QCOMPARE(checkedId(page.dialog->comboList->group), -1);
        QVERIFY(page.dialog->titleLabel->text().isEmpty());
        QVERIFY(page.dialog->isVisible());
        QVERIFY(assignmentWrites().isEmpty());
    }

    // Every way the dialog closes or a read fails while it holds the keyboard or another button's assignment.
    void shouldReleaseKeyboardAndWriteNoStaleMacro_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("focus");
        QTest::newRow("fade-out, start button focused") << "fade-out" << int(StartButton);
        QTest::newRow("fade-out, list focused") << "fade-out" << int(RecordingList);
        QTest::newRow("fade-out, editor focused") << "fade-out" << int(KeyEditor);
        QTest::newRow("click outside") << "close" << int(StartButton);
        QTest::newRow("hidden at once") << "hidden at once" << int(StartButton);
        QTest::newRow("function page") << "function page" << int(StartButton);
        QTest::newRow("combination page") << "combination page" << int(StartButton);
        QTest::newRow("another page of the window") << "page hidden" << int(StartButton);
        QTest::newRow("window hidden to the tray") << "window hidden" << int(StartButton);
        QTest::newRow("failed read while recording") << "failed read" << int(StartButton);
        QTest::newRow("failed read, editor focused") << "failed read" << int(KeyEditor);
        QTest::newRow("another button's function read") << "function read" << int(StartButton);
    }
    void shouldReleaseKeyboardAndWriteNoStaleMacro()
    {
        QFETCH(QString, way);
        QFETCH(int, focus);
        QWidget window;
        window.resize(1200, 750);
        auto *page = new buttons_Widget(fake->mouse, &window);
        page->setGeometry(0, 0, 1200, 750);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        btn_Dialog *dialog = page->dialog;
        micro_Widget *recorder = dialog->recorder;
        mkey_Edit *editor = dialog->comboList->editor;
        open(*page, 5, assignmentReply(1, 0, 0x01, 0x06));
        open(*page, 2, assignmentReply(2, 1, 3));

        QVector<micro_Event> kept = storedEvents(3);
        bool delays = true;
        if (focus == KeyEditor) {
            dialog->pageGroup->button(btn_Dialog::CombinationPage)->click();
            editor->lineEdit->setFocus();
            QTRY_VERIFY(editor->capture->isActive());
        } else {
            recorder->startButton->click();
            QTRY_VERIFY(recorder->list->hasFocus());
            emit recorder->capture->keyMessage(KeyMessage::KeyDown, 0x41);
            emit recorder->capture->keyMessage(KeyMessage::KeyUp, 0x41);
            kept = { { 0x04, 0, 0 }, { 0x04, 1, 0 } };
            delays = false;
            // A press on the start button released beside it leaves the focus there.
            if (focus == StartButton)
                recorder->startButton->setFocus();
            QVERIFY(recorder->recording());
        }

        int button = 2;
        if (way == "fade-out")
            dialog->hide();
        else if (way == "close")
            dialog->close();
        else if (way == "hidden at once")
            dialog->set_hide();
        else if (way == "function page")
            dialog->pageGroup->button(btn_Dialog::FunctionPage)->click();
        else if (way == "combination page")
            dialog->pageGroup->button(btn_Dialog::CombinationPage)->click();
        else if (way == "page hidden")
            page->hide();
        else if (way == "window hidden")
            window.hide();
        else if (way == "failed read") {
            FakeDevice::failReadsUntil = -1;
            button = 3;
            page->buttonGroup->button(button)->click();
            deliverAnswers();
            kept.clear();
            delays = false;
            QCOMPARE(dialog->currentPage(), int(btn_Dialog::FunctionPage));
            QVERIFY(dialog->funcArea->isVisible());
            QVERIFY(dialog->titleLabel->text().isEmpty());
            QVERIFY(editor->mkey_text.isEmpty());
            QVERIFY(editor->lineEdit->text().isEmpty());
            QCOMPARE(dialog->comboList->entries.at(0)->text(), QStringLiteral("自定义组合键:"));
            QVERIFY(!recorder->record_delay);
            QCOMPARE(recorder->list->count(), 0);
        } else if (way == "function read") {
            // Button 3 goes back: its macro page and its editor start empty, named for button 3.
            button = 3;
            open(*page, button, assignmentReply(0, 4));
            kept.clear();
            delays = false;
            QCOMPARE(page->buttonGroup->button(button)->accessibleName(), QStringLiteral("按键 3：后退"));
            QCOMPARE(page->buttonGroup->button(2)->accessibleName(), QStringLiteral("按键 2：多键宏"));
            dialog->pageGroup->button(btn_Dialog::MacroPage)->click();
            recorder->editButton->click();
            QCOMPARE(recorder->editDialog->titleLabel->text(), QStringLiteral("编辑宏：按键 3"));
            QVERIFY(recorder->editDialog->editor->steps().isEmpty());
            recorder->editDialog->close();
            QVERIFY(!recorder->editDialog->isVisible());
        }

        QVERIFY(!recorder->recording());
        QVERIFY(!recorder->capture->isActive());
        QVERIFY(!editor->capture->isActive());
        // Keys a hook left installed would still deliver.
        for (KeyboardCapture *capture : { recorder->capture, editor->capture }) {
            emit capture->keyMessage(KeyMessage::KeyDown, 0x42);
            emit capture->keyMessage(KeyMessage::KeyUp, 0x42);
        }
        QCOMPARE(recorder->events, kept);

        dialog->pageGroup->button(btn_Dialog::MacroPage)->click();
        FakeDevice::calls.clear();
        recorder->saveButton->click();
        if (kept.isEmpty()) {
            // Nothing to save; a button is cleared with "禁用".
            QVERIFY(!recorder->saveButton->isEnabled());
            QVERIFY(recorder->saveButton->toolTip().contains(QStringLiteral("禁用")));
            QVERIFY(FakeDevice::calls.isEmpty());
            return;
        }
        const QList<QByteArray> writes = assignmentWrites();
        QCOMPARE(writes.size(), 1);
        QCOMPARE(writes.at(0).left(5), withHead(QByteArray(5, '\0'), { 0xB1, button, 2, delays, kept.size() }));
        QVector<micro_Event> written;
        for (const QByteArray &chunk : FakeDevice::writes("WrtieConfig")) {
            for (int j = 0; j < quint8(chunk[2]); ++j) {
                const QByteArray bytes = chunk.mid(4 + 4 * j, 4);
                written << micro_Event { quint8(bytes[0]), quint8(bytes[1]),
                                         quint16(quint8(bytes[2]) | quint8(bytes[3]) << 8) };
            }
        }
        QCOMPARE(written, kept);
    }

    void shouldReadMacroInChunks_data()
    {
        QTest::addColumn<int>("countByte");
        QTest::addColumn<int>("delays");
        QTest::addColumn<QList<int>>("chunks");   // size and first event of each read, in pairs
        QTest::newRow("empty") << 0 << 0 << QList<int> {};
        QTest::newRow("14 events, one chunk") << 14 << 0 << QList<int> { 14, 0 };
        QTest::newRow("15 events") << 15 << 1 << QList<int> { 14, 0, 1, 14 };
        QTest::newRow("100 events") << 100 << 1
            << QList<int> { 14, 0, 14, 14, 14, 28, 14, 42, 14, 56, 14, 70, 14, 84, 2, 98 };
        QTest::newRow("count byte 128") << 128 << 1 << QList<int> {};
        QTest::newRow("count byte 255") << 255 << 0 << QList<int> {};
    }
    void shouldReadMacroInChunks()
    {
        QFETCH(int, countByte);
        QFETCH(int, delays);
        QFETCH(QList<int>, chunks);
        buttons_Widget page(fake->mouse);
        micro_Widget *recorder = page.dialog->recorder;
        recorder->events = storedEvents(3);
        FakeDevice::controlReply = assignmentReply(2, delays, countByte);
        page.buttonGroup->button(8)->toggle();
        deliverAnswers();

        QList<QByteArray> expectedReads;
        for (int i = 0; i < chunks.size(); i += 2)
            expectedReads << withHead(QByteArray(63, '\0'), { 0xF0, 8, chunks.at(i), chunks.at(i + 1) });
        QCOMPARE(FakeDevice::writes("WrtieConfig"), expectedReads);

        const int count = countByte < 128 ? countByte : 0;
        QCOMPARE(recorder->events, storedEvents(count));
        QCOMPARE(recorder->record_delay, delays != 0);
        QVERIFY(!recorder->delayOption->isChecked());
        const int rows = count + (delays && count > 0 ? count - 1 : 0);
        QCOMPARE(recorder->list->count(), rows);
        if (delays && count > 1)
            QCOMPARE(recorder->list->item(1)->text(), QStringLiteral("11 毫秒延迟"));
    }

    void shouldShowEmptyMacroWhenChunkReadFails()
    {
        buttons_Widget page(fake->mouse);
        micro_Widget *recorder = page.dialog->recorder;
        recorder->events = storedEvents(4);
        macroReadsFail = true;
        FakeDevice::controlReply = assignmentReply(2, 1, 40);
        page.buttonGroup->button(9)->toggle();
        deliverAnswers();

        QVERIFY(recorder->events.isEmpty());
        QCOMPARE(recorder->list->count(), 0);
        // One chunk with its ten retries; the remaining chunks are not tried.
        QCOMPARE(FakeDevice::writes("WrtieConfig").size(), 11);
    }

    void shouldWriteChosenEntry_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("title");
        QTest::newRow("disabled") << 0 << 0 << "禁用";
        QTest::newRow("right click") << 0 << 2 << "单击右键";
        QTest::newRow("DPI up") << 0 << 6 << "提高DPI";
        QTest::newRow("scroll right") << 0 << 10 << "向右滚动";
        QTest::newRow("close window") << 1 << 1 << "关闭窗口(ALT+F4)";
        QTest::newRow("show desktop") << 1 << 2 << "显示桌面(WIN+D)";
        QTest::newRow("copy") << 1 << 9 << "复制(Ctrl+C)";
    }
    void shouldWriteChosenEntry()
    {
        QFETCH(int, page);
        QFETCH(int, entry);
        QFETCH(QString, title);
        buttons_Widget buttons(fake->mouse);
        btn_Dialog *dialog = buttons.dialog;
        open(buttons, 7, assignmentReply(0, 1));
        dialog->pageGroup->button(page)->click();
        QVERIFY(FakeDevice::calls.isEmpty());

        QButtonGroup *list = page == 0 ? dialog->funcList->group : dialog->comboList->group;
        list->button(entry)->click();
        const QByteArray expected = withHead(commandPattern(), { 0xB1, 7, page, entry }).left(31);
        QCOMPARE(FakeDevice::names(), QStringList({ "WrtieControl" }));
        QCOMPARE(FakeDevice::writes("WrtieControl").first(), expected);
        QCOMPARE(dialog->titleLabel->text(), title);
        // Only one list has a selection.
        QCOMPARE(checkedId(page == 0 ? dialog->comboList->group : dialog->funcList->group), -1);

        // Choosing the selected entry again writes nothing.
        list->button(entry)->click();
        QCOMPARE(FakeDevice::calls.size(), 1);
    }

    void shouldWriteBeforeChangingTitle()
    {
        buttons_Widget page(fake->mouse);
        open(page, 2, assignmentReply(0, 1));
        watchedDialog = page.dialog;
        titlesAtWrite.clear();
        recordingWrite = deviceContext.WrtieControl;
        deviceContext.WrtieControl = titleWatchingWrite;

        page.dialog->funcList->group->button(2)->click();
        QCOMPARE(titlesAtWrite, QStringList({ "单击左键" }));
        QCOMPARE(page.dialog->titleLabel->text(), QStringLiteral("单击右键"));
    }

    void shouldWriteCustomCombinationOnSave()
    {
        buttons_Widget page(fake->mouse);
        btn_Dialog *dialog = page.dialog;
        open(page, 3, assignmentReply(0, 4));
        dialog->pageGroup->button(1)->click();
        mkey_Edit *editor = dialog->comboList->editor;
        emit editor->capture->keyMessage(0x0100, 0xA3);
        emit editor->capture->keyMessage(0x0104, 0xA4);
        emit editor->capture->keyMessage(0x0100, 0x2E);
        QVERIFY(FakeDevice::calls.isEmpty());

        editor->saveButton->click();
        const QByteArray expected = withHead(commandPattern(), { 0xB1, 3, 1, 0, 0x14, 0x4C }).left(31);
        QCOMPARE(FakeDevice::writes("WrtieControl"), QList<QByteArray>({ expected }));
        QCOMPARE(checkedId(dialog->comboList->group), 0);
        QCOMPARE(checkedId(dialog->funcList->group), -1);
        QCOMPARE(dialog->comboList->entries.at(0)->text(), QStringLiteral("自定义组合键:ALT+RIGHT CTRL+DELETE"));
        QCOMPARE(dialog->titleLabel->text(), QStringLiteral("自定义组合键:ALT+RIGHT CTRL+DELETE"));

        // Saving again resends although the custom entry is already selected.
        editor->saveButton->click();
        QCOMPARE(FakeDevice::writes("WrtieControl"), QList<QByteArray>({ expected, expected }));
    }

    void shouldLabelClearedCombinationAsEmpty()
    {
        buttons_Widget page(fake->mouse);
        btn_Dialog *dialog = page.dialog;
        open(page, 5, assignmentReply(1, 0, 0x01, 0x06));
        dialog->comboList->editor->clearButton->click();
        dialog->comboList->group->button(3)->click();
        FakeDevice::calls.clear();

        dialog->comboList->group->button(0)->click();
        const QByteArray expected = withHead(commandPattern(), { 0xB1, 5, 1, 0, 0, 0 }).left(31);
        QCOMPARE(FakeDevice::writes("WrtieControl"), QList<QByteArray>({ expected }));
        QCOMPARE(dialog->comboList->entries.at(0)->text(), QStringLiteral("自定义组合键:"));
        QCOMPARE(dialog->titleLabel->text(), QStringLiteral("自定义组合键:"));
    }

    void shouldWriteMacro_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("delays");
        QTest::newRow("empty: nothing sent") << 0 << false;
        QTest::newRow("one chunk") << 14 << true;
        QTest::newRow("two chunks") << 15 << false;
        QTest::newRow("hundred") << 100 << true;
    }
    void shouldWriteMacro()
    {
        QFETCH(int, count);
        QFETCH(bool, delays);
        buttons_Widget page(fake->mouse);
        btn_Dialog *dialog = page.dialog;
        open(page, 4, assignmentReply(0, 2));
        dialog->pageGroup->button(2)->click();
        dialog->recorder->events = storedEvents(count);
        dialog->recorder->record_delay = delays;
        dialog->recorder->show_records_list(delays);
        dialog->recorder->saveButton->click();
        if (count == 0) {
            QVERIFY(FakeDevice::calls.isEmpty());
            return;
        }

        const QByteArray assignment =
            withHead(commandPattern(), { 0xB1, 4, 2, delays ? 1 : 0, count }).left(31);
        QCOMPARE(FakeDevice::writes("WrtieControl"), QList<QByteArray>({ assignment }));
        const int chunks = (count + 13) / 14;
        QStringList expectedCalls { "WrtieControl", "OpenConfigDevice" };
        for (int k = 0; k < chunks; ++k)
            expectedCalls << "WrtieConfig";
        expectedCalls << "CloseConfigDevice";
        QCOMPARE(FakeDevice::names(), expectedCalls);

        const QList<QByteArray> sent = FakeDevice::writes("WrtieConfig");
        QByteArray latest(63, '\0');   // one buffer, zeroed once, reused by every chunk
        for (int k = 0; k < chunks; ++k) {
            const int n = qMin(14, count - 14 * k);
            latest = withHead(latest, { 0xF1, 4, n, 14 * k });
            for (int j = 0; j < n; ++j) {
                const micro_Event e = storedEvent(14 * k + j);
                latest = latest.left(4 + 4 * j)
                    + withHead(QByteArray(4, '\0'), { e.usage, e.up, e.delay_ms & 0xFF, e.delay_ms >> 8 })
                    + latest.mid(8 + 4 * j);
            }
            QCOMPARE(sent.at(k), latest);
        }
        QCOMPARE(dialog->titleLabel->text(), QStringLiteral("多键宏"));
        QCOMPARE(checkedId(dialog->funcList->group), -1);
    }

    void shouldPlaceDialogBesideButton_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("position");
        QTest::newRow("2") << 2 << QPoint(416, 196);
        QTest::newRow("3 from 4") << 3 << QPoint(464, 242);
        QTest::newRow("4 from 3") << 4 << QPoint(470, 290);
        QTest::newRow("5") << 5 << QPoint(416, 264);
        QTest::newRow("6") << 6 << QPoint(416, 294);
        QTest::newRow("7") << 7 << QPoint(816, 264);
        QTest::newRow("8") << 8 << QPoint(390, 202);
        QTest::newRow("9") << 9 << QPoint(442, 202);
    }
    void shouldPlaceDialogBesideButton()
    {
        QFETCH(int, button);
        QFETCH(QPoint, position);
        QWidget window;
        window.resize(1200, 750);
        window.move(100, 50);
        auto *page = new buttons_Widget(fake->mouse, &window);
        page->setGeometry(0, 0, 1200, 750);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint origin = window.mapToGlobal(QPoint(0, 0));

        FakeDevice::controlReply = assignmentReply(0, 1);
        page->buttonGroup->button(button)->click();
        QCOMPARE(page->dialog->pos(), origin + position);
    }

    void shouldDrawRuleAbovePageButtons_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<bool>("onRule");
        QTest::newRow("left of it") << 19 << false;
        QTest::newRow("first pixel") << 20 << true;
        QTest::newRow("middle") << 167 << true;
        QTest::newRow("last pixel") << 314 << true;
        QTest::newRow("right of it") << 315 << false;
    }
    void shouldDrawRuleAbovePageButtons()
    {
        QFETCH(int, x);
        QFETCH(bool, onRule);
        btn_Dialog dialog;
        const QImage image = dialog.grab().toImage();

        // The rule runs from (20, 274) to (314, 274), darker than the body above it.
        QCOMPARE(image.pixel(x, 274) != image.pixel(x, 273), onRule);
    }

    void shouldReopenWhenSelectedButtonIsClickedAgain()
    {
        buttons_Widget page(fake->mouse);
        open(page, 4, assignmentReply(0, 5));
        page.dialog->set_hide();
        page.buttonGroup->button(4)->click();
        QCOMPARE(FakeDevice::writes("WrtieControl").size(), 1);
        QVERIFY(page.dialog->isVisible());
    }

    void shouldFadeOutDialogAndDropSelection()
    {
        buttons_Widget page(fake->mouse);
        open(page, 6, assignmentReply(0, 5));
        page.hideButtonDialog();
        QVERIFY(page.dialog->isVisible());
        QCOMPARE(page.dialog->fadeOut->state(), QAbstractAnimation::Running);
        QTRY_VERIFY(!page.dialog->isVisible());
        QCOMPARE(page.buttonGroup->checkedId(), -1);
    }

    void shouldShowAgainWhileFadingOut()
    {
        buttons_Widget page(fake->mouse);
        open(page, 6, assignmentReply(0, 5));
        page.dialog->hide();
        page.dialog->show();
        QCOMPARE(page.dialog->fadeOut->state(), QAbstractAnimation::Stopped);
        QTRY_COMPARE(page.dialog->fadeIn->state(), QAbstractAnimation::Stopped);
        QVERIFY(page.dialog->isVisible());
    }
};

QTEST_MAIN(ButtonsPageTest)
#include "tst_buttonspage.moc"
