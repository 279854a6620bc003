// The real program on the emulated mouse: the pointer page follows the mouse's DPI button and sends changes.
#include "programsession.h"

#include <QImage>
#include <QtTest>

namespace {

const QPoint pointerNavButton(630 + 30, 626 + 30 + 19);
const QPoint reportRate125(800 + 80 + 65, 230 + 13);

// Name label of DPI level n (1..5) in window coordinates.
QRect levelName(int n)
{
    return QRect(40, 286 + 50 * (n - 1), 50, 12);
}

// Centre of level n's slider handle for slider value v.
QPoint levelHandle(int n, int value)
{
    return QPoint(102 + 5 + (value - 1) * 208 / 143, 286 + 50 * (n - 1) + 5);
}

int accentPixels(const QImage &image, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - 0x2b) < 16 && qAbs(c.green() - 0xac) < 16 && qAbs(c.blue() - 0x39) < 16)
                ++count;
        }
    }
    return count;
}

// The one name label drawn in the accent colour, or 0.
int highlightedLevel(ProgramSession &session)
{
    const QImage shot = session.grab();
    int found = 0;
    for (int n = 1; n <= 5; ++n) {
        if (accentPixels(shot, levelName(n)) > 3)
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

const QString dpiQuery = QStringLiteral("WrtieControl 31 c2") + QStringLiteral(" 00").repeated(30);

} // namespace

class PointerPageE2ETest : public QObject
{
    Q_OBJECT

private slots:
    void shouldPollOnlyOnPointerPageAndFollowDpiButton()
    {
        ProgramSession session;
        QVERIFY(session.start());
        // The pages appear after the window's fade-in, several poll periods after the start-up reads.
        QVERIFY(session.waitFor([&] { return accentPixels(session.grab(), QRect(510, 656, 60, 38)) > 20; }));
        QCOMPARE(linesStarting(session.capture(), "WrtieControl 31 c2").size(), 1);

        session.click(pointerNavButton.x(), pointerNavButton.y());
        // Factory settings: the mouse uses level 2.
        QVERIFY2(session.waitFor([&] { return highlightedLevel(session) == 2; }),
                 qPrintable(session.saveScreenshot("e2e_pointer_shown")));
        QVERIFY(session.waitFor([&] { return session.capture().count(dpiQuery) >= 2; }));

        QCOMPARE(session.emu({ "press-dpi" }), 0);
        QVERIFY2(session.waitFor([&] { return highlightedLevel(session) == 3; }, 3000),
                 qPrintable(session.saveScreenshot("e2e_pointer_press_dpi")));
        QCOMPARE(session.emu({ "press-dpi" }), 0);
        QCOMPARE(session.emu({ "press-dpi" }), 0);
        QCOMPARE(session.emu({ "press-dpi" }), 0);
        QVERIFY2(session.waitFor([&] { return highlightedLevel(session) == 1; }, 3000),
                 qPrintable(session.saveScreenshot("e2e_pointer_wrap")));
    }

    void shouldSendReportRateClickAndSliderRelease()
    {
        ProgramSession session;
        QVERIFY(session.start());
        QVERIFY(session.waitFor([&] { return accentPixels(session.grab(), QRect(510, 656, 60, 38)) > 20; }));
        session.click(pointerNavButton.x(), pointerNavButton.y());
        QVERIFY(session.waitFor([&] { return highlightedLevel(session) == 2; }));

        // Controls that a change does not touch must look exactly as before it.
        const QRect button250(800 + 230, 230, 130, 26);
        const QRect levelRow1(100, 286, 240, 40);
        const QImage before = session.grab();

        session.click(reportRate125.x(), reportRate125.y());
        QVERIFY(session.waitForCaptureLine("WrtieControl 31 c3 08"));
        QCOMPARE(session.dump().value("report_rate"), "8");
        QVERIFY(session.waitFor([&] { return accentPixels(session.grab(), QRect(880, 230, 130, 26)) > 1000; }));
        QCOMPARE(session.grab().copy(button250), before.copy(button250));

        // Factory level 3 is 47 (2400 DPI): drag its handle to the right and let go.
        session.press(levelHandle(3, 47).x(), levelHandle(3, 47).y());
        session.moveTo(levelHandle(3, 47).x() + 40, levelHandle(3, 47).y());
        session.moveTo(levelHandle(3, 47).x() + 80, levelHandle(3, 47).y());
        session.release();
        QVERIFY(session.waitForCaptureLine("WrtieControl 31 c1"));

        const QStringList sent = linesStarting(session.capture(), "WrtieControl 31 c1");
        QCOMPARE(sent.size(), 1);
        const QStringList bytes = sent.first().mid(QStringLiteral("WrtieControl 31 ").size()).split(' ');
        const QMap<QString, QString> memory = session.dump();
        QCOMPARE(bytes.at(3).toInt(nullptr, 16), memory.value("dpi.level3").toInt());
        QVERIFY(memory.value("dpi.level3").toInt() > 47);
        QCOMPARE(bytes.mid(1, 2), QStringList({ "0f", "1f" }));
        QCOMPARE(bytes.at(6), "02");
        QCOMPARE(memory.value("dpi.current"), "2");
        QVERIFY(session.waitFor([&] { return highlightedLevel(session) == 3; }));
        QCOMPARE(session.grab().copy(levelRow1), before.copy(levelRow1));
    }
};

QTEST_MAIN(PointerPageE2ETest)
#include "tst_e2e_pointer.moc"
