// The real program on a 192 dpi screen (scale factor 2, and 1.5 with QT_SCALE_FACTOR=0.75 on top): the whole
// layout maps scaled, and clicks, the pop-up's place and the drag land where they do at 100 %.
#include "programsession.h"

#include <QRegularExpression>
#include <QtTest>

namespace {

bool isAccentGreen(QColor c)
{
    return c.green() > 130 && c.red() < 100 && c.blue() < 110 && c.green() - c.red() > 60;
}

// Position and size of one of the program's visible windows, in device pixels.
QRect windowGeometry(const QString &id)
{
    const QString text = ProgramSession::xdotool({ "getwindowgeometry", id });
    const QRegularExpressionMatch at = QRegularExpression("Position: (\\d+),(\\d+)").match(text);
    const QRegularExpressionMatch size = QRegularExpression("Geometry: (\\d+)x(\\d+)").match(text);
    if (!at.hasMatch() || !size.hasMatch())
        return QRect();
    return QRect(at.captured(1).toInt(), at.captured(2).toInt(), size.captured(1).toInt(),
                 size.captured(2).toInt());
}

QRect windowOfSize(ProgramSession &session, const QSize &size)
{
    const QStringList ids = ProgramSession::xdotool({ "search", "--onlyvisible", "--pid",
                                                      QString::number(session.process().processId()) })
                                .split('\n', Qt::SkipEmptyParts);
    for (const QString &id : ids) {
        const QRect geometry = windowGeometry(id);
        if (geometry.size() == size)
            return geometry;
    }
    return QRect();
}

} // namespace

class HighDpiTest : public QObject
{
    Q_OBJECT

private slots:
    void shouldScaleLayoutAndLandClicksAndDrag_data()
    {
        QTest::addColumn<QString>("userFactor");
        QTest::addColumn<double>("scale");
        QTest::newRow("200 %") << QString() << 2.0;
        QTest::newRow("150 %") << "0.75" << 1.5;
    }

    void shouldScaleLayoutAndLandClicksAndDrag()
    {
        QFETCH(QString, userFactor);
        QFETCH(double, scale);
        const auto device = [scale](int logical) { return qRound(logical * scale); };
        ProgramSession session;
        if (!userFactor.isEmpty())
            session.environment().insert("QT_SCALE_FACTOR", userFactor);
        QVERIFY(session.start());
        QCOMPARE(session.scaleFactor(), scale);
        const QRect main = windowGeometry(QString::number(session.windowId()));
        QCOMPARE(main.size(), QSize(device(1200), device(750)));
        QVERIFY(session.waitForCaptureLine("ReadConfigData"));

        // The circle of button 2 at window pixels (386, 208) + 11: clicked until its assignment is read (the
        // page fades in after the window).
        int attempt = 0;
        QVERIFY2(session.waitFor([&] {
                     session.click(397 + attempt++ % 2, 219);
                     return session.waitForCaptureLine("WrtieControl 31 b0 02", 1000);
                 }, 15000),
                 qPrintable(session.saveScreenshot("e2e_highdpi_circle")));

        // Its 334 x 334 dialog opens beside it, at window pixels (416, 196), and the circle shows as selected.
        QRect dialog;
        const QSize dialogSize(device(334), device(334));
        QVERIFY(session.waitFor([&] { return !(dialog = windowOfSize(session, dialogSize)).isNull(); }));
        QCOMPARE(dialog.topLeft() - main.topLeft(), QPoint(device(416), device(196)));
        const QRect circle(device(386), device(208), device(22), device(22));
        QVERIFY2(session.waitFor([&] {
                     return ProgramSession::countPixels(session.grab(), circle, isAccentGreen) > 20;
                 }),
                 qPrintable(session.saveScreenshot("e2e_highdpi_selected")));

        // A click beside the dialog closes it; dragging the title bar moves the window by the pointer's way.
        session.click(1000, 600);
        QVERIFY(session.waitFor([&] { return windowOfSize(session, dialogSize).isNull(); }));
        // One move: the pointer is placed relative to the window, which moves with it.
        session.press(600, 40);
        session.moveTo(700, 90);
        session.release();
        QVERIFY2(session.waitFor([&] {
                     return windowGeometry(QString::number(session.windowId())).topLeft()
                         == main.topLeft() + QPoint(device(100), device(50));
                 }),
                 qPrintable(ProgramSession::xdotool({ "getwindowgeometry", QString::number(session.windowId()) })));
    }
};

QTEST_MAIN(HighDpiTest)
#include "tst_e2e_highdpi.moc"
