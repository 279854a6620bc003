// The real program on the emulated mouse: the pointer page follows the mouse's DPI button and sends changes.
#include "programsession.h"

#include <QImage>
#include <QtTest>

namespace {

const QPoint pointerNavButton(630 + 30, 626 + 30 + 19);
const QPoint lightingNavButton(600, 675);
const QRect buttonsNavButton(510, 656, 60, 38);
const QRect lightingSteadyButton(40, 230, 130, 26);
const QRect reportRate125(880, 230, 130, 26);
const QRect reportRate250(1030, 230, 130, 26);
const QRect reportRate1000(1030, 272, 130, 26);

int accentPixels(const QImage &image, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += qAbs(c.red() - 0x2b) < 16 && qAbs(c.green() - 0xac) < 16 && qAbs(c.blue() - 0x39) < 16;
        }
    }
    return count;
}

// The level 1..5 whose name is drawn in the accent colour; 0 for none, -1 for several.
int highlightedLevel(ProgramSession &session)
{
    const QImage shot = session.grab();
    int found = 0;
    for (int n = 1; n <= 5; ++n) {
        if (accentPixels(shot, QRect(40, 286 + 50 * (n - 1), 50, 12)) > 3)
            found = found == 0 ? n : -1;
    }
    return found;
}

QStringList linesStarting(const QStringList &lines, const QString &prefix)
{
    QStringList result;
    for (const QString &line : lines) {
        if (line.startsWith(prefix))
            result << line;
    }
    return result;
}

// Starts the program on a mouse with factory settings and opens the pointer page; returns what went wrong.
QString openPointerPage(ProgramSession &session)
{
    if (!session.start() || !session.waitFor([&] { return accentPixels(session.grab(), buttonsNavButton) > 20; }))
        return "no buttons page " + session.saveScreenshot("e2e_pointer_start");
    // The lighting page's panels take several poll periods to slide in: none of them may ask the mouse.
    session.click(lightingNavButton.x(), lightingNavButton.y());
    if (!session.waitFor([&] { return accentPixels(session.grab(), lightingSteadyButton) > 2000; }))
        return "no lighting page " + session.saveScreenshot("e2e_pointer_lighting");
    const QStringList queries = linesStarting(session.capture(), "WrtieControl 31 c2");
    if (queries.size() != 1)
        return "DPI state read outside the pointer page:\n" + queries.join('\n');
    session.click(pointerNavButton.x(), pointerNavButton.y());
    // The factory settings make level 2 the current one.
    if (!session.waitFor([&] { return highlightedLevel(session) == 2; }))
        return "level 2 not highlighted " + session.saveScreenshot("e2e_pointer_open");
    // The panels are in place once the checked "1000" shows in full accent colour at its final spot.
    if (!session.waitFor([&] { return accentPixels(session.grab(), reportRate1000) > 3000; })
        || !session.waitUntilStill())
        return "panels did not settle " + session.saveScreenshot("e2e_pointer_settle");
    return QString();
}

} // namespace

class PointerPageE2ETest : public QObject
{
    Q_OBJECT

private slots:
    void shouldFollowMouseDpiButton()
    {
        ProgramSession session;
        const QString failure = openPointerPage(session);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        const QString poll = QStringLiteral("WrtieControl 31 c2") + QStringLiteral(" 00").repeated(30);
        QVERIFY(session.waitFor([&] { return session.capture().count(poll) >= 2; }));

        QCOMPARE(session.emu({ "press-dpi" }), 0);
        QVERIFY2(session.waitFor([&] { return highlightedLevel(session) == 3; }, 3000),
                 qPrintable(session.saveScreenshot("e2e_pointer_press_dpi")));
        for (int press = 0; press < 3; ++press)
            QCOMPARE(session.emu({ "press-dpi" }), 0);
        QVERIFY2(session.waitFor([&] { return highlightedLevel(session) == 1; }, 3000),
                 qPrintable(session.saveScreenshot("e2e_pointer_wrap")));
    }

    void shouldSendReportRateClickAndSliderRelease()
    {
        ProgramSession session;
        const QString failure = openPointerPage(session);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        // Controls that a change does not touch must look exactly as before it.
        const QRect levelRow1(100, 286, 240, 40);
        const QImage before = session.grab();

        session.click(reportRate125.center().x(), reportRate125.center().y());
        QVERIFY(session.waitForCaptureLine("WrtieControl 31 c3 08"));
        QCOMPARE(session.dump().value("report_rate"), "8");
        QVERIFY(session.waitFor([&] { return accentPixels(session.grab(), reportRate125) > 1000; }));
        QCOMPARE(session.grab().copy(reportRate250), before.copy(reportRate250));

        // Drag the handle of level 3 (factory value 47) to the right and let go.
        const QPoint handle(102 + 5 + 46 * 208 / 143, 386 + 5);
        session.press(handle.x(), handle.y());
        session.moveTo(handle.x() + 40, handle.y());
        session.moveTo(handle.x() + 80, handle.y());
        session.release();
        QVERIFY(session.waitForCaptureLine("WrtieControl 31 c1"));

        const QStringList sent = linesStarting(session.capture(), "WrtieControl 31 c1");
        QCOMPARE(sent.size(), 1);
        const QStringList bytes = sent.first().split(' ').mid(2);
        const QMap<QString, QString> memory = session.dump();
        QVERIFY(memory.value("dpi.level3").toInt() > 47);
        QCOMPARE(bytes.at(3).toInt(nullptr, 16), memory.value("dpi.level3").toInt());
        QCOMPARE(bytes.mid(1, 2), QStringList({ "0f", "1f" }));
        QCOMPARE(bytes.at(6), "02");
        QCOMPARE(memory.value("dpi.current"), "2");
        QVERIFY(session.waitFor([&] { return highlightedLevel(session) == 3; }));
        QCOMPARE(session.grab().copy(levelRow1), before.copy(levelRow1));
    }
};

QTEST_MAIN(PointerPageE2ETest)
#include "tst_e2e_pointer.moc"
