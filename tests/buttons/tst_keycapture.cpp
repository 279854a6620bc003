#include "buttons/keyhook.h"
#include "platform/keyboardcapture.h"
#ifndef Q_OS_WIN
#include "platform/x11/xkeycodes.h"
#endif

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QtTest>

namespace {

constexpr unsigned Down = KeyMessage::KeyDown;
constexpr unsigned Up = KeyMessage::KeyUp;
constexpr unsigned SysDown = KeyMessage::SysKeyDown;
constexpr unsigned SysUp = KeyMessage::SysKeyUp;

struct Message
{
    unsigned message;
    int vk;
};

} // namespace

Q_DECLARE_METATYPE(QVector<Message>)

class KeyCaptureTest : public QObject
{
    Q_OBJECT

private slots:
    void shouldTrackCombination_data()
    {
        QTest::addColumn<QVector<Message>>("messages");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("vkey");
        QTest::addColumn<int>("updates");
        QTest::newRow("ctrl then A") << QVector<Message> { { Down, 0xA2 }, { Down, 0x41 } } << 0x01 << 0x41 << 2;
        QTest::newRow("modifiers accumulate after release")
            << QVector<Message> { { Down, 0xA2 }, { Down, 0x41 }, { Up, 0x41 }, { Up, 0xA2 }, { Down, 0xA0 } }
            << 0x03 << 0x41 << 3;
        QTest::newRow("a new key replaces the last")
            << QVector<Message> { { Down, 0x41 }, { Up, 0x41 }, { Down, 0x42 } } << 0x00 << 0x42 << 2;
        QTest::newRow("held key repeats once")
            << QVector<Message> { { Down, 0x41 }, { Down, 0x41 }, { Down, 0x41 } } << 0x00 << 0x41 << 1;
        QTest::newRow("released key counts again")
            << QVector<Message> { { Down, 0x41 }, { Up, 0x41 }, { Down, 0x41 } } << 0x00 << 0x41 << 2;
        QTest::newRow("alt keys arrive as system keys")
            << QVector<Message> { { SysDown, 0xA5 }, { SysDown, 0x73 }, { SysUp, 0x73 } } << 0x40 << 0x73 << 2;
        QTest::newRow("win and D") << QVector<Message> { { Down, 0x5B }, { Down, 0x44 } } << 0x08 << 0x44 << 2;
        QTest::newRow("all right-hand modifiers")
            << QVector<Message> { { Down, 0xA3 }, { Down, 0xA1 }, { Down, 0xA5 }, { Down, 0x5C } } << 0xF0 << 0 << 4;
        QTest::newRow("0xFF is no key") << QVector<Message> { { Down, 0xFF } } << 0x00 << 0 << 0;
        QTest::newRow("other messages are ignored") << QVector<Message> { { 0x0102, 0x41 } } << 0x00 << 0 << 0;
    }
    void shouldTrackCombination()
    {
        QFETCH(QVector<Message>, messages);
        QFETCH(int, modifiers);
        QFETCH(int, vkey);
        QFETCH(int, updates);
        ComboKeyTracker tracker;
        quint8 mods = 0;
        quint8 key = 0;
        int counted = 0;
        for (const Message &m : messages)
            counted += tracker.apply(m.message, quint8(m.vk), mods, key) ? 1 : 0;
        QCOMPARE(int(mods), modifiers);
        QCOMPARE(int(key), vkey);
        QCOMPARE(counted, updates);
    }

    void shouldForgetHeldKeysOnRelease()
    {
        ComboKeyTracker tracker;
        quint8 mods = 0;
        quint8 key = 0;
        QVERIFY(tracker.apply(Down, 0x41, mods, key));
        tracker.releaseAll();
        QVERIFY(tracker.apply(Down, 0x41, mods, key));
    }

    void shouldTrackMacroKeys_data()
    {
        QTest::addColumn<QVector<Message>>("messages");
        QTest::addColumn<QString>("recorded");
        QTest::newRow("press and release") << QVector<Message> { { Down, 0x41 }, { Up, 0x41 } } << "41v 41^";
        QTest::newRow("auto-repeat records one press")
            << QVector<Message> { { Down, 0x41 }, { Down, 0x41 }, { Down, 0x41 }, { Up, 0x41 } } << "41v 41^";
        QTest::newRow("release without recorded press") << QVector<Message> { { Up, 0x41 } } << "";
        QTest::newRow("system keys")
            << QVector<Message> { { SysDown, 0xA4 }, { SysDown, 0x09 }, { SysUp, 0x09 }, { Up, 0xA4 } }
            << "a4v 9v 9^ a4^";
        QTest::newRow("0xFF never recorded") << QVector<Message> { { Down, 0xFF }, { Up, 0xFF } } << "";
    }
    void shouldTrackMacroKeys()
    {
        QFETCH(QVector<Message>, messages);
        QFETCH(QString, recorded);
        MacroKeyTracker tracker;
        tracker.start();
        QStringList events;
        for (const Message &m : messages) {
            if (const auto key = tracker.apply(m.message, quint8(m.vk)))
                events << QString::number(key->vk, 16) + (key->up ? "^" : "v");
        }
        QCOMPARE(events.join(' '), recorded);
    }

#ifndef Q_OS_WIN
    void shouldTurnXKeycodesIntoVirtualKeys_data()
    {
        QTest::addColumn<int>("keycode");
        QTest::addColumn<int>("vk");
        QTest::newRow("Control_L") << 37 << 0xA2;
        QTest::newRow("Control_R") << 105 << 0xA3;
        QTest::newRow("Shift_L") << 50 << 0xA0;
        QTest::newRow("Shift_R") << 62 << 0xA1;
        QTest::newRow("Alt_L") << 64 << 0xA4;
        QTest::newRow("Alt_R") << 108 << 0xA5;
        QTest::newRow("Super_L") << 133 << 0x5B;
        QTest::newRow("Super_R") << 134 << 0x5C;
        QTest::newRow("Menu") << 135 << 0x5D;
        QTest::newRow("a") << 38 << 0x41;
        QTest::newRow("q") << 24 << 0x51;
        QTest::newRow("m") << 58 << 0x4D;
        QTest::newRow("1") << 10 << 0x31;
        QTest::newRow("0") << 19 << 0x30;
        QTest::newRow("Delete") << 119 << 0x2E;
        QTest::newRow("Escape") << 9 << 0x1B;
        QTest::newRow("F1") << 67 << 0x70;
        QTest::newRow("F10") << 76 << 0x79;
        QTest::newRow("F11") << 95 << 0x7A;
        QTest::newRow("F12") << 96 << 0x7B;
        QTest::newRow("F13") << 191 << 0x7C;
        QTest::newRow("F24") << 202 << 0x87;
        QTest::newRow("KP_7") << 79 << 0x67;
        QTest::newRow("KP_5") << 84 << 0x65;
        QTest::newRow("KP_1") << 87 << 0x61;
        QTest::newRow("KP_0") << 90 << 0x60;
        QTest::newRow("KP_Divide") << 106 << 0x6F;
        QTest::newRow("KP_Enter") << 104 << 0x0D;
        QTest::newRow("grave") << 49 << 0xC0;
        QTest::newRow("backslash") << 51 << 0xDC;
        QTest::newRow("Pause") << 127 << 0x13;
        QTest::newRow("Print") << 107 << 0x2C;
        QTest::newRow("unknown") << 248 << 0;
        QTest::newRow("beyond the keycode range") << 300 << 0;
    }
    void shouldTurnXKeycodesIntoVirtualKeys()
    {
        QFETCH(int, keycode);
        QFETCH(int, vk);
        QCOMPARE(int(virtualKeyOfXKeycode(quint32(keycode))), vk);
    }

    void shouldReportKeysByPositionNotBySymbol()
    {
        QLineEdit target;
        KeyboardCapture capture;
        QSignalSpy spy(&capture, &KeyboardCapture::keyMessage);
        capture.start(&target);

        // Shift turns Alt's keysym into Meta and 'a' into 'A': the key code decides.
        QKeyEvent altPress(QEvent::KeyPress, Qt::Key_Meta, Qt::ShiftModifier, 64, 0xffe7, 0);
        QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier, 38, 0x41, 0, QStringLiteral("A"));
        QKeyEvent rightCtrl(QEvent::KeyRelease, Qt::Key_Control, Qt::ControlModifier, 105, 0xffe4, 0);
        QVERIFY(QCoreApplication::sendEvent(&target, &altPress));
        QVERIFY(QCoreApplication::sendEvent(&target, &letter));
        QVERIFY(QCoreApplication::sendEvent(&target, &rightCtrl));

        QTRY_COMPARE(spy.count(), 3);
        QCOMPARE(spy.at(0), QVariantList({ Down, quint8(0xA4) }));
        QCOMPARE(spy.at(1), QVariantList({ Down, quint8(0x41) }));
        QCOMPARE(spy.at(2), QVariantList({ Up, quint8(0xA3) }));
        QVERIFY(target.text().isEmpty());
    }

    void shouldDropAutoRepeat()
    {
        QLineEdit target;
        KeyboardCapture capture;
        QSignalSpy spy(&capture, &KeyboardCapture::keyMessage);
        capture.start(&target);
        QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, 38, 0x61, 0, QString(), true);
        QKeyEvent repeatPress(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 38, 0x61, 0, QStringLiteral("a"), true);
        QVERIFY(QCoreApplication::sendEvent(&target, &repeatRelease));
        QVERIFY(QCoreApplication::sendEvent(&target, &repeatPress));
        QCOMPARE(spy.count(), 0);
        QVERIFY(target.text().isEmpty());
    }

    void shouldDropReleaseAndPressOfOneMoment()
    {
        QLineEdit target;
        KeyboardCapture capture;
        QSignalSpy spy(&capture, &KeyboardCapture::keyMessage);
        capture.start(&target);
        const auto send = [&](QEvent::Type type, ulong time) {
            QKeyEvent key(type, Qt::Key_A, Qt::NoModifier, 38, 0x61, 0);
            key.setTimestamp(time);
            QCoreApplication::sendEvent(&target, &key);
        };
        send(QEvent::KeyPress, 1000);
        send(QEvent::KeyRelease, 1660);
        send(QEvent::KeyPress, 1660);
        send(QEvent::KeyRelease, 1700);
        send(QEvent::KeyPress, 1700);
        send(QEvent::KeyRelease, 1712);
        QTRY_COMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0), QVariantList({ Down, quint8(0x41) }));
        QCOMPARE(spy.at(1), QVariantList({ Up, quint8(0x41) }));

        // A new press of a later moment is a second stroke.
        send(QEvent::KeyPress, 1800);
        send(QEvent::KeyRelease, 1810);
        send(QEvent::KeyPress, 1820);
        QCOMPARE(spy.count(), 5);
        QCOMPARE(spy.at(3), QVariantList({ Up, quint8(0x41) }));
    }

    void shouldPassHeldReleaseOnStop()
    {
        QLineEdit target;
        KeyboardCapture capture;
        QSignalSpy spy(&capture, &KeyboardCapture::keyMessage);
        capture.start(&target);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier, 62, 0xffe2, 0);
        QCoreApplication::sendEvent(&target, &release);
        capture.stop();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0), QVariantList({ Up, quint8(0xA1) }));
    }

    void shouldSwallowKeyboardMenuAndShortcuts()
    {
        QLineEdit target;
        KeyboardCapture capture;
        capture.start(&target);

        QKeyEvent shortcut(QEvent::ShortcutOverride, Qt::Key_D, Qt::ControlModifier, 40, 0x64, 0);
        shortcut.ignore();
        QCoreApplication::sendEvent(&target, &shortcut);
        QVERIFY(shortcut.isAccepted());

        QContextMenuEvent keyboardMenu(QContextMenuEvent::Keyboard, QPoint(1, 1));
        QVERIFY(QCoreApplication::sendEvent(&target, &keyboardMenu));
    }

#endif
};

QTEST_MAIN(KeyCaptureTest)
#include "tst_keycapture.moc"
