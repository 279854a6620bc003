#include "device/devicecontext.h"
#include "device/devicesettings.h"
#include "fakedevice.h"
#include "lighting/colorbtn.h"
#include "lighting/colorpicker.h"
#include "lighting/leds_widget.h"
#include "lighting/lightingpreview.h"
#include "lighting/lightstripview.h"
#include "lighting/speedslider.h"
#include "lighting/usercolorsettings.h"

#include <QButtonGroup>
#include <QFile>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>

namespace {

QByteArray lightingCommand(int mode, int speed, const QColor &colour)
{
    QByteArray bytes(31, '\0');
    bytes[0] = char(0xA1);
    bytes[2] = char(mode);
    bytes[3] = char(speed);
    bytes[4] = char(0x08);
    bytes[6] = char(colour.red());
    bytes[7] = char(colour.green());
    bytes[8] = char(colour.blue());
    return bytes;
}

QList<QByteArray> sentCommands()
{
    return FakeDevice::writes(QStringLiteral("WrtieControl"));
}

DeviceSettings lightingState(int mode, int speed, const QColor &colour)
{
    DeviceSettings settings;
    settings.lighting[4] = quint8(mode);
    settings.lighting[5] = quint8(speed);
    settings.lighting[8] = quint8(colour.red());
    settings.lighting[9] = quint8(colour.green());
    settings.lighting[10] = quint8(colour.blue());
    return settings;
}

QColor swatchColour(leds_Widget &page, int id)
{
    return static_cast<ColorBtn *>(page.colorGroup->button(id))->btnColor();
}

QStringList editTexts(leds_Widget &page)
{
    return { page.redEdit->text(), page.greenEdit->text(), page.blueEdit->text(), page.hexEdit->text() };
}

// A point on the core of the light strip, in the mouse picture's coordinates: the bottom of its curve.
const QPoint stripPoint(390, 590);

bool isNear(const QColor &seen, const QColor &expected)
{
    return qAbs(seen.red() - expected.red()) <= 1 && qAbs(seen.green() - expected.green()) <= 1
        && qAbs(seen.blue() - expected.blue()) <= 1;
}

// The mask tinted in `colour`, as the strip has always been drawn.
QImage tintedStrip(const QImage &alpha, const QColor &colour)
{
    QImage tinted(alpha.size(), QImage::Format_ARGB32_Premultiplied);
    tinted.fill(colour);
    QPainter painter(&tinted);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.drawImage(0, 0, alpha);
    return tinted;
}

// Pixels of `area` that differ between two pictures.
int differingPixels(const QImage &seen, const QImage &expected, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += seen.pixel(x, y) != expected.pixel(x, y);
    }
    return count;
}

void typeInto(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

} // namespace

class LightingPageTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> colourDir;
    std::unique_ptr<FakeMouse> fake;
    std::unique_ptr<leds_Widget> page;
    std::unique_ptr<QLabel> picture;
    mutable int copies = 0;

    QString colourFile() const { return colourDir->filePath(QStringLiteral("user_color.ini")); }

    QByteArray colourFileBytes() const
    {
        QFile file(colourFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // What is on disk: QSettings objects on one file share their unsaved changes, so read a copy, each under a
    // new name (QSettings also caches files by name).
    QString savedCopy() const
    {
        const QString copy = colourDir->filePath(QStringLiteral("copy_%1.ini").arg(++copies));
        return QFile::copy(colourFile(), copy) ? copy : QString();
    }

    QColor storedColour(int slot) const
    {
        const QString copy = savedCopy();
        if (copy.isEmpty())
            return QColor();
        QSettings settings(copy, QSettings::IniFormat);
        const QString group = QStringLiteral("COLOR%1/").arg(slot);
        return QColor(settings.value(group + QStringLiteral("Red")).toInt(),
                      settings.value(group + QStringLiteral("Green")).toInt(),
                      settings.value(group + QStringLiteral("Blue")).toInt());
    }

    int storedKeyCount() const
    {
        const QString copy = savedCopy();
        return copy.isEmpty() ? -1 : QSettings(copy, QSettings::IniFormat).allKeys().size();
    }

    // A fresh page showing the given state, with the record of sent commands cleared.
    leds_Widget &showPage(const DeviceSettings &state)
    {
        page = std::make_unique<leds_Widget>(fake->mouse);
        page->show();
        page->showDeviceLighting(state);
        FakeDevice::calls.clear();
        return *page;
    }

    // The top view of the mouse as the main window shows it, with the page's preview on it.
    LightStripView &showPicture(leds_Widget &page)
    {
        picture = std::make_unique<QLabel>();
        picture->setPixmap(QPixmap(QStringLiteral(":/img/mouse_off")));
        picture->resize(665, 648);
        picture->show();
        page.showPreviewOn(picture.get());
        return *page.stripPreview();
    }

    QColor stripColour() const { return picture->grab().toImage().pixelColor(stripPoint); }

    // The picture as the strip drew it before frames were skipped: every frame drawn whole, the unlit strip under
    // the lit one at the light's strength.
    QImage drawnBefore(const QRect &area, const LightingPreview::Light &light) const
    {
        QImage expected(picture->size(), QImage::Format_ARGB32_Premultiplied);
        picture->render(&expected, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        const QImage alpha = QImage(QStringLiteral(":/img/mouse_strip"))
                                 .convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                 .copy(area);
        QPainter painter(&expected);
        painter.translate(area.topLeft());
        if (light.strength < 1)
            painter.drawImage(0, 0, tintedStrip(alpha, LightingPreview::unlit));
        if (light.strength > 0) {
            painter.setOpacity(light.strength);
            painter.drawImage(0, 0, tintedStrip(alpha, light.colour));
        }
        return expected.convertToFormat(QImage::Format_RGB32);
    }

    // What the window shows now: its backing store, where frames are drawn.
    QImage shownPicture() const
    {
        QCoreApplication::sendPostedEvents(picture.get(), QEvent::UpdateRequest);
        const QPixmap shown = QGuiApplication::primaryScreen()->grabWindow(picture->winId());
        return shown.toImage().convertToFormat(QImage::Format_RGB32);
    }

    void clickSwatch(leds_Widget &page, int id)
    {
        QTest::mouseClick(page.colorGroup->button(id), Qt::LeftButton, Qt::NoModifier, QPoint(9, 9));
    }

private slots:
    void init()
    {
        FakeDevice::install();
        fake = std::make_unique<FakeMouse>();
        std::memset(deviceContext.commandBuffer, 0, sizeof deviceContext.commandBuffer);
        colourDir = std::make_unique<QTemporaryDir>();
        QVERIFY(colourDir->isValid());
        setUserColorFile(colourFile());
    }

    void cleanup()
    {
        page.reset();
        picture.reset();
    }

    void shouldSendNewModeOnBothTogglesOfModeChange_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("speedEnabled");
        QTest::addColumn<bool>("colourEnabled");
        QTest::newRow("off") << 1 << 0 << false << false;
        QTest::newRow("steady") << 0 << 1 << false << true;
        QTest::newRow("breathing") << 1 << 2 << true << true;
        QTest::newRow("cycle") << 1 << 3 << true << false;
        QTest::newRow("shooting") << 3 << 4 << false << true;
        QTest::newRow("frenzy") << 2 << 6 << false << false;
    }
    void shouldSendNewModeOnBothTogglesOfModeChange()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, speedEnabled);
        QFETCH(bool, colourEnabled);
        leds_Widget &page = showPage(lightingState(from, 5, QColor(10, 20, 30)));

        QTest::mouseClick(page.modeGroup->button(to), Qt::LeftButton);

        const QByteArray expected = lightingCommand(to, 5, QColor(10, 20, 30));
        QCOMPARE(sentCommands(), (QList<QByteArray> { expected, expected }));
        QCOMPARE(page.speedSlider->isEnabled(), speedEnabled);
        QCOMPARE(page.speedLabel->isEnabled(), speedEnabled);
        for (QWidget *control : { static_cast<QWidget *>(page.colorPicker), static_cast<QWidget *>(page.restoreButton),
                                  static_cast<QWidget *>(page.redEdit), static_cast<QWidget *>(page.hexEdit),
                                  static_cast<QWidget *>(page.colorGroup->button(4)) })
            QCOMPARE(control->isEnabled(), colourEnabled);
    }

    void shouldLeaveLaterBufferBytesAsEarlierCommandsLeftThem()
    {
        leds_Widget &page = showPage(lightingState(2, 3, QColor(1, 2, 3)));
        for (int i = 9; i < 32; ++i)
            deviceContext.commandBuffer[i] = quint8(i);

        QTest::keyClick(page.speedSlider, Qt::Key_Right);

        QByteArray expected = lightingCommand(2, 4, QColor(1, 2, 3));
        for (int i = 9; i < 31; ++i)
            expected[i] = char(i);
        QCOMPARE(sentCommands(), QList<QByteArray> { expected });
    }

    void shouldSendOneCommandPerSpeedStep()
    {
        leds_Widget &page = showPage(lightingState(2, 1, QColor(9, 9, 9)));

        page.speedSlider->setSliderDown(true);
        for (int position : { 2, 3, 4, 5 })
            page.speedSlider->setSliderPosition(position);
        page.speedSlider->setSliderDown(false);

        QList<QByteArray> expected;
        for (int speed : { 2, 3, 4, 5 })
            expected << lightingCommand(2, speed, QColor(9, 9, 9));
        QCOMPARE(sentCommands(), expected);
        QCOMPARE(page.speedSlider->valueLabel()->text(), QStringLiteral("5"));
        QCOMPARE(page.speedSlider->valueLabel()->x(), 40 * 5 - 39);
    }

    void shouldSendPickedColour()
    {
        leds_Widget &page = showPage(lightingState(1, 4, QColor(0, 0, 0)));

        QTest::mouseClick(page.colorPicker, Qt::LeftButton, Qt::NoModifier, QPoint(96, 59));

        QCOMPARE(sentCommands(), QList<QByteArray> { lightingCommand(1, 4, QColor(128, 64, 64)) });
        QCOMPARE(editTexts(page), (QStringList { "128", "64", "64", "804040" }));
    }

    void shouldSendHueAtPressAndAtEndOfDrag()
    {
        leds_Widget &page = showPage(lightingState(4, 4, QColor(255, 0, 0)));
        QHueSlider *hue = page.colorPicker->slider();

        QTest::mousePress(hue, Qt::LeftButton, Qt::NoModifier, QPoint(66, 20));
        QCOMPARE(sentCommands(), QList<QByteArray> { lightingCommand(4, 4, QColor::fromHsvF(120 / 359.0, 1, 1)) });
        QTest::mouseRelease(hue, Qt::LeftButton, Qt::NoModifier, QPoint(66, 20));

        FakeDevice::calls.clear();
        hue->setSliderDown(true);
        hue->setSliderPosition(230);
        QVERIFY(sentCommands().isEmpty());
        hue->setSliderDown(false);
        const QColor dragged = QColor::fromHsvF(230 / 359.0, 1, 1);
        QCOMPARE(sentCommands(), QList<QByteArray> { lightingCommand(4, 4, dragged) });
        QCOMPARE(page.hexEdit->text(), dragged.name().mid(1).toUpper());
    }

    void shouldLoadSwatchColourOnClick()
    {
        leds_Widget &page = showPage(lightingState(2, 6, QColor(0, 0, 0)));

        clickSwatch(page, 3);
        QCOMPARE(sentCommands(), QList<QByteArray> { lightingCommand(2, 6, QColor(255, 255, 0)) });
        QCOMPARE(page.colorPicker->currentColor(), QColor(255, 255, 0));
        QCOMPARE(page.colorPicker->slider()->value(), 60);
        QCOMPARE(editTexts(page), (QStringList { "255", "255", "0", "FFFF00" }));

        FakeDevice::calls.clear();
        clickSwatch(page, 3);
        QVERIFY(sentCommands().isEmpty());
        QCOMPARE(page.colorGroup->checkedId(), 3);

        clickSwatch(page, 5);
        QCOMPARE(sentCommands(), QList<QByteArray> { lightingCommand(2, 6, QColor(0, 0, 255)) });
    }

    void shouldSendOneCommandPerKeystrokeInColourEdits()
    {
        leds_Widget &page = showPage(lightingState(1, 2, QColor(0, 7, 9)));

        typeInto(page.redEdit, QStringLiteral("128"));
        typeInto(page.blueEdit, QStringLiteral("40"));

        QCOMPARE(sentCommands(), (QList<QByteArray> {
                                     lightingCommand(1, 2, QColor(1, 7, 9)),
                                     lightingCommand(1, 2, QColor(12, 7, 9)),
                                     lightingCommand(1, 2, QColor(128, 7, 9)),
                                     lightingCommand(1, 2, QColor(128, 7, 4)),
                                     lightingCommand(1, 2, QColor(128, 7, 40)),
                                 }));
        QCOMPARE(editTexts(page), (QStringList { "128", "7", "40", "800728" }));
    }

    void shouldTreatComponentAbove255As255()
    {
        leds_Widget &page = showPage(lightingState(1, 2, QColor(10, 20, 30)));
        clickSwatch(page, 2);
        FakeDevice::calls.clear();

        typeInto(page.greenEdit, QStringLiteral("300"));

        QCOMPARE(sentCommands().last(), lightingCommand(1, 2, QColor(255, 255, 0)));
        QCOMPARE(editTexts(page), (QStringList { "255", "255", "0", "FFFF00" }));
        QCOMPARE(storedColour(2), QColor(255, 255, 0));
    }

    void shouldApplyHexTextOnEveryKeystroke_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QColor>("sent");
        QTest::newRow("six digits") << QStringLiteral("1a2b3c") << QColor(0x1A, 0x2B, 0x3C);
        QTest::newRow("short form") << QStringLiteral("abc") << QColor(0xAA, 0xBB, 0xCC);
        QTest::newRow("one digit") << QStringLiteral("f") << QColor(0, 0, 0);
        QTest::newRow("two digits") << QStringLiteral("ff") << QColor(0, 0, 0);
        QTest::newRow("four digits") << QStringLiteral("ffff") << QColor(0, 0, 0);
        QTest::newRow("five digits") << QStringLiteral("fffff") << QColor(0, 0, 0);
    }
    void shouldApplyHexTextOnEveryKeystroke()
    {
        QFETCH(QString, typed);
        QFETCH(QColor, sent);
        leds_Widget &page = showPage(lightingState(4, 8, QColor(5, 6, 7)));

        typeInto(page.hexEdit, typed);

        const QList<QByteArray> commands = sentCommands();
        QCOMPARE(commands.size(), typed.size());
        QCOMPARE(commands.last(), lightingCommand(4, 8, sent));
        QCOMPARE(page.hexEdit->text(), typed.toUpper());
        QCOMPARE(page.colorPicker->currentColor().rgb(), sent.rgb());
        QCOMPARE(page.redEdit->text(), QString::number(sent.red()));
        QCOMPARE(page.blueEdit->text(), QString::number(sent.blue()));
    }

    void shouldCopyPickerChangesIntoCheckedSwatchButNotHexEdits()
    {
        leds_Widget &page = showPage(lightingState(1, 4, QColor(0, 0, 0)));
        clickSwatch(page, 2);
        const QByteArray before = colourFileBytes();

        typeInto(page.hexEdit, QStringLiteral("123456"));
        QCOMPARE(colourFileBytes(), before);
        QCOMPARE(swatchColour(page, 2), QColor(255, 135, 0));

        QTest::mouseClick(page.colorPicker, Qt::LeftButton, Qt::NoModifier, QPoint(96, 59));
        const QColor picked = page.colorPicker->currentColor();
        QCOMPARE(swatchColour(page, 2), picked);
        QCOMPARE(storedColour(2), QColor(picked.red(), picked.green(), picked.blue()));
        QCOMPARE(storedColour(1), QColor(255, 0, 0));

        typeInto(page.redEdit, QStringLiteral("7"));
        QCOMPARE(storedColour(2), QColor(7, picked.green(), picked.blue()));
    }

    void shouldRestoreDefaultsAndUncheckSwatch()
    {
        leds_Widget &page = showPage(lightingState(1, 4, QColor(0, 0, 0)));
        clickSwatch(page, 4);
        typeInto(page.redEdit, QStringLiteral("9"));
        QCOMPARE(storedColour(4), QColor(9, 255, 0));
        const QColor pickerColour = page.colorPicker->currentColor();
        FakeDevice::calls.clear();

        QTest::mouseClick(page.restoreButton, Qt::LeftButton);

        QCOMPARE(page.colorGroup->checkedId(), -1);
        QCOMPARE(swatchColour(page, 4), QColor(0, 255, 0));
        QCOMPARE(storedColour(4), QColor(0, 255, 0));
        QCOMPARE(storedKeyCount(), 18);
        QCOMPARE(page.colorPicker->currentColor(), pickerColour);
        QVERIFY(sentCommands().isEmpty());

        // The group is exclusive again: a later click checks one swatch and sends.
        clickSwatch(page, 1);
        QCOMPARE(page.colorGroup->checkedId(), 1);
        QCOMPARE(sentCommands().size(), 1);
    }

    void shouldShowUnusualLightingStatesWithoutSending_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("checkedMode");
        QTest::addColumn<int>("shownSpeed");
        QTest::addColumn<bool>("speedEnabled");
        QTest::addColumn<bool>("colourEnabled");
        // Before each refresh the page shows breathing (both enabled) at speed 3.
        QTest::newRow("mode 5") << 5 << 6 << 6 << 6 << true << true;
        QTest::newRow("mode 7") << 7 << 6 << 6 << 6 << true << true;
        QTest::newRow("mode 255") << 255 << 6 << 6 << 6 << true << true;
        QTest::newRow("mode 6") << 6 << 6 << 6 << 6 << false << false;
        QTest::newRow("cycle") << 3 << 6 << 3 << 6 << true << false;
        QTest::newRow("off") << 0 << 6 << 0 << 6 << false << false;
        QTest::newRow("speed 0") << 2 << 0 << 2 << 3 << true << true;
        QTest::newRow("speed 9") << 2 << 9 << 2 << 3 << true << true;
        QTest::newRow("speed 1") << 2 << 1 << 2 << 1 << true << true;
        QTest::newRow("speed 8") << 2 << 8 << 2 << 8 << true << true;
    }
    void shouldShowUnusualLightingStatesWithoutSending()
    {
        QFETCH(int, mode);
        QFETCH(int, speed);
        QFETCH(int, checkedMode);
        QFETCH(int, shownSpeed);
        QFETCH(bool, speedEnabled);
        QFETCH(bool, colourEnabled);
        leds_Widget &page = showPage(lightingState(2, 3, QColor(1, 2, 3)));
        clickSwatch(page, 5);
        FakeDevice::calls.clear();

        page.showDeviceLighting(lightingState(mode, speed, QColor(0x12, 0xAB, 0xFE)));

        QVERIFY(sentCommands().isEmpty());
        QCOMPARE(page.modeGroup->checkedId(), checkedMode);
        QCOMPARE(page.speedSlider->value(), shownSpeed);
        QCOMPARE(page.speedSlider->valueLabel()->text(), QString::number(shownSpeed));
        QCOMPARE(page.speedSlider->valueLabel()->x(), 40 * shownSpeed - 39);
        QCOMPARE(page.speedSlider->isEnabled(), speedEnabled);
        QCOMPARE(page.colorPicker->isEnabled(), colourEnabled);
        QCOMPARE(page.colorPicker->currentColor(), QColor(0x12, 0xAB, 0xFE));
        QCOMPARE(editTexts(page), (QStringList { "18", "171", "254", "12ABFE" }));
        // A checked swatch stays checked and keeps its colour.
        QCOMPARE(page.colorGroup->checkedId(), 5);
        QCOMPARE(swatchColour(page, 5), QColor(0, 0, 255));
    }

    void shouldShowLightingOnPicturedStripWithoutSending_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("showsColour");   // the strip starts in the chosen colour
        QTest::addColumn<bool>("animates");
        QTest::addColumn<bool>("ownClock");   // left to run on its own timer instead of being given times
        QTest::newRow("off") << 0 << false << false << false;
        QTest::newRow("steady") << 1 << true << false << false;
        QTest::newRow("breathing") << 2 << true << true << false;
        QTest::newRow("cycle") << 3 << false << true << false;
        QTest::newRow("shooting") << 4 << true << true << false;
        QTest::newRow("frenzy") << 6 << false << true << false;
        QTest::newRow("running frenzy sends nothing") << 6 << false << true << true;
    }
    void shouldShowLightingOnPicturedStripWithoutSending()
    {
        QFETCH(int, mode);
        QFETCH(bool, showsColour);
        QFETCH(bool, animates);
        QFETCH(bool, ownClock);
        const QColor chosen(40, 90, 230);
        leds_Widget &page = showPage(lightingState(mode == 1 ? 0 : 1, 8, chosen));
        LightStripView &strip = showPicture(page);
        QCOMPARE(stripColour(), mode == 1 ? LightingPreview::unlit : chosen);

        QTest::mouseClick(page.modeGroup->button(mode), Qt::LeftButton);
        FakeDevice::calls.clear();
        QCOMPARE(strip.isAnimating(), animates);

        strip.showElapsed(0);
        const QColor start = stripColour();
        if (showsColour)
            QVERIFY2(isNear(start, chosen), qPrintable(start.name()));
        if (mode == 0)
            QCOMPARE(start, LightingPreview::unlit);
        if (ownClock) {
            QTRY_VERIFY(stripColour() != start);
        } else {
            // A quarter of a second is half a breath at speed 8, half a turn of the wheel, a shot's fading and
            // the third frenzy flash.
            strip.showElapsed(250);
            QCOMPARE(stripColour() != start, animates);
        }
        QVERIFY(sentCommands().isEmpty());

        // Stopped while the page is hidden or the window minimised.
        page.hide();
        QVERIFY(!strip.isAnimating());
        page.show();
        QCOMPARE(strip.isAnimating(), animates);
        picture->showMinimized();
        QVERIFY(!strip.isAnimating());
        picture->showNormal();
        QCOMPARE(strip.isAnimating(), animates);
    }

    void shouldDrawStripAsBeforeAtSameBrightness_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<int>>("times");   // ms after the effect's start, shown in turn
        // Strengths 1, then 0.99996 and 0.9968, both in opacity step 255: the third frame is not drawn.
        QTest::newRow("breathing by its peak") << 2 << QList<int> { 0, 1, 9 };
        QTest::newRow("breathing") << 2 << QList<int> { 60, 100, 200, 250, 300 };
        QTest::newRow("cycle") << 3 << QList<int> { 0, 130, 131, 400 };
        QTest::newRow("shooting") << 4 << QList<int> { 30, 59, 100, 160, 259, 400, 600 };
        QTest::newRow("frenzy") << 6 << QList<int> { 0, 100, 190, 200 };
    }
    void shouldDrawStripAsBeforeAtSameBrightness()
    {
        QFETCH(int, mode);
        QFETCH(QList<int>, times);
        const QColor chosen(40, 90, 230);
        leds_Widget &page = showPage(lightingState(mode, 8, chosen));
        LightStripView &strip = showPicture(page);
        QVERIFY(QTest::qWaitForWindowExposed(picture.get()));
        LightingPreview before;
        before.setLighting(mode, 8, chosen);

        for (const int ms : times) {
            strip.showElapsed(ms);
            before.setElapsed(ms);
            QCOMPARE(differingPixels(shownPicture(), drawnBefore(strip.area(), before.light()), strip.area()), 0);
        }
        // The caption, drawn over the strip before, is masked off where they meet: it had nothing to draw there.
        auto *caption = picture->findChild<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(caption);
        const QRegion masked = QRegion(caption->rect()).subtracted(caption->mask());
        QVERIFY(!masked.isEmpty());
        caption->clearMask();
        const QImage text = caption->grab().toImage();
        for (const QRect &rect : masked) {
            for (int y = rect.top(); y <= rect.bottom(); ++y) {
                for (int x = rect.left(); x <= rect.right(); ++x)
                    QCOMPARE(qAlpha(text.pixel(x, y)), 0);
            }
        }
    }

    void shouldSlidePanelsInWhenShown()
    {
        leds_Widget page(fake->mouse);
        page.resize(1200, 750);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QWidget *left = page.modeGroup->button(1)->parentWidget();
        QWidget *right = page.colorPicker->parentWidget();
        QTRY_COMPARE_WITH_TIMEOUT(left->pos(), QPoint(0, 0), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(right->pos(), QPoint(800, 0), 5000);
        auto opacityOf = [](QWidget *panel) {
            return static_cast<QGraphicsOpacityEffect *>(panel->graphicsEffect())->opacity();
        };
        QTRY_COMPARE_WITH_TIMEOUT(opacityOf(left), 1.0, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(opacityOf(right), 1.0, 5000);

        page.hide();
        QCOMPARE(opacityOf(left), 0.0);
        QCOMPARE(opacityOf(right), 0.0);
    }
};

QTEST_MAIN(LightingPageTest)
#include "tst_lightingpage.moc"
