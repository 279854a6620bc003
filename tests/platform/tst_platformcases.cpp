// The Linux build's side of the cases that the Windows layer's test program meets under Wine: the same key
// strokes, broadcast records and device paths through the code this build runs must give the same results.
#include "buttons/keyhook.h"
#include "platform/devicechange.h"
#include "platform/devicepath.h"
#include "platform/keyboardcapture.h"
#include "platform/keymessages.h"
#include "platform/posix/privatefolder.h"
#include "tests/platform/platformcases.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <pwd.h>
#include <unistd.h>

using namespace PlatformCases;

namespace {

struct Message
{
    unsigned message;
    int vk;
    bool operator==(const Message &other) const { return message == other.message && vk == other.vk; }
};

char *describe(const QVector<Message> &messages)
{
    QStringList parts;
    for (const Message &m : messages)
        parts << QStringLiteral("%1/%2").arg(m.message, 0, 16).arg(m.vk, 0, 16);
    return QTest::toString(parts.join(QLatin1Char(' ')));
}

} // namespace

namespace QTest {
template<>
char *toString(const QVector<Message> &messages)
{
    return describe(messages);
}
} // namespace QTest

class tst_PlatformCases : public QObject
{
    Q_OBJECT

private slots:
    void keysThroughTheCapture_data();
    void keysThroughTheCapture();
    void broadcastRecords_data();
    void broadcastRecords();
    void devicePathInCodePage936_data();
    void devicePathInCodePage936();
    void privateFolders_data();
    void privateFolders();
};

void tst_PlatformCases::keysThroughTheCapture_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(keyCases().size()); ++i)
        QTest::newRow(keyCases()[std::size_t(i)].name) << i;
}

// Each stroke as the X server reports it, by key code, to the keyboard capture: what the capture hands on must
// be what the Windows hook received for the same stroke (the system variants of the messages aside), and the
// editor's and the recorder's rules must come to the same results. Keys without an X key code never arrive.
void tst_PlatformCases::keysThroughTheCapture()
{
    QFETCH(int, index);
    const KeyCase &keyCase = keyCases()[std::size_t(index)];

    QLineEdit target;
    KeyboardCapture capture;
    QSignalSpy spy(&capture, &KeyboardCapture::keyMessage);
    capture.start(&target);
    QVector<Message> expected;
    ulong time = 1000;
    for (std::size_t i = 0; i < keyCase.strokes.size(); ++i) {
        const KeyStroke &stroke = keyCase.strokes[i];
        if (stroke.key.xKeycode == 0)
            continue;
        expected << Message { keyCase.messages[i].message & ~KeyMessage::SystemBit, keyCase.messages[i].vk };
        // A moment apart each, so that nothing looks like auto-repeat.
        time += 100;
        QKeyEvent key(stroke.up ? QEvent::KeyRelease : QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                      stroke.key.xKeycode, 0, 0);
        key.setTimestamp(time);
        QCoreApplication::sendEvent(&target, &key);
    }
    // Ending the capture hands on a release it still holds back.
    capture.stop();

    QVector<Message> reported;
    for (const QList<QVariant> &arguments : spy)
        reported << Message { arguments.at(0).toUInt(), int(arguments.at(1).value<quint8>()) };
    QCOMPARE(reported, expected);

    ComboKeyTracker combo;
    std::uint8_t modifiers = 0;
    std::uint8_t vkeyCode = 0;
    int updates = 0;
    MacroKeyTracker macro;
    macro.start();
    QVector<Message> recorded;
    for (const Message &m : reported) {
        if (combo.apply(m.message, std::uint8_t(m.vk), modifiers, vkeyCode))
            ++updates;
        if (const auto key = macro.apply(m.message, std::uint8_t(m.vk)))
            recorded << Message { key->up ? KeyMessage::KeyUp : KeyMessage::KeyDown, key->vk };
    }
    QCOMPARE(int(modifiers), int(keyCase.modifiers));
    QCOMPARE(int(vkeyCode), int(keyCase.vkeyCode));
    QCOMPARE(updates, keyCase.editorUpdates);
    QVector<Message> expectedRecorded;
    for (const RecordedKey &key : keyCase.recorded)
        expectedRecorded << Message { key.up ? KeyMessage::KeyUp : KeyMessage::KeyDown, key.vk };
    QCOMPARE(recorded, expectedRecorded);
}

void tst_PlatformCases::broadcastRecords_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(broadcastCases().size()); ++i)
        QTest::newRow(broadcastCases()[std::size_t(i)].name) << i;
}

void tst_PlatformCases::broadcastRecords()
{
    QFETCH(int, index);
    const BroadcastCase &broadcast = broadcastCases()[std::size_t(index)];

    const void *record = broadcast.record.empty() ? nullptr : broadcast.record.data();
    const std::optional<DeviceChange> change = parseDeviceBroadcast(broadcast.event, record, broadcast.record.size());
    QCOMPARE(change.has_value(), broadcast.reported);
    if (!change)
        return;
    QCOMPARE(change->kind == DeviceChange::Arrival, broadcast.arrival);
    QCOMPARE(change->deviceType, broadcast.deviceType);
    QCOMPARE(change->interfaceName, QString::fromStdU16String(broadcast.interfaceName));
}

void tst_PlatformCases::devicePathInCodePage936_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(pathCases().size()); ++i)
        QTest::newRow(pathCases()[std::size_t(i)].name) << i;
}

// This build converts with the locale's codec; with GBK as that codec it must keep what Windows keeps in code
// page 936.
void tst_PlatformCases::devicePathInCodePage936()
{
    QFETCH(int, index);
    const PathCase &pathCase = pathCases()[std::size_t(index)];

    QTextCodec *gbk = QTextCodec::codecForName("GBK");
    QVERIFY(gbk);
    QTextCodec *previous = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(gbk);
    const auto *path = reinterpret_cast<const tarno_char16 *>(pathCase.path.c_str());
    const QByteArray kept = capDevicePath(systemCodePagePath(path));
    QTextCodec::setCodecForLocale(previous);

    QCOMPARE(kept.toHex(), QByteArray::fromStdString(pathCase.cp936).toHex());
}

void tst_PlatformCases::privateFolders_data()
{
    // What the runtime folder is, what the fallback is ("" for missing), and what comes of it.
    QTest::addColumn<QString>("runtime");
    QTest::addColumn<QString>("fallback");
    QTest::addColumn<QString>("chosen");   // "runtime" or "fallback"
    QTest::addColumn<int>("problem");
    QTest::newRow("runtime folder of the user's own") << "private"
                                                      << "private"
                                                      << "runtime" << 0;
    QTest::newRow("runtime folder open to others") << "open"
                                                   << ""
                                                   << "fallback" << 0;
    QTest::newRow("runtime folder a symbolic link") << "link"
                                                    << ""
                                                    << "fallback" << 0;
    QTest::newRow("runtime folder of another user") << "other"
                                                    << ""
                                                    << "fallback" << 0;
    QTest::newRow("no runtime folder, fallback open to others")
        << "none"
        << "open"
        << "fallback" << int(LocalUser::MeetingFolder::OpenToOthers);
    QTest::newRow("no runtime folder, fallback another user's")
        << "none"
        << "other"
        << "fallback" << int(LocalUser::MeetingFolder::OtherOwner);
    QTest::newRow("no runtime folder, fallback a symbolic link")
        << "none"
        << "link"
        << "fallback" << int(LocalUser::MeetingFolder::SymbolicLink);
}

void tst_PlatformCases::privateFolders()
{
    QFETCH(QString, runtime);
    QFETCH(QString, fallback);
    QFETCH(QString, chosen);
    QFETCH(int, problem);
    const passwd *nobody = ::getpwnam("nobody");
    if ((runtime == "other" || fallback == "other") && (::geteuid() != 0 || !nobody))
        QSKIP("needs root and the user nobody, to give a folder away");
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const auto make = [&](const QString &kind, const QString &name) {
        const QString path = root.filePath(name);
        if (kind == "link") {
            QDir(root.path()).mkdir("target");
            QFile::setPermissions(root.filePath("target"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QFile::link(root.filePath("target"), path);
        } else if (!kind.isEmpty() && kind != "none") {
            QDir(root.path()).mkdir(name);
            QFile::setPermissions(path,
                                  kind == "open" ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                          | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther
                                                 : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            if (kind == "other" && ::chown(QFile::encodeName(path).constData(), nobody->pw_uid, nobody->pw_gid) != 0)
                return QString();
        }
        return path;
    };
    const QString runtimePath = make(runtime, "runtime");
    const QString fallbackPath = make(fallback, "fallback");
    QVERIFY(!runtimePath.isEmpty() && !fallbackPath.isEmpty());

    const LocalUser::MeetingFolder found = firstPrivateFolder({ runtimePath }, fallbackPath);
    QCOMPARE(found.path, chosen == "runtime" ? runtimePath : fallbackPath);
    QCOMPARE(int(found.problem), problem);
    // A fallback this user made is private.
    if (fallback.isEmpty())
        QCOMPARE(QFileInfo(fallbackPath).permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QTEST_MAIN(tst_PlatformCases)
#include "tst_platformcases.moc"
