#include "lighting/colorbtn.h"
#include "lighting/colorpicker.h"
#include "lighting/hsvimage.h"

#include <QtTest>

namespace {

int channelDistance(QRgb a, QRgb b)
{
    return qMax(qAbs(qRed(a) - qRed(b)), qMax(qAbs(qGreen(a) - qGreen(b)), qAbs(qBlue(a) - qBlue(b))));
}

// The widget's own painting on a transparent background.
QImage paintedOnly(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

int lightness(QRgb pixel)
{
    return qRed(pixel) + qGreen(pixel) + qBlue(pixel);
}

} // namespace

class ColorWidgetsTest : public QObject
{
    Q_OBJECT

private slots:
    void shouldMatchQColorConversion_data()
    {
        QTest::addColumn<double>("hue");
        for (double hue : { 0.0, 0.1, 1 / 6.0, 0.25, 120 / 359.0, 0.5, 0.66, 0.8, 0.99, 1.0 })
            QTest::newRow(qPrintable(QString::number(hue))) << hue;
    }
    void shouldMatchQColorConversion()
    {
        QFETCH(double, hue);
        const QImage image = saturationValueImage(hue, QSize(180, 106));
        QCOMPARE(image.size(), QSize(180, 106));
        int worst = 0;
        for (int j = 0; j < 106; ++j) {
            for (int i = 0; i < 180; ++i) {
                const QRgb reference = QColor::fromHsvF(hue, i / 180.0, 1 - j / 106.0).rgb();
                worst = qMax(worst, channelDistance(image.pixel(i, j), reference));
            }
        }
        QVERIFY2(worst <= 1, qPrintable(QString::number(worst)));
    }

    void shouldPaintHueBandAsQColorWould()
    {
        const QImage band = hueBandImage(QSize(180, 20));
        for (int i = 0; i < 180; ++i) {
            const QRgb reference = QColor::fromHsvF(i / 180.0, 1, 1).rgb();
            QVERIFY(channelDistance(band.pixel(i, 0), reference) <= 1);
            QCOMPARE(band.pixel(i, 19), band.pixel(i, 0));
        }
    }

    void shouldPlaceMarkerAndHueOnSetColor_data()
    {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<int>("sliderValue");
        QTest::addColumn<QPoint>("marker");
        QTest::newRow("white") << QColor(Qt::white) << 0 << QPoint(6, 6);
        QTest::newRow("black") << QColor(Qt::black) << 0 << QPoint(6, 112);
        QTest::newRow("grey") << QColor(128, 128, 128) << 0 << QPoint(6, 58);
        QTest::newRow("red") << QColor(255, 0, 0) << 0 << QPoint(186, 6);
        QTest::newRow("dark blue") << QColor(0, 0, 128) << 240 << QPoint(186, 58);
        QTest::newRow("pale green") << QColor(128, 255, 128) << 120 << QPoint(95, 6);
    }
    void shouldPlaceMarkerAndHueOnSetColor()
    {
        QFETCH(QColor, colour);
        QFETCH(int, sliderValue);
        QFETCH(QPoint, marker);
        color_picker_Square square;
        square.slider()->setValue(77);
        QSignalSpy selected(&square, &color_picker_Square::color_selected);

        square.setColor(colour);

        QCOMPARE(square.slider()->value(), sliderValue);
        QCOMPARE(square.currentHue(), sliderValue / 359.0);
        QCOMPARE(square.marker(), marker);
        QCOMPARE(square.currentColor(), colour);
        QCOMPARE(selected.count(), 0);
    }

    void shouldPickColourUnderClick_data()
    {
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("top left") << QPoint(6, 6) << true << QColor(255, 255, 255);
        QTest::newRow("top right") << QPoint(186, 6) << true << QColor(255, 0, 0);
        QTest::newRow("bottom right") << QPoint(186, 112) << true << QColor(0, 0, 0);
        QTest::newRow("middle") << QPoint(96, 59) << true << QColor(128, 64, 64);
        QTest::newRow("right of field") << QPoint(187, 50) << false << QColor(0, 255, 0);
        QTest::newRow("above field") << QPoint(50, 5) << false << QColor(0, 255, 0);
        QTest::newRow("left of field") << QPoint(5, 50) << false << QColor(0, 255, 0);
        QTest::newRow("below field") << QPoint(50, 113) << false << QColor(0, 255, 0);
    }
    void shouldPickColourUnderClick()
    {
        QFETCH(QPoint, position);
        QFETCH(bool, taken);
        QFETCH(QColor, expected);
        color_picker_Square square;
        square.resize(196, 300);
        QSignalSpy selected(&square, &color_picker_Square::color_selected);

        QTest::mouseClick(&square, Qt::RightButton, Qt::NoModifier, position);

        QCOMPARE(selected.count(), taken ? 1 : 0);
        QCOMPARE(square.currentColor().rgb(), expected.rgb());
        if (taken)
            QCOMPARE(square.marker(), position);
        else
            QCOMPARE(square.marker(), QPoint(186, 6));
    }

    void shouldSetHueFromPressPosition_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("value");
        QTest::newRow("far left") << 0 << 0;
        QTest::newRow("x 5") << 5 << 0;
        QTest::newRow("band start") << 6 << 0;
        QTest::newRow("x 7") << 7 << 2;
        QTest::newRow("x 66") << 66 << 120;
        QTest::newRow("x 185") << 185 << 358;
        QTest::newRow("x 186") << 186 << 359;
        QTest::newRow("x 191") << 191 << 359;
    }
    void shouldSetHueFromPressPosition()
    {
        QFETCH(int, x);
        QFETCH(int, value);
        color_picker_Square square;
        square.resize(196, 300);
        square.setColor(QColor(0, 0, 128));
        QSignalSpy selected(&square, &color_picker_Square::color_selected);

        QTest::mousePress(square.slider(), Qt::LeftButton, Qt::NoModifier, QPoint(x, 20));

        QCOMPARE(square.slider()->value(), value);
        QCOMPARE(selected.count(), 1);
        // The colour takes the new hue at the marker's saturation and value.
        QCOMPARE(square.currentColor(), QColor::fromHsvF(value / 359.0, 1.0, 1 - 52 / 106.0));
        QTest::mouseRelease(square.slider(), Qt::LeftButton, Qt::NoModifier, QPoint(x, 20));
    }

    void shouldNotMoveHueByKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("End") << int(Qt::Key_End);
        QTest::newRow("Home") << int(Qt::Key_Home);
        QTest::newRow("Right") << int(Qt::Key_Right);
    }
    void shouldNotMoveHueByKeys()
    {
        QFETCH(int, key);
        color_picker_Square square;
        square.resize(196, 300);
        square.show();
        QVERIFY(QTest::qWaitForWindowActive(&square));
        QTest::mouseClick(square.slider(), Qt::LeftButton, Qt::NoModifier, QPoint(66, 20));
        const QColor colour = square.currentColor();

        // Typed as a user types: to whichever widget the click left the focus on.
        QTest::keyClick(square.windowHandle(), Qt::Key(key));

        QCOMPARE(square.slider()->value(), 120);
        QCOMPARE(square.currentHue(), 120 / 359.0);
        QCOMPARE(square.currentColor(), colour);
    }

    void shouldTakeColourOnlyAtEndOfHueDrag()
    {
        color_picker_Square square;
        square.setColor(QColor(255, 0, 0));
        QSignalSpy selected(&square, &color_picker_Square::color_selected);

        square.slider()->setSliderDown(true);
        square.slider()->setSliderPosition(90);
        square.slider()->setSliderPosition(200);
        QCOMPARE(square.currentHue(), 200 / 359.0);
        QCOMPARE(selected.count(), 0);
        QCOMPARE(square.currentColor(), QColor(255, 0, 0));

        square.slider()->setSliderDown(false);
        QCOMPARE(selected.count(), 1);
        QCOMPARE(square.currentColor(), QColor::fromHsvF(200 / 359.0, 1, 1));
    }

    void shouldTreatLastHueAsFullTurn()
    {
        color_picker_Square square;
        square.setColor(QColor(255, 0, 0));
        square.setHue(359);
        QCOMPARE(square.currentHue(), 1.0);
        square.qsliderRelease();
        QCOMPARE(square.currentColor().rgb(), QColor(255, 0, 0).rgb());
    }

    void shouldDrawMarkerWhiteUpToHalfValue_data()
    {
        QTest::addColumn<int>("y");
        QTest::addColumn<bool>("white");
        QTest::newRow("value above half") << 58 << false;
        QTest::newRow("value exactly half") << 59 << true;
        QTest::newRow("value below half") << 60 << true;
    }
    void shouldDrawMarkerWhiteUpToHalfValue()
    {
        QFETCH(int, y);
        QFETCH(bool, white);
        color_picker_Square square;
        square.resize(196, 300);
        QTest::mouseClick(&square, Qt::LeftButton, Qt::NoModifier, QPoint(96, y));

        const QImage painted = square.grab().toImage();
        const QImage field = saturationValueImage(0, QSize(180, 106));
        // The marker's left side crosses (90, y); compare with the gradient beneath it.
        const QRgb under = field.pixel(90 - 6, y - 6);
        const QRgb seen = painted.pixel(90, y);
        if (white)
            QVERIFY(lightness(seen) > lightness(under) + 60);
        else
            QVERIFY(lightness(seen) < lightness(under) - 60);
    }

    void shouldBuildSquareImageOnlyForNewHue()
    {
        color_picker_Square square;
        square.resize(196, 300);
        square.grab();
        QCOMPARE(square.imageBuilds(), 1);

        QTest::mouseClick(&square, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
        square.setColor(QColor(255, 0, 0));
        square.grab();
        QCOMPARE(square.imageBuilds(), 1);

        square.setHue(100);
        square.grab();
        square.grab();
        QCOMPARE(square.imageBuilds(), 2);

        square.setEnabled(false);
        square.setHue(200);
        square.grab();
        QCOMPARE(square.imageBuilds(), 2);
    }

    void shouldToggleSwatchOnlyOnLeftReleaseInside()
    {
        ColorBtn swatch;
        swatch.resize(18, 18);
        swatch.setBtnColor(QColor(255, 0, 0));
        QSignalSpy toggled(&swatch, &QAbstractButton::toggled);
        const QImage before = swatch.grab().toImage();

        QTest::mousePress(&swatch, Qt::RightButton, Qt::NoModifier, QPoint(9, 9));
        QCOMPARE(swatch.hover(), int(ColorBtn::Normal));
        QCOMPARE(swatch.grab().toImage(), before);
        QTest::mouseRelease(&swatch, Qt::RightButton, Qt::NoModifier, QPoint(9, 9));
        QCOMPARE(toggled.count(), 0);

        QTest::mousePress(&swatch, Qt::LeftButton, Qt::NoModifier, QPoint(9, 9));
        QCOMPARE(swatch.hover(), int(ColorBtn::Pressed));
        QVERIFY(swatch.grab().toImage() != before);
        QTest::mouseRelease(&swatch, Qt::LeftButton, Qt::NoModifier, QPoint(25, 9));
        QCOMPARE(toggled.count(), 0);
        QVERIFY(!swatch.isChecked());
        QVERIFY(!swatch.isDown());

        QTest::mousePress(&swatch, Qt::LeftButton, Qt::NoModifier, QPoint(9, 9));
        QTest::mouseRelease(&swatch, Qt::LeftButton, Qt::NoModifier, QPoint(17, 17));
        QCOMPARE(toggled.count(), 1);
        QVERIFY(swatch.isChecked());
        QCOMPARE(swatch.hover(), int(ColorBtn::Hovered));
    }

    void shouldPaintSwatchInItsColourOnlyWhenEnabled()
    {
        ColorBtn swatch;
        swatch.resize(18, 18);
        swatch.setBtnColor(QColor(0, 0, 255));
        QCOMPARE(paintedOnly(swatch).pixelColor(9, 9), QColor(0, 0, 255));
        QCOMPARE(paintedOnly(swatch).pixelColor(0, 0).alpha(), 0);

        swatch.setEnabled(false);
        const QColor centre = paintedOnly(swatch).pixelColor(9, 9);
        QCOMPARE(centre.red(), 255);
        QCOMPARE(centre.blue(), 255);
        QVERIFY(qAbs(centre.alpha() - 36) <= 1);
    }
};

QTEST_MAIN(ColorWidgetsTest)
#include "tst_colorwidgets.moc"
