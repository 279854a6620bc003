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

QByteArray bytes(std::initializer_list<int> head, int size = 31, char fill = Leftover)
{
    QByteArray result(size, fill);
    int i = 0;
    for (int value : head)
        result[i++] = char(value);
    return result;
}

// Bytes 3..10 of a DPI reply: five level values, current level, aim value, highest level.
void setDpiState(const QByteArray &state)
{
    std::memcpy(deviceSettings.dpi + 3, state.constData(), 8);
}

std::unique_ptr<pointer_Widget> shownPage(Mouse &mouse)
{
    auto page = std::make_unique<pointer_Widget>(mouse);
    page->resize(1200, 750);
    page->show();
    return page;
}

QPoint handleCentre(QSlider *slider)
{
    const int span = slider->width() - 10;
    return { QStyle::sliderPositionFromValue(1, 144, slider->value(), span) + 5, slider->height() / 2 };
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

// The number of leading rows whose three controls are all enabled; -1 when the rows are not 1..k enabled.
int enabledRows(DPILeft *editor)
{
    int count = 0;
    for (int i = 0; i < 5; ++i) {
        const bool enabled = editor->levelSlider[i]->isEnabled();
        if (enabled != editor->levelValueLabel[i]->isEnabled() || enabled != editor->levelNameLabel[i]->isEnabled()
            || (enabled && count != i))
            return -1;
        count += enabled ? 1 : 0;
    }
    return count;
}

} // namespace

class PointerPageTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeMouse> fake;

private slots:
    void init()
    {
        FakeDevice::install();
        fake = std::make_unique<FakeMouse>();
        deviceSettings = DeviceSettings();
        std::memset(deviceContext.commandBuffer, Leftover, sizeof deviceContext.commandBuffer);
    }

    void shouldSendOneReportRateCommandPerChange_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("olderRead");   // a factory reset's read, asked before the click, answers after it
        QTest::newRow("none to 125") << 0 << 8 << false;
        QTest::newRow("1000 to 250") << 1 << 4 << false;
        QTest::newRow("125 to 500") << 8 << 2 << false;
        QTest::newRow("250 to 1000") << 4 << 1 << false;
        QTest::newRow("1000 to 500, a reset's read answering after") << 1 << 2 << true;
    }
    void shouldSendOneReportRateCommandPerChange()
    {
        QFETCH(int, before);
        QFETCH(int, code);
        QFETCH(bool, olderRead);
        auto page = shownPage(fake->mouse);
        deviceSettings.reportRate[3] = quint8(before);
        page->showDeviceDpi(deviceSettings);
        QVERIFY(FakeDevice::calls.isEmpty());
        if (olderRead) {
            // The page is filled from what the read found, as the window does.
            connect(&fake->mouse, &Mouse::settingsRead, page.get(), [&page] { page->showDeviceDpi(deviceSettings); });
            FakeDevice::controlReply = bytes({ 0x4D, 0xC4, 0, before }, 32, 0);
            fake->mouse.factoryReset();
            FakeDevice::calls.clear();
        }

        QTest::mouseClick(page->reportRateGroup->button(code), Qt::LeftButton);

        QCOMPARE(FakeDevice::writes("WrtieControl"), { bytes({ 0xC3, code }) });
        deliverAnswers();
        QCOMPARE(page->reportRateGroup->checkedId(), code);
        if (olderRead)
            QCOMPARE(deviceSettings.reportRate[3], quint8(code));
    }

    void shouldSendDpiCommandOnlyAtSliderRelease_data()
    {
        QTest::addColumn<int>("row");   // 0 the aim slider, 1..5 the level rows
        QTest::addColumn<int>("highest");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("aim, three levels") << 0 << 2 << bytes({ 0xC1, 10, 20, 30, 40, 50, 4, 70, 2 });
        QTest::newRow("aim, no count chosen") << 0 << 5 << bytes({ 0xC1, 10, 20, 30, 40, 50, 4, 70, 0xFF });
        for (int n = 1; n <= 5; ++n) {
            QByteArray sent = bytes({ 0xC1, 10, 20, 30, 40, 50, n - 1, 60, 4 });
            sent[n] = char(n * 10 + 10);
            QTest::addRow("level %d", n) << n << 4 << sent;
        }
    }
    void shouldSendDpiCommandOnlyAtSliderRelease()
    {
        QFETCH(int, row);
        QFETCH(int, highest);
        QFETCH(QByteArray, sent);
        auto page = shownPage(fake->mouse);
        setDpiState(bytes({ 10, 20, 30, 40, 50, 4, 60, highest }, 8));
        page->showDeviceDpi(deviceSettings);
        QSlider *slider = row == 0 ? page->aimSlider : page->levelEditor->levelSlider[row - 1];
        QLabel *label = row == 0 ? page->aimValueLabel : page->levelEditor->levelValueLabel[row - 1];
        QSignalSpy released(page->levelEditor, &DPILeft::dpi_value_update);

        QTest::mousePress(slider, Qt::LeftButton, {}, handleCentre(slider));
        if (row > 0)
            QCOMPARE(highlightedLevels(page->levelEditor), { row - 1 });
        for (int step = 1; step <= 10; ++step) {
            slider->setSliderPosition(slider->value() + 1);
            QCOMPARE(label->text(), QString::number((slider->value() + 1) * 50));
        }
        QVERIFY(FakeDevice::calls.isEmpty());
        QTest::mouseRelease(slider, Qt::LeftButton, {}, handleCentre(slider));

        QCOMPARE(released.count(), row > 0 ? 1 : 0);
        QCOMPARE(FakeDevice::writes("WrtieControl"), { sent });
    }

    void shouldNotMoveDpiSlidersByKeys_data()
    {
        QTest::addColumn<int>("row");   // 0 the aim slider, 1..5 the level rows
        QTest::addColumn<int>("key");
        QTest::newRow("aim, End") << 0 << int(Qt::Key_End);
        QTest::newRow("aim, Home") << 0 << int(Qt::Key_Home);
        QTest::newRow("level 1, End") << 1 << int(Qt::Key_End);
        QTest::newRow("level 5, Home") << 5 << int(Qt::Key_Home);
        QTest::newRow("level 3, Page Up") << 3 << int(Qt::Key_PageUp);
    }
    void shouldNotMoveDpiSlidersByKeys()
    {
        QFETCH(int, row);
        QFETCH(int, key);
        auto page = shownPage(fake->mouse);
        QVERIFY(QTest::qWaitForWindowActive(page.get()));
        setDpiState(bytes({ 10, 20, 30, 40, 50, 4, 60, 4 }, 8));
        page->showDeviceDpi(deviceSettings);
        QSlider *slider = row == 0 ? page->aimSlider : page->levelEditor->levelSlider[row - 1];
        QLabel *label = row == 0 ? page->aimValueLabel : page->levelEditor->levelValueLabel[row - 1];
        const int value = slider->value();
        const QString text = label->text();
        QTest::mouseClick(slider, Qt::LeftButton, {}, handleCentre(slider));
        FakeDevice::calls.clear();

        // Typed as a user types: to whichever widget the click left the focus on.
        QTest::keyClick(page->windowHandle(), Qt::Key(key));

        QCOMPARE(slider->value(), value);
        QCOMPARE(label->text(), text);
        QVERIFY(FakeDevice::calls.isEmpty());
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
        auto page = shownPage(fake->mouse);
        setDpiState(bytes({ 11, 22, 33, 44, 55, 2, 66, 5 }, 8));
        page->showDeviceDpi(deviceSettings);
        // Only the current level is taken from the answer: its level values must not reach the sliders.
        FakeDevice::controlReply = bytes({ 0x4D, 0xC2, 0, 99, 99, 99, 99, 99, mouseLevel, 99, 4 }, 32, 0);
        FakeDevice::failReadsUntil = answers ? 0 : -1;

        QTest::mouseClick(page->levelEditor->levelCountGroup->button(chosen), Qt::LeftButton);
        deliverAnswers();

        const QList<QByteArray> writes = FakeDevice::writes("WrtieControl");
        QCOMPARE(writes.size(), answers ? 2 : 12);
        for (int i = 0; i < writes.size() - 1; ++i)
            QCOMPARE(writes.at(i), bytes({ 0xC2 }));
        QCOMPARE(writes.last(), bytes({ 0xC1, 11, 22, 33, 44, 55, sentLevel, 66, chosen }));
        QCOMPARE(highlightedLevels(page->levelEditor), { sentLevel });
        QCOMPARE(enabledRows(page->levelEditor), chosen + 1);
    }

    void shouldShowUnusualMouseStatesWithoutSending_data()
    {
        QTest::addColumn<QByteArray>("state");   // DPI reply bytes 3..10
        QTest::addColumn<int>("rate");           // report-rate reply byte 3
        QTest::addColumn<int>("checkedCount");
        QTest::addColumn<int>("checkedRate");    // an earlier refresh checked 4 (250) and no count
        QTest::addColumn<QList<int>>("highlighted");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QByteArray>("sent");    // bytes 1..8 of the next DPI command
        QTest::newRow("level count byte 5, rate 125") << bytes({ 10, 20, 30, 40, 50, 1, 60, 5 }, 8) << 8 << -1 << 8
            << QList<int> { 1 } << 5 << bytes({ 10, 20, 30, 40, 50, 1, 60, 0xFF }, 8);
        QTest::newRow("one level, rate 1000") << bytes({ 10, 20, 30, 40, 50, 0, 60, 0 }, 8) << 1 << 0 << 1
            << QList<int> { 0 } << 1 << bytes({ 10, 20, 30, 40, 50, 0, 60, 0 }, 8);
        QTest::newRow("current level above 4, rate 3") << bytes({ 10, 20, 30, 40, 50, 5, 60, 4 }, 8) << 3 << 4 << 4
            << QList<int> {} << 5 << bytes({ 10, 20, 30, 40, 50, 5, 60, 4 }, 8);
        QTest::newRow("value bytes 0, rate 16") << bytes({ 0, 0, 0, 0, 0, 0, 0, 0 }, 8) << 16 << 0 << 4
            << QList<int> { 0 } << 1 << bytes({ 1, 1, 1, 1, 1, 0, 1, 0 }, 8);
        QTest::newRow("values above 144, rate 0") << bytes({ 145, 200, 255, 144, 143, 3, 250, 3 }, 8) << 0 << 3 << 4
            << QList<int> { 3 } << 4 << bytes({ 144, 144, 144, 144, 143, 3, 144, 3 }, 8);
    }
    void shouldShowUnusualMouseStatesWithoutSending()
    {
        QFETCH(QByteArray, state);
        QFETCH(int, rate);
        QFETCH(int, checkedCount);
        QFETCH(int, checkedRate);
        QFETCH(QList<int>, highlighted);
        QFETCH(int, rows);
        QFETCH(QByteArray, sent);
        auto page = shownPage(fake->mouse);
        DPILeft *editor = page->levelEditor;
        deviceSettings.reportRate[3] = 4;
        deviceSettings.dpi[10] = 5;
        page->showDeviceDpi(deviceSettings);
        setDpiState(state);
        deviceSettings.reportRate[3] = quint8(rate);

        page->showDeviceDpi(deviceSettings);

        QVERIFY(FakeDevice::calls.isEmpty());
        QCOMPARE(editor->levelCountGroup->checkedId(), checkedCount);
        QCOMPARE(page->reportRateGroup->checkedId(), checkedRate);
        QCOMPARE(highlightedLevels(editor), highlighted);
        QCOMPARE(enabledRows(editor), rows);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(editor->levelValueLabel[i]->text(), QString::number((quint8(sent.at(i)) + 1) * 50));
        QCOMPARE(page->aimValueLabel->text(), QString::number((quint8(sent.at(6)) + 1) * 50));

        page->aimSlider->setSliderDown(true);
        page->aimSlider->setSliderDown(false);
        QCOMPARE(FakeDevice::writes("WrtieControl"), { bytes({ 0xC1 }).replace(1, 8, sent) });
    }

    void shouldPlaceValueLabelsUnderHandlesAtSliderEnds_data()
    {
        QTest::addColumn<int>("row");   // 0 the aim slider, 1..5 the level rows
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
        auto page = shownPage(fake->mouse);
        QSlider *slider = row == 0 ? page->aimSlider : page->levelEditor->levelSlider[row - 1];
        QLabel *label = row == 0 ? page->aimValueLabel : page->levelEditor->levelValueLabel[row - 1];

        slider->setValue(72);
        slider->setValue(value);

        QCOMPARE(label->text(), text);
        QCOMPARE(label->pos(), position);
        QVERIFY(FakeDevice::calls.isEmpty());
    }

    void shouldFadeAndSlidePanelsInWhenShown()
    {
        pointer_Widget page(fake->mouse);
        page.resize(1200, 750);
        auto *left = qobject_cast<QGraphicsOpacityEffect *>(page.levelEditor->graphicsEffect());
        QVERIFY(left);

        for (int round = 0; round < 2; ++round) {
            QCOMPARE(left->opacity(), 0.0);
            page.show();
            QTRY_VERIFY(page.levelEditor->x() < 0);
            QTRY_COMPARE(left->opacity(), 1.0);
            QCOMPARE(page.levelEditor->pos(), QPoint(0, 0));
            QCOMPARE(page.aimSlider->parentWidget()->pos(), QPoint(800, 0));
            page.hide();
        }
    }

    void shouldPollDpiStateOnlyOnPointerPage_data()
    {
        QTest::addColumn<int>("pageIndex");
        QTest::newRow("no-device page") << 0;
        QTest::newRow("buttons page") << 1;
        QTest::newRow("lighting page") << 2;
        QTest::newRow("pointer page") << 3;
    }
    void shouldPollDpiStateOnlyOnPointerPage()
    {
        QFETCH(int, pageIndex);
        TARNO_Gaming window(fake->mouse);
        auto *stack = window.findChild<QStackedWidget *>();
        auto *page = window.findChild<pointer_Widget *>();
        QVERIFY(stack && page);
        FakeDevice::controlReply = bytes({ 0x4D, 0xC2, 0, 10, 20, 30, 40, 50, 0, 60, 4 }, 32, 0);
        fake->mouse.open();
        deliverAnswers();
        QVERIFY(fake->mouse.connected());
        stack->setCurrentIndex(pageIndex);
        window.show();
        FakeDevice::controlReply = bytes({ 0x4D, 0xC2, 0, 10, 20, 30, 40, 50, 2, 60, 4 }, 32, 0);
        FakeDevice::calls.clear();

        window.update_dpi_level();
        deliverAnswers();

        if (pageIndex != 3) {
            QVERIFY(FakeDevice::calls.isEmpty());
            return;
        }
        // The poll builds its query afresh: nothing of the shared buffer goes with it.
        QCOMPARE(FakeDevice::writes("WrtieControl"), { bytes({ 0xC2 }, 31, 0) });
        QCOMPARE(highlightedLevels(page->levelEditor), { 2 });
    }
};

QTEST_MAIN(PointerPageTest)
#include "tst_pointerpage.moc"
