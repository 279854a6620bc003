// The real program on the emulated mouse: the lighting page sends its changes and keeps the colour file
// beside the executable.
#include "programsession.h"

#include <QColor>
#include <QFile>
#include <QSettings>
#include <QtTest>

#include <functional>

namespace {

const QPoint lightingNavButton(600, 675);
const QRect steadyButton(40, 230, 130, 26);
const QPoint breathingButton(105, 323);
const QPoint pickerOrigin(874, 304);
// The bottom of the pictured light strip: (390, 590) in the top view, which the lighting page shows at (217, 9).
const QPoint stripPoint(607, 599);

QPoint swatchCentre(int id)
{
    return QPoint(800 + 80 + 31 * (id - 1) + 9, 239);
}

bool isAccentGreen(QColor c)
{
    return qAbs(c.red() - 0x2b) < 12 && qAbs(c.green() - 0xac) < 12 && qAbs(c.blue() - 0x39) < 12;
}

bool isClose(QColor seen, QColor expected)
{
    return qAbs(seen.red() - expected.red()) <= 2 && qAbs(seen.green() - expected.green()) <= 2
        && qAbs(seen.blue() - expected.blue()) <= 2;
}

QString hexBytes(std::initializer_list<int> bytes)
{
    QString text;
    for (int byte : bytes)
        text += QStringLiteral(" %1").arg(byte, 2, 16, QLatin1Char('0'));
    return text;
}

QStringList lightingCommands(const QStringList &capture)
{
    return capture.filter(QRegularExpression(QStringLiteral("^WrtieControl 31 a1 ")));
}

QColor storedColour(const QString &file, int slot)
{
    QSettings settings(file, QSettings::IniFormat);
    const QString group = QStringLiteral("COLOR%1/").arg(slot);
    return QColor(settings.value(group + QStringLiteral("Red")).toInt(),
                  settings.value(group + QStringLiteral("Green")).toInt(),
                  settings.value(group + QStringLiteral("Blue")).toInt());
}

// Starts the program, opens the lighting page and waits until its panels have slid in.
bool openLightingPage(ProgramSession &session)
{
    if (!session.start() || !session.waitForCaptureLine(QStringLiteral("ReadConfigData")))
        return false;
    // The navigation bar appears after the window's fade-in; click until the page answers.
    return session.waitFor([&] {
        session.click(lightingNavButton.x(), lightingNavButton.y());
        return session.waitFor([&] { return ProgramSession::countPixels(session.grab(), steadyButton, isAccentGreen) > 2000; },
                               1500);
    }, 15000);
}

} // namespace

class LightingProgramTest : public QObject
{
    Q_OBJECT

private slots:
    void shouldUseColourFileBesideProgram()
    {
        ProgramSession session;
        const QString colourFile = session.programDir() + QStringLiteral("/user_color.ini");
        {
            QFile file(colourFile);
            QVERIFY(file.open(QIODevice::WriteOnly));
            const QByteArray text = "[COLOR2]\nRed=10\nGreen=200\nBlue=30\n[COLOR5]\nRed=1\nGreen=2\n";
            QCOMPARE(file.write(text), qint64(text.size()));
        }

        QVERIFY2(openLightingPage(session), qPrintable(session.saveScreenshot("lighting-open") + session.log()));

        QCOMPARE(storedColour(colourFile, 2), QColor(10, 200, 30));
        QCOMPARE(storedColour(colourFile, 5), QColor(0, 0, 255));
        QCOMPARE(storedColour(colourFile, 6), QColor(255, 0, 255));
        QSettings settings(colourFile, QSettings::IniFormat);
        QCOMPARE(settings.allKeys().size(), 18);

        const QImage shot = session.grab();
        QVERIFY2(isClose(shot.pixelColor(swatchCentre(2)), QColor(10, 200, 30)),
                 qPrintable(session.saveScreenshot("lighting-swatches")));
        QVERIFY(isClose(shot.pixelColor(swatchCentre(5)), QColor(0, 0, 255)));

        // The mouse starts steady: the pictured strip takes the clicked swatch's colour.
        QVERIFY(!isClose(shot.pixelColor(stripPoint), QColor(10, 200, 30)));
        session.click(swatchCentre(2).x(), swatchCentre(2).y());
        QVERIFY2(session.waitFor([&] { return isClose(session.grab().pixelColor(stripPoint), QColor(10, 200, 30)); }),
                 qPrintable(session.saveScreenshot("lighting-strip")));
    }

    void shouldSendEveryChangeToMouse()
    {
        ProgramSession session;
        const QString colourFile = session.programDir() + QStringLiteral("/user_color.ini");
        QVERIFY2(openLightingPage(session), qPrintable(session.saveScreenshot("lighting-open") + session.log()));
        const QMap<QString, QString> factory = session.dump();
        const int speed = factory.value(QStringLiteral("lighting.speed")).toInt();

        session.clearCapture();
        session.click(breathingButton.x(), breathingButton.y());
        QVERIFY(session.waitFor([&] { return lightingCommands(session.capture()).size() == 2; }));
        const QString breathing = QStringLiteral("WrtieControl 31")
            + hexBytes({ 0xa1, 0, 2, speed, 8, 0, factory.value(QStringLiteral("lighting.red")).toInt(),
                         factory.value(QStringLiteral("lighting.green")).toInt(),
                         factory.value(QStringLiteral("lighting.blue")).toInt() });
        for (const QString &line : lightingCommands(session.capture()))
            QVERIFY2(line.startsWith(breathing), qPrintable(line));
        QCOMPARE(session.dump().value(QStringLiteral("lighting.mode")), QStringLiteral("2"));

        session.clearCapture();
        session.click(swatchCentre(3).x(), swatchCentre(3).y());
        QVERIFY(session.waitFor([&] { return lightingCommands(session.capture()).size() == 1; }));
        QVERIFY(lightingCommands(session.capture()).first().startsWith(
            QStringLiteral("WrtieControl 31") + hexBytes({ 0xa1, 0, 2, speed, 8, 0, 255, 255, 0 })));
        QCOMPARE(session.dump().value(QStringLiteral("lighting.green")), QStringLiteral("255"));

        // Swatch 3 is now the edited slot: a click in the square changes it and its keys.
        session.clearCapture();
        session.click(pickerOrigin.x() + 96, pickerOrigin.y() + 59);
        const QColor picked = QColor::fromHsvF(60 / 359.0, 0.5, 0.5);
        QVERIFY(session.waitFor([&] { return lightingCommands(session.capture()).size() == 1; }));
        QVERIFY2(lightingCommands(session.capture()).first().startsWith(
                     QStringLiteral("WrtieControl 31")
                     + hexBytes({ 0xa1, 0, 2, speed, 8, 0, picked.red(), picked.green(), picked.blue() })),
                 qPrintable(lightingCommands(session.capture()).first()));
        const QMap<QString, QString> memory = session.dump();
        QCOMPARE(memory.value(QStringLiteral("lighting.red")), QString::number(picked.red()));
        QCOMPARE(memory.value(QStringLiteral("lighting.blue")), QString::number(picked.blue()));
        QCOMPARE(storedColour(colourFile, 3), QColor(picked.red(), picked.green(), picked.blue()));
    }
};

QTEST_MAIN(LightingProgramTest)
#include "tst_e2e_lighting.moc"
