// The main window's decisions and the device-change record parsing, without widgets.
#include "device/mouselifetime.h"
#include "platform/devicechange.h"
#include "ui/language.h"
#include "ui/shellstate.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

// A device-change record as the system builds it: size, type, reserved, class, then the UTF-16 name.
QByteArray broadcastRecord(quint32 type, const QString &name, bool terminate = true, int declaredSize = -1)
{
    QByteArray record(int(DeviceBroadcast::NameOffset), '\0');
    qToLittleEndian<quint32>(type, record.data() + 4);
    record.replace(12, 16, QByteArray("\xB2\x55\x1E\x4D\x6F\xF1\xCF\x11\x88\xCB\x00\x11\x11\x00\x00\x30", 16));
    for (const QChar c : name) {
        char unit[2];
        qToLittleEndian<quint16>(c.unicode(), unit);
        record.append(unit, 2);
    }
    if (terminate)
        record.append(2, '\0');
    qToLittleEndian<quint32>(quint32(declaredSize < 0 ? record.size() : declaredSize), record.data());
    return record;
}

} // namespace

class tst_ShellState : public QObject
{
    Q_OBJECT

private slots:
    void pictureAnimation_data();
    void pictureAnimation();
    void deviceChangeAction_data();
    void deviceChangeAction();
    void parseRecord_data();
    void parseRecord();
    void parseRefusesShortOrForeignRecords_data();
    void parseRefusesShortOrForeignRecords();
    void parseStopsAtAvailableBytes();
    void interfaceLanguage_data();
    void interfaceLanguage();
};

void tst_ShellState::pictureAnimation_data()
{
    QTest::addColumn<QList<int>>("pages");
    QTest::addColumn<QList<int>>("states");
    QTest::addColumn<QList<bool>>("animated");

    QTest::newRow("leave and return") << QList<int> { 2, 1 } << QList<int> { 2, 1 } << QList<bool> { true, true };
    QTest::newRow("lighting then pointer animates once")
        << QList<int> { 2, 3, 1 } << QList<int> { 2, 2, 1 } << QList<bool> { true, false, true };
    QTest::newRow("pointer then lighting keeps pointer state")
        << QList<int> { 3, 2, 3 } << QList<int> { 3, 3, 3 } << QList<bool> { true, false, false };
    QTest::newRow("buttons again slides home again") << QList<int> { 1 } << QList<int> { 1 } << QList<bool> { true };
}

void tst_ShellState::pictureAnimation()
{
    QFETCH(QList<int>, pages);
    QFETCH(QList<int>, states);
    QFETCH(QList<bool>, animated);

    quint8 state = 1;
    for (int i = 0; i < pages.size(); ++i) {
        const PictureAnimation step = pictureAnimationFor(pages[i], state);
        QCOMPARE(step.run, animated[i]);
        QCOMPARE(int(step.nextState), states[i]);
        if (step.run && pages[i] == PageIndex::Buttons) {
            QCOMPARE(step.slideFrom, QRect(217, 9, 665, 648));
            QCOMPARE(step.slideTo, QRect(7, 9, 665, 648));
            QCOMPARE(step.fadeFrom, 0.0);
            QCOMPARE(step.fadeTo, 1.0);
            QCOMPARE(step.fadeEasing, QEasingCurve::InQuad);
        } else if (step.run) {
            QCOMPARE(step.slideFrom, QRect(7, 9, 665, 648));
            QCOMPARE(step.slideTo, QRect(217, 9, 665, 648));
            QCOMPARE(step.fadeFrom, 1.0);
            QCOMPARE(step.fadeTo, 0.0);
            QCOMPARE(step.fadeEasing, QEasingCurve::OutQuad);
        }
        state = step.nextState;
    }
}

void tst_ShellState::deviceChangeAction_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<quint32>("type");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("namesMouse");
    QTest::addColumn<int>("action");

    const int arrival = DeviceChange::Arrival;
    const int removal = DeviceChange::Removal;
    const int closed = int(MouseState::Closed);
    const int open = int(MouseState::Open);
    const int ignore = int(DeviceChangeAction::Ignore);
    const int hold = int(DeviceChangeAction::Hold);
    QTest::newRow("arrival, no mouse") << arrival << 5u << closed << false << int(DeviceChangeAction::OpenMouse);
    QTest::newRow("arrival, mouse open") << arrival << 5u << open << false << ignore;
    QTest::newRow("arrival of another type") << arrival << 3u << closed << false << ignore;
    QTest::newRow("removal of the mouse") << removal << 5u << open << true << int(DeviceChangeAction::CloseMouse);
    QTest::newRow("removal of another device") << removal << 5u << open << false << ignore;
    QTest::newRow("removal while no mouse") << removal << 5u << closed << true << ignore;
    QTest::newRow("removal of another type") << removal << 2u << open << true << ignore;
    QTest::newRow("removal while opening") << removal << 5u << int(MouseState::Opening) << false << hold;
    QTest::newRow("arrival while closing") << arrival << 5u << int(MouseState::Closing) << false << hold;
}

void tst_ShellState::deviceChangeAction()
{
    QFETCH(int, kind);
    QFETCH(quint32, type);
    QFETCH(int, state);
    QFETCH(bool, namesMouse);
    QFETCH(int, action);

    const DeviceChange change { DeviceChange::Kind(kind), type, QStringLiteral("\\\\?\\hid#vid_3044") };
    QCOMPARE(int(::deviceChangeAction(change, MouseState(state), namesMouse)), action);
}

void tst_ShellState::parseRecord_data()
{
    QTest::addColumn<quint32>("event");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<int>("kind");
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QString>("name");

    const QString path = QStringLiteral("\\\\?\\HID#VID_3044&PID_9D09#7&1");
    QTest::newRow("arrival") << 0x8000u << broadcastRecord(5, path) << int(DeviceChange::Arrival) << 5u << path;
    QTest::newRow("removal") << 0x8004u << broadcastRecord(5, path) << int(DeviceChange::Removal) << 5u << path;
    QTest::newRow("non-ASCII name") << 0x8000u << broadcastRecord(5, QStringLiteral("设备")) << int(DeviceChange::Arrival)
                                    << 5u << QStringLiteral("设备");
    QTest::newRow("empty name") << 0x8004u << broadcastRecord(5, QString()) << int(DeviceChange::Removal) << 5u
                                << QString();
    QTest::newRow("name ends at the record's size") << 0x8004u << broadcastRecord(5, path, false)
                                                    << int(DeviceChange::Removal) << 5u << path;
    QTest::newRow("size field cuts the name") << 0x8004u << broadcastRecord(5, path, true, 28 + 2 * 4)
                                              << int(DeviceChange::Removal) << 5u << path.left(4);
    QTest::newRow("odd size drops the half unit") << 0x8004u << broadcastRecord(5, path, true, 28 + 2 * 3 + 1)
                                                  << int(DeviceChange::Removal) << 5u << path.left(3);
    QTest::newRow("other device type: no name read") << 0x8000u << broadcastRecord(2, path)
                                                     << int(DeviceChange::Arrival) << 2u << QString();
}

void tst_ShellState::parseRecord()
{
    QFETCH(quint32, event);
    QFETCH(QByteArray, record);
    QFETCH(int, kind);
    QFETCH(quint32, type);
    QFETCH(QString, name);

    const auto change = parseDeviceBroadcast(event, record.constData(), std::size_t(record.size()));
    QVERIFY(change.has_value());
    QCOMPARE(int(change->kind), kind);
    QCOMPARE(change->deviceType, type);
    QCOMPARE(change->interfaceName, name);
}

void tst_ShellState::parseRefusesShortOrForeignRecords_data()
{
    QTest::addColumn<quint32>("event");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<int>("available");

    const QByteArray record = broadcastRecord(5, QStringLiteral("mouse"));
    QTest::newRow("query-remove event") << 0x8001u << record << record.size();
    QTest::newRow("devnodes-changed event") << 0x0007u << record << record.size();
    QTest::newRow("fewer bytes than the header") << 0x8000u << record << 11;
    QTest::newRow("size field below the header") << 0x8000u << broadcastRecord(5, QStringLiteral("x"), true, 8)
                                                 << record.size();
    QTest::newRow("no record") << 0x8000u << QByteArray() << 0;
}

void tst_ShellState::parseRefusesShortOrForeignRecords()
{
    QFETCH(quint32, event);
    QFETCH(QByteArray, record);
    QFETCH(int, available);

    const void *data = record.isEmpty() ? nullptr : record.constData();
    QVERIFY(!parseDeviceBroadcast(event, data, std::size_t(available)).has_value());
}

void tst_ShellState::parseStopsAtAvailableBytes()
{
    // The record claims far more than the buffer holds and its name has no terminator: the bytes after the
    // buffer are a guard that must never show up in the name.
    const QString name = QStringLiteral("abcdef");
    QByteArray buffer = broadcastRecord(5, name, false, 4096);
    const int available = buffer.size();
    buffer.append(QByteArray("X\0Y\0Z\0", 6));

    const auto change = parseDeviceBroadcast(0x8004, buffer.constData(), std::size_t(available));
    QVERIFY(change.has_value());
    QCOMPARE(change->interfaceName, name);
}

void tst_ShellState::interfaceLanguage_data()
{
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QStringList>("desktop");
    QTest::addColumn<int>("language");
    const int simplified = InterfaceLanguage::SimplifiedChinese;
    const int traditional = InterfaceLanguage::TraditionalChinese;
    const int english = InterfaceLanguage::English;
    QTest::newRow("zh-CN") << QString() << QStringList { "zh-CN", "zh-Hans-CN", "zh", "en" } << simplified;
    QTest::newRow("zh-SG") << QString() << QStringList { "zh-SG" } << simplified;
    QTest::newRow("zh-Hans") << QString() << QStringList { "zh-Hans" } << simplified;
    QTest::newRow("zh_TW as a locale name") << QString() << QStringList { "zh_TW" } << traditional;
    QTest::newRow("zh-HK") << QString() << QStringList { "zh-HK", "zh-Hant-HK" } << traditional;
    QTest::newRow("zh-MO") << QString() << QStringList { "zh-MO" } << traditional;
    // The script outweighs the region.
    QTest::newRow("zh-Hant-CN") << QString() << QStringList { "zh-Hant-CN" } << traditional;
    QTest::newRow("zh-Hans-HK") << QString() << QStringList { "zh-Hans-HK" } << simplified;
    QTest::newRow("German, then Taiwan") << QString() << QStringList { "de-DE", "zh-TW" } << traditional;
    QTest::newRow("English before Chinese") << QString() << QStringList { "en-GB", "zh-CN" } << english;
    QTest::newRow("French only") << QString() << QStringList { "fr-FR", "fr" } << english;
    QTest::newRow("nothing known") << QString() << QStringList() << english;
    QTest::newRow("saved wins") << "en" << QStringList { "zh-CN" } << english;
    QTest::newRow("saved traditional") << "zh_TW" << QStringList { "en-US" } << traditional;
    QTest::newRow("saved nonsense") << "klingon" << QStringList { "zh-TW" } << traditional;
}

void tst_ShellState::interfaceLanguage()
{
    QFETCH(QString, saved);
    QFETCH(QStringList, desktop);
    QFETCH(int, language);
    QTemporaryDir folder;
    QSettings settings(folder.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    if (!saved.isEmpty())
        settings.setValue(QStringLiteral("language"), saved);
    QCOMPARE(int(InterfaceLanguage::load(settings, desktop)), language);

    // Saved, the choice comes back whatever the desktop says.
    InterfaceLanguage::save(settings, InterfaceLanguage::Language(language));
    QCOMPARE(int(InterfaceLanguage::load(settings, { QStringLiteral("fr") })), language);
}

QTEST_APPLESS_MAIN(tst_ShellState)
#include "tst_shellstate.moc"
