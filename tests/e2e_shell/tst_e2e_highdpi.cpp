// The real program on a 192 dpi screen (scale factor 2): the whole layout maps at twice its size, and
// clicks, the pop-up's place and the drag land where they do at 100 %.
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
    void shouldScaleLayoutAndLandClicksAndDrag()
    {
        ProgramSession session;
        QVERIFY(session.start());
        QCOMPARE(session.scaleFactor(), 2.0);
        const QRect main = windowGeometry(QString::number(session.windowId()));
        QCOMPARE(main.size(), QSize(2400, 1500));
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
        QVERIFY(session.waitFor([&] { return !(dialog = windowOfSize(session, QSize(668, 668))).isNull(); }));
        QCOMPARE(dialog.topLeft() - main.topLeft(), QPoint(416, 196) * 2);
        QVERIFY2(session.waitFor([&] {
                     return ProgramSession::countPixels(session.grab(), QRect(772, 416, 44, 44), isAccentGreen) > 40;
                 }),
                 qPrintable(session.saveScreenshot("e2e_highdpi_selected")));

        // A click beside the dialog closes it; dragging the title bar moves the window by the pointer's way.
        session.click(1000, 600);
        QVERIFY(session.waitFor([&] { return windowOfSize(session, QSize(668, 668)).isNull(); }));
        // One move: the pointer is placed relative to the window, which moves with it.
        session.press(600, 40);
        session.moveTo(700, 90);
        session.release();
        QVERIFY2(session.waitFor([&] {
                     return windowGeometry(QString::number(session.windowId())).topLeft()
                         == main.topLeft() + QPoint(200, 100);
                 }),
                 qPrintable(ProgramSession::xdotool({ "getwindowgeometry", QString::number(session.windowId()) })));
    }
};

QTEST_MAIN(HighDpiTest)
#include "tst_e2e_highdpi.moc"
