#include "lighting/colorpalette.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

using Rgb = std::array<int, 3>;

Rgb rgbOf(const QColor &colour)
{
    return { colour.red(), colour.green(), colour.blue() };
}

} // namespace

Q_DECLARE_METATYPE(Rgb)

class ColorPaletteTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString fileName;
    int fileCount = 0;

    // What is on disk: QSettings objects on one file share their unsaved changes, so read a copy.
    std::unique_ptr<QSettings> savedSettings()
    {
        const QString copy = dir.filePath(QStringLiteral("copy_%1.ini").arg(++fileCount));
        if (!QFile::copy(fileName, copy))
            return nullptr;
        return std::make_unique<QSettings>(copy, QSettings::IniFormat);
    }

    void writeFile(const QByteArray &text)
    {
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(text), qint64(text.size()));
    }

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        // A new name each time: QSettings caches files by name and may miss a rewrite of the same size.
        fileName = dir.filePath(QStringLiteral("user_color_%1.ini").arg(++fileCount));
    }

    void shouldReadComponentsFromTheirText_data()
    {
        QTest::addColumn<QByteArray>("red");
        QTest::addColumn<Rgb>("expected");
        QTest::newRow("in range") << QByteArray("200") << Rgb { 200, 20, 30 };
        QTest::newRow("zero") << QByteArray("0") << Rgb { 0, 20, 30 };
        QTest::newRow("top") << QByteArray("255") << Rgb { 255, 20, 30 };
        QTest::newRow("just above") << QByteArray("256") << Rgb { 0, 20, 30 };
        // As a wrapped 32-bit integer this would read as 200.
        QTest::newRow("wraps to 200") << QByteArray("4294967496") << Rgb { 0, 20, 30 };
        QTest::newRow("huge") << QByteArray("99999999999") << Rgb { 0, 20, 30 };
        QTest::newRow("negative") << QByteArray("-1") << Rgb { 0, 20, 30 };
        QTest::newRow("not a number") << QByteArray("red") << Rgb { 0, 20, 30 };
        QTest::newRow("number and letters") << QByteArray("12abc") << Rgb { 0, 20, 30 };
        QTest::newRow("empty") << QByteArray("") << Rgb { 0, 20, 30 };
    }
    void shouldReadComponentsFromTheirText()
    {
        QFETCH(QByteArray, red);
        QFETCH(Rgb, expected);
        writeFile("[COLOR4]\nRed=" + red + "\nGreen=20\nBlue=30\n");
        QSettings settings(fileName, QSettings::IniFormat);

        QCOMPARE(rgbOf(ColorPalette(settings).load(4)), expected);
        // A present but unreadable value is not replaced by the default.
        QCOMPARE(settings.value(QStringLiteral("COLOR4/Red")).toString(), QString::fromLatin1(red));
    }

    void shouldGiveDefaultAndRewriteSlotMissingAKey_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::newRow("red") << QStringLiteral("Red");
        QTest::newRow("green") << QStringLiteral("Green");
        QTest::newRow("blue") << QStringLiteral("Blue");
    }
    void shouldGiveDefaultAndRewriteSlotMissingAKey()
    {
        QFETCH(QString, missing);
        QByteArray text;
        for (int slot = 1; slot <= PaletteSize; ++slot) {
            text += QStringLiteral("[COLOR%1]\n").arg(slot).toLatin1();
            for (const QString &key : { QStringLiteral("Red"), QStringLiteral("Green"), QStringLiteral("Blue") }) {
                if (slot != 3 || key != missing)
                    text += QStringLiteral("%1=%2\n").arg(key).arg(slot * 10).toLatin1();
            }
        }
        writeFile(text);
        QSettings settings(fileName, QSettings::IniFormat);
        ColorPalette palette(settings);

        QCOMPARE(rgbOf(palette.load(3)), (Rgb { 255, 255, 0 }));
        QCOMPARE(rgbOf(palette.load(2)), (Rgb { 20, 20, 20 }));

        const std::unique_ptr<QSettings> saved = savedSettings();
        QVERIFY(saved);
        QCOMPARE(saved->value(QStringLiteral("COLOR3/Red")).toString(), QStringLiteral("255"));
        QCOMPARE(saved->value(QStringLiteral("COLOR3/Green")).toString(), QStringLiteral("255"));
        QCOMPARE(saved->value(QStringLiteral("COLOR3/Blue")).toString(), QStringLiteral("0"));
        for (int slot : { 1, 2, 4, 5, 6 })
            QCOMPARE(saved->value(QStringLiteral("COLOR%1/Blue").arg(slot)).toString(), QString::number(slot * 10));
        QCOMPARE(saved->allKeys().size(), 18);
    }

    void shouldReplaceFileWholeOnWrite()
    {
        writeFile("[COLOR2]\nRed=1\nGreen=2\nBlue=3\n");
        // A second name for the old file: a write in place would change what it shows, a replacement does not.
        const QString oldName = dir.filePath(QStringLiteral("old.ini"));
        QFile::remove(oldName);
#ifdef Q_OS_UNIX
        QCOMPARE(::link(QFile::encodeName(fileName).constData(), QFile::encodeName(oldName).constData()), 0);
#else
        QSKIP("needs hard links");
#endif
        QFile old(oldName);
        QVERIFY(old.open(QIODevice::ReadOnly));
        const QByteArray before = old.readAll();
        old.close();

        QSettings settings(fileName, QSettings::IniFormat);
        ColorPalette(settings).store(2, QColor(7, 8, 9));
        QCOMPARE(settings.status(), QSettings::NoError);

        const std::unique_ptr<QSettings> saved = savedSettings();
        QVERIFY(saved);
        QCOMPARE(saved->value(QStringLiteral("COLOR2/Blue")).toInt(), 9);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), before);
    }
};

QTEST_GUILESS_MAIN(ColorPaletteTest)
#include "tst_colorpalette.moc"
