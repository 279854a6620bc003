#include "device/devicecontext.h"
#include "device/devicesettings.h"
#include "fakedevice.h"
#include "pointer/dpileft.h"
#include "pointer/pointer_widget.h"
#include "ui/mainwindow.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QSlider>
#include <QStackedWidget>
#include <QStyle>
#include <QtTest>

#include <cstring>
#include <memory>

namespace {

// Bytes that earlier commands left in the shared buffer; a command must send them unchanged.
constexpr char Leftover = char(0x5A);

QByteArray bytes(std::initializer_list<int> head, int size, char fill)
{
    QByteArray result(size, fill);
    int i = 0;
    for (int value : head)
        result[i++] = char(value);
    return result;
}

QByteArray sharedCommand(std::initializer_list<int> head)
{
    return bytes(head, 31, Leftover);
}

void setDpiState(std::initializer_list<int> levels, int current, int aim, int highest)
{
    QByteArray reply = bytes({ 0x4D, 0xC2, 0 }, 32, 0);
    int i = 3;
    for (int value : levels)
        reply[i++] = char(value);
    reply[8] = char(current);
    reply[9] = char(aim);
    reply[10] = char(highest);
    std::memcpy(deviceSettings.dpi, reply.constData(), 32);
}

std::unique_ptr<pointer_Widget> shownPage()
{
    auto page = std::make_unique<pointer_Widget>();
    page->resize(1200, 750);
    page->show();
    return page;
}

// Presses or releases the handle of a slider where the user would grab it.
QPoint handleCentre(QSlider *slider)
{
    const int span = slider->width() - 10;
    const int x = QStyle::sliderPositionFromValue(slider->minimum(), slider->maximum(), slider->value(), span);
    return QPoint(x + 5, slider->height() / 2);
}

bool showsAccent(QWidget *widget)
{
    const QImage image = widget->grab().toImage();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 200 && qAbs(c.red() - 0x2b) < 12 && qAbs(c.green() - 0xac) < 12
                && qAbs(c.blue() - 0x39) < 12)
                return true;
        }
    }
    return false;
}

QList<int> highlightedLevels(DPILeft *editor)
{
    QList<int> result;
    for (int i = 0; i < 5; ++i) {
        if (showsAccent(editor->levelNameLabel[i]))
            result << i;
    }
    return result;
}

// Rows whose slider, value label and name label are all enabled; -1 when a row is half enabled.
QList<int> enabledRows(DPILeft *editor)
{
    QList<int> result;
    for (int i = 0; i < 5; ++i) {
        const bool enabled = editor->levelSlider[i]->isEnabled();
        if (enabled != editor->levelValueLabel[i]->isEnabled() || enabled != editor->levelNameLabel[i]->isEnabled())
            return { -1 };
        if (enabled)
            result << i + 1;
    }
    return result;
}

QList<int> rowsUpTo(int count)
{
    QList<int> result;
    for (int n = 1; n <= count; ++n)
        result << n;
    return result;
}

} // namespace

class PointerPageTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        FakeDevice::install();
        deviceSettings = DeviceSettings();
        std::memset(deviceContext.commandBuffer, Leftover, sizeof deviceContext.commandBuffer);
    }

    void shouldSendOneReportRateCommandPerChange_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("code");
        QTest::newRow("none to 125") << 0 << 8;
        QTest::newRow("1000 to 250") << 1 << 4;
        QTest::newRow("125 to 500") << 8 << 2;
        QTest::newRow("250 to 1000") << 4 << 1;
    }
    void shouldSendOneReportRateCommandPerChange()
    {
        QFETCH(int, before);
        QFETCH(int, code);
        auto page = shownPage();
        deviceSettings.reportRate[3] = quint8(before);
        page->showDeviceDpi(deviceSettings);
        QVERIFY(FakeDevice::calls.isEmpty());

        QTest::mouseClick(page->reportRateGroup->button(code), Qt::LeftButton);

        QCOMPARE(page->reportRateGroup->checkedId(), code);
        QCOMPARE(FakeDevice::writes("WrtieControl"), { sharedCommand({ 0xC3, code }) });
    }

    void shouldSendAimValueOnlyAtRelease_data()
    {
        QTest::addColumn<int>("highest");
        QTest::addColumn<int>("countByte");
        QTest::newRow("three levels chosen") << 2 << 2;
        QTest::newRow("no level count ever chosen") << 5 << 0xFF;
    }
    void shouldSendAimValueOnlyAtRelease()
    {
        QFETCH(int, highest);
        QFETCH(int, countByte);
        auto page = shownPage();
        setDpiState({ 10, 20, 30, 40, 50 }, 1, 60, highest);
        page->showDeviceDpi(deviceSettings);

        QTest::mousePress(page->aimSlider, Qt::LeftButton, {}, handleCentre(page->aimSlider));
        for (int value = 61; value <= 70; ++value) {
            page->aimSlider->setSliderPosition(value);
            QCOMPARE(page->aimValueLabel->text(), QString::number((value + 1) * 50));
        }
        QVERIFY(FakeDevice::calls.isEmpty());
        QTest::mouseRelease(page->aimSlider, Qt::LeftButton, {}, handleCentre(page->aimSlider));

        QCOMPARE(FakeDevice::writes("WrtieControl"),
                 { sharedCommand({ 0xC1, 10, 20, 30, 40, 50, 1, 70, countByte }) });
    }

    void shouldMakeReleasedLevelCurrentAndSend_data()
    {
        QTest::addColumn<int>("n");
        for (int n = 1; n <= 5; ++n)
            QTest::addRow("level %d", n) << n;
    }
    void shouldMakeReleasedLevelCurrentAndSend()
    {
        QFETCH(int, n);
        auto page = shownPage();
        DPILeft *editor = page->levelEditor;
        setDpiState({ 11, 22, 33, 44, 55 }, n == 5 ? 0 : 4, 66, 4);
        page->showDeviceDpi(deviceSettings);
        QSignalSpy released(editor, &DPILeft::dpi_value_update);

        QSlider *slider = editor->levelSlider[n - 1];
        QTest::mousePress(slider, Qt::LeftButton, {}, handleCentre(slider));
        QCOMPARE(highlightedLevels(editor), { n - 1 });
        QCOMPARE(released.count(), 0);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, handleCentre(slider));

        QCOMPARE(released.count(), 1);
        QCOMPARE(int(deviceSettings.currentDpiLevel), n - 1);
        QCOMPARE(FakeDevice::writes("WrtieControl"),
                 { sharedCommand({ 0xC1, 11, 22, 33, 44, 55, n - 1, 66, 4 }) });
    }

    void shouldAskCurrentLevelBeforeChangingLevelCount_data()
    {
        QTest::addColumn<int>("mouseLevel");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<bool>("answers");
        QTest::addColumn<int>("sentLevel");
        QTest::newRow("2 levels while the mouse is on level 4") << 3 << 1 << true << 1;
        QTest::newRow("5 levels while the mouse is on level 2") << 1 << 4 << true << 1;
        QTest::newRow("1 level while the mouse is on level 1") << 0 << 0 << true << 0;
        QTest::newRow("mouse reports level index 7") << 7 << 2 << true << 2;
        QTest::newRow("mouse does not answer") << 3 << 3 << false << 2;
    }
    void shouldAskCurrentLevelBeforeChangingLevelCount()
    {
        QFETCH(int, mouseLevel);
        QFETCH(int, chosen);
        QFETCH(bool, answers);
        QFETCH(int, sentLevel);
        auto page = shownPage();
        DPILeft *editor = page->levelEditor;
        setDpiState({ 11, 22, 33, 44, 55 }, 2, 66, 5);
        page->showDeviceDpi(deviceSettings);
        // The answer's level values must not reach the sliders: only the current level is taken from it.
        FakeDevice::controlReply = bytes({ 0x4D, 0xC2, 0, 99, 99, 99, 99, 99, mouseLevel, 99, 4 }, 32, 0);
        FakeDevice::failReadsUntil = answers ? 0 : -1;

        QTest::mouseClick(editor->levelCountGroup->button(chosen), Qt::LeftButton);

        const QList<QByteArray> writes = FakeDevice::writes("WrtieControl");
        QCOMPARE(writes.size(), answers ? 2 : 12);
        for (int i = 0; i < writes.size() - 1; ++i)
            QCOMPARE(writes.at(i), sharedCommand({ 0xC2 }));
        QCOMPARE(writes.last(), sharedCommand({ 0xC1, 11, 22, 33, 44, 55, sentLevel, 66, chosen }));
        QCOMPARE(int(deviceSettings.currentDpiLevel), sentLevel);
        QCOMPARE(highlightedLevels(editor), { sentLevel });
        QCOMPARE(enabledRows(editor), rowsUpTo(chosen + 1));
    }

    void shouldShowUnusualDpiStatesWithoutSending_data()
    {
        QTest::addColumn<QByteArray>("state");   // bytes 3..10 of the DPI reply
        QTest::addColumn<int>("checkedCount");
        QTest::addColumn<QList<int>>("highlighted");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QByteArray>("sent");    // bytes 1..8 of the next DPI command
        QTest::newRow("level count byte 5")
            << bytes({ 10, 20, 30, 40, 50, 1, 60, 5 }, 8, 0) << -1 << QList<int> { 1 } << 5
            << bytes({ 10, 20, 30, 40, 50, 1, 60, 0xFF }, 8, 0);
        QTest::newRow("one level")
            << bytes({ 10, 20, 30, 40, 50, 0, 60, 0 }, 8, 0) << 0 << QList<int> { 0 } << 1
            << bytes({ 10, 20, 30, 40, 50, 0, 60, 0 }, 8, 0);
        QTest::newRow("current level above 4")
            << bytes({ 10, 20, 30, 40, 50, 5, 60, 4 }, 8, 0) << 4 << QList<int> {} << 5
            << bytes({ 10, 20, 30, 40, 50, 5, 60, 4 }, 8, 0);
        QTest::newRow("value bytes 0")
            << bytes({ 0, 0, 0, 0, 0, 0, 0, 0 }, 8, 0) << 0 << QList<int> { 0 } << 1
            << bytes({ 1, 1, 1, 1, 1, 0, 1, 0 }, 8, 0);
        QTest::newRow("value bytes above 144")
            << bytes({ 145, 200, 255, 144, 143, 3, 250, 3 }, 8, 0) << 3 << QList<int> { 3 } << 4
            << bytes({ 144, 144, 144, 144, 143, 3, 144, 3 }, 8, 0);
    }
    void shouldShowUnusualDpiStatesWithoutSending()
    {
        QFETCH(QByteArray, state);
        QFETCH(int, checkedCount);
        QFETCH(QList<int>, highlighted);
        QFETCH(int, rows);
        QFETCH(QByteArray, sent);
        auto page = shownPage();
        DPILeft *editor = page->levelEditor;
        std::memcpy(deviceSettings.dpi + 3, state.constData(), 8);

        page->showDeviceDpi(deviceSettings);

        QVERIFY(FakeDevice::calls.isEmpty());
        QCOMPARE(editor->levelCountGroup->checkedId(), checkedCount);
        QCOMPARE(highlightedLevels(editor), highlighted);
        QCOMPARE(enabledRows(editor), rowsUpTo(rows));
        for (int i = 0; i < 5; ++i) {
            const int value = quint8(sent.at(i));
            QCOMPARE(editor->levelValueLabel[i]->text(), QString::number((value + 1) * 50));
        }
        QCOMPARE(page->aimValueLabel->text(), QString::number((quint8(sent.at(6)) + 1) * 50));

        page->aimSlider->setSliderDown(true);
        page->aimSlider->setSliderDown(false);
        QCOMPARE(FakeDevice::writes("WrtieControl"), { sharedCommand({ 0xC1 }).replace(1, 8, sent) });
    }

    void shouldCheckReportRateButtonOnlyForKnownCodes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("checked");
        QTest::newRow("1000") << 1 << 1;
        QTest::newRow("500") << 2 << 2;
        QTest::newRow("250") << 4 << 4;
        QTest::newRow("125") << 8 << 8;
        QTest::newRow("code 3 keeps 250") << 3 << 4;
        QTest::newRow("code 16 keeps 250") << 16 << 4;
        QTest::newRow("code 0 keeps 250") << 0 << 4;
    }
    void shouldCheckReportRateButtonOnlyForKnownCodes()
    {
        QFETCH(int, code);
        QFETCH(int, checked);
        auto page = shownPage();
        deviceSettings.reportRate[3] = 4;
        page->showDeviceDpi(deviceSettings);
        deviceSettings.reportRate[3] = quint8(code);

        page->showDeviceDpi(deviceSettings);

        QCOMPARE(page->reportRateGroup->checkedId(), checked);
        QVERIFY(FakeDevice::calls.isEmpty());
    }

    void shouldPlaceValueLabelsUnderHandlesAtSliderEnds_data()
    {
        QTest::addColumn<int>("row");   // 1..5 level rows, 0 the aim slider
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QPoint>("position");
        for (int n = 1; n <= 5; ++n) {
            QTest::addRow("level %d at 1", n) << n << 1 << "100" << QPoint(83, 312 + 50 * (n - 1));
            QTest::addRow("level %d at 144", n) << n << 144 << "7250" << QPoint(291, 312 + 50 * (n - 1));
        }
        QTest::newRow("aim at 1") << 0 << 1 << "100" << QPoint(61, 400);
        QTest::newRow("aim at 144") << 0 << 144 << "7250" << QPoint(331, 400);
    }
    void shouldPlaceValueLabelsUnderHandlesAtSliderEnds()
    {
        QFETCH(int, row);
        QFETCH(int, value);
        QFETCH(QString, text);
        QFETCH(QPoint, position);
        auto page = shownPage();
        QSlider *slider = row == 0 ? page->aimSlider : page->levelEditor->levelSlider[row - 1];
        QLabel *label = row == 0 ? page->aimValueLabel : page->levelEditor->levelValueLabel[row - 1];

        slider->setValue(72);
        slider->setValue(value);

        QCOMPARE(label->text(), text);
        QCOMPARE(label->pos(), position);
        if (row > 0)
            QCOMPARE(highlightedLevels(page->levelEditor), { row - 1 });
        QVERIFY(FakeDevice::calls.isEmpty());
    }

    void shouldFadeAndSlidePanelsInWhenShown()
    {
        pointer_Widget page;
        page.resize(1200, 750);
        auto *left = qobject_cast<QGraphicsOpacityEffect *>(page.levelEditor->graphicsEffect());
        QVERIFY(left);
        QCOMPARE(left->opacity(), 0.0);

        for (int round = 0; round < 2; ++round) {
            page.show();
            QTRY_VERIFY(page.levelEditor->x() < 0);
            QTRY_COMPARE(left->opacity(), 1.0);
            QCOMPARE(page.levelEditor->pos(), QPoint(0, 0));
            QCOMPARE(page.aimSlider->parentWidget()->pos(), QPoint(800, 0));
            page.hide();
            QVERIFY(!page.isVisible());
            QCOMPARE(left->opacity(), 0.0);
        }
    }

    void shouldPollDpiStateOnlyOnPointerPage_data()
    {
        QTest::addColumn<int>("pageIndex");
        QTest::addColumn<int>("queries");
        QTest::newRow("no-device page") << 0 << 0;
        QTest::newRow("buttons page") << 1 << 0;
        QTest::newRow("lighting page") << 2 << 0;
        QTest::newRow("pointer page") << 3 << 1;
    }
    void shouldPollDpiStateOnlyOnPointerPage()
    {
        QFETCH(int, pageIndex);
        QFETCH(int, queries);
        TARNO_Gaming window;
        auto *stack = window.findChild<QStackedWidget *>();
        auto *page = window.findChild<pointer_Widget *>();
        QVERIFY(stack && page);
        stack->setCurrentIndex(pageIndex);
        window.show();
        FakeDevice::controlReply = bytes({ 0x4D, 0xC2, 0, 10, 20, 30, 40, 50, 2, 60, 4 }, 32, 0);
        FakeDevice::calls.clear();

        window.update_dpi_level();

        const QList<QByteArray> expected = QVector<QByteArray>(queries, bytes({ 0xC2 }, 31, 0)).toList();
        QCOMPARE(FakeDevice::writes("WrtieControl"), expected);
        if (queries > 0) {
            QCOMPARE(int(deviceSettings.currentDpiLevel), 2);
            QCOMPARE(highlightedLevels(page->levelEditor), { 2 });
        }
    }
};

QTEST_MAIN(PointerPageTest)
#include "tst_pointerpage.moc"
