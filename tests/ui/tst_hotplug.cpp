// Plug-in and plug-out reaching the main window through the device-node watcher, on the emulated mouse.
#include "device/devicecontext.h"
#include "device/mouse.h"
#include "device/mouselink.h"
#include "platform/posix/nodewatcher.h"
#include "ui/mainwindow.h"
#include "ui/nav_bar.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <future>

namespace {

// Holds the link's thread in a job until opened, as a library call that takes its time would.
struct Gate
{
    std::promise<void> entry;
    std::promise<void> promise;
    std::shared_future<void> future = promise.get_future().share();

    MouseLink::Job job()
    {
        return [this, waited = future](DeviceContext &) {
            entry.set_value();
            waited.wait();
            return QVariant(true);
        };
    }
    void waitUntilEntered() { entry.get_future().wait(); }
    void open() { promise.set_value(); }
};

// Lets the link end what was asked of it, and what its answers asked in turn (a close, an open, then reads).
bool settle(MouseLink &link)
{
    for (int round = 0; round < 4; ++round) {
        QEventLoop idle;
        QTimer::singleShot(10000, &idle, [&idle] { idle.exit(1); });
        // A close or an open fails what waits: that is an end too.
        link.ask(
            &idle, [](DeviceContext &) { return QVariant(true); }, [&idle](const QVariant &) { idle.exit(0); },
            [&idle](MouseLink::Failure) { idle.exit(0); });
        if (idle.exec() != 0)
            return false;
    }
    return true;
}

bool touch(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

QList<DeviceChange> changesOf(const QSignalSpy &spy)
{
    QList<DeviceChange> changes;
    for (const QList<QVariant> &args : spy)
        changes << args.at(0).value<DeviceChange>();
    return changes;
}

QString describe(const QList<DeviceChange> &changes)
{
    QStringList lines;
    for (const DeviceChange &change : changes)
        lines << (change.kind == DeviceChange::Arrival ? QStringLiteral("in ") : QStringLiteral("out "))
                + change.interfaceName;
    return lines.join(QLatin1Char('\n'));
}

} // namespace

class tst_HotPlug : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void watcherFollowsNodes();
    void watcherPicksUpFolderCreatedLater();
    void watcherSeesReplacedNode();
    void mousePluggedAndUnplugged();
    void otherDeviceArrivesAndLeaves();
    void changesDuringACall_data();
    void changesDuringACall();

private:
    bool emu(const QStringList &args);
    QStringList captured() const;

    QTemporaryDir root;
    QString emuDir;
    QString capturePath;
    int testNumber = 0;
};

void tst_HotPlug::initTestCase()
{
    QVERIFY(root.isValid());
    deviceContext.library.setFileName(QStringLiteral(TARNO_BIN_DIR "/libtarno.so"));
    QVERIFY2(deviceContext.library.load(), qPrintable(deviceContext.library.errorString()));
    QCOMPARE(resolveEntryPoints(deviceContext), QString());
}

void tst_HotPlug::init()
{
    // A folder per test, created by the tool only when the test plugs the mouse.
    emuDir = root.filePath(QStringLiteral("emu%1/mouse").arg(++testNumber));
    capturePath = root.filePath(QStringLiteral("capture%1.txt").arg(testNumber));
    qputenv("TARNO_EMU_DIR", QFile::encodeName(emuDir));
    // The window's own watcher follows the node it is told to.
    qputenv("TARNO_DEVICE_NODES", QFile::encodeName(emuDir + QStringLiteral("/z31-hidraw")));
    std::memset(deviceContext.devicePath, 0, sizeof deviceContext.devicePath);
}

void tst_HotPlug::cleanup()
{
    qunsetenv("TARNO_EMU_DIR");
    qunsetenv("TARNO_DEVICE_NODES");
}

bool tst_HotPlug::emu(const QStringList &args)
{
    QProcess tool;
    tool.start(QStringLiteral(TARNO_BIN_DIR "/tarno-emu"), args);
    if (!tool.waitForFinished(10000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        qWarning() << "tarno-emu" << args << tool.readAllStandardError();
        return false;
    }
    return true;
}

QStringList tst_HotPlug::captured() const
{
    QFile file(capturePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void tst_HotPlug::watcherFollowsNodes()
{
    const QString dev = root.filePath(QStringLiteral("dev%1").arg(testNumber));
    QVERIFY(QDir().mkpath(dev));
    QVERIFY(touch(dev + QStringLiteral("/hidraw0")));

    NodeWatcher watcher({ { dev, { QStringLiteral("hidraw*") } } });
    QCOMPARE(watcher.nodes(), QStringList { dev + QStringLiteral("/hidraw0") });
    QSignalSpy changes(&watcher, &NodeWatcher::deviceChanged);

    QVERIFY(touch(dev + QStringLiteral("/event3")));
    QVERIFY(touch(dev + QStringLiteral("/hidraw1")));
    QTRY_COMPARE(changes.count(), 1);
    QCOMPARE(describe(changesOf(changes)), QStringLiteral("in ") + dev + QStringLiteral("/hidraw1"));
    QCOMPARE(changesOf(changes).first().deviceType, 5u);

    QVERIFY(QFile::remove(dev + QStringLiteral("/hidraw0")));
    QTRY_COMPARE(changes.count(), 2);
    QCOMPARE(describe(changesOf(changes).mid(1)), QStringLiteral("out ") + dev + QStringLiteral("/hidraw0"));
}

void tst_HotPlug::watcherPicksUpFolderCreatedLater()
{
    const QString dir = root.filePath(QStringLiteral("later%1/a/b").arg(testNumber));
    NodeWatcher watcher({ { dir, { QStringLiteral("z31-hidraw") } } });
    QVERIFY(watcher.nodes().isEmpty());
    QSignalSpy changes(&watcher, &NodeWatcher::deviceChanged);

    QVERIFY(QDir().mkpath(dir));
    QTRY_COMPARE(watcher.watchedDirectories(), QStringList { dir });
    QVERIFY(touch(dir + QStringLiteral("/z31-hidraw")));
    QTRY_COMPARE(describe(changesOf(changes)), QStringLiteral("in ") + dir + QStringLiteral("/z31-hidraw"));

    // The whole folder going away takes the node with it.
    QVERIFY(QDir(root.filePath(QStringLiteral("later%1").arg(testNumber))).removeRecursively());
    QTRY_COMPARE(changes.count(), 2);
    QCOMPARE(changesOf(changes).at(1).kind, DeviceChange::Removal);
    QVERIFY(!watcher.watchedDirectories().contains(dir));
}

void tst_HotPlug::watcherSeesReplacedNode()
{
    const QString dev = root.filePath(QStringLiteral("dev%1").arg(testNumber));
    QVERIFY(QDir().mkpath(dev));
    const QString node = dev + QStringLiteral("/hidraw2");
    QVERIFY(touch(node));
    NodeWatcher watcher({ { dev, { QStringLiteral("hidraw*") } } });
    QSignalSpy changes(&watcher, &NodeWatcher::deviceChanged);

    // Replaced before the watcher looks again: one device left and another came under the same name.
    QVERIFY(touch(dev + QStringLiteral("/next")));
    QVERIFY(QFile::remove(node));
    QVERIFY(QFile::rename(dev + QStringLiteral("/next"), node));
    QTRY_COMPARE(changes.count(), 2);
    QCOMPARE(describe(changesOf(changes)), QStringLiteral("out %1\nin %1").arg(node));
}

void tst_HotPlug::mousePluggedAndUnplugged()
{
    MouseLink link(deviceContext);
    Mouse mouse(link);
    TARNO_Gaming window(mouse);
    auto *pages = window.findChild<QStackedWidget *>(QStringLiteral("pageStack"));
    auto *nav = window.findChild<Nav_Bar *>(QStringLiteral("navBar"));
    auto *reset = window.findChild<QPushButton *>(QStringLiteral("resetButton"));
    window.showNoDeviceLayout();
    window.show();
    QTRY_VERIFY(pages->isVisible());
    QCOMPARE(pages->currentIndex(), 0);

    QVERIFY(emu({ QStringLiteral("capture"), capturePath }));
    QVERIFY(emu({ QStringLiteral("plug") }));
    QTRY_VERIFY(mouse.connected());
    QCOMPARE(pages->currentIndex(), 1);
    QVERIFY(nav->isVisible());
    QVERIFY(reset->isEnabled());
    QCOMPARE(QString::fromLocal8Bit(deviceContext.devicePath), emuDir + QStringLiteral("/z31-hidraw"));

    QTRY_VERIFY(captured().filter(QStringLiteral("WrtieConfig 1 d0"), Qt::CaseInsensitive).size() == 1);
    const QStringList plugIn = captured();
    QVERIFY2(!plugIn.isEmpty(), "nothing captured");
    QVERIFY(plugIn.first().startsWith(QStringLiteral("OpenDevice 3044 9d09 -> /"), Qt::CaseInsensitive));
    for (const QString &query : { QStringLiteral("WrtieControl 31 a0"), QStringLiteral("WrtieControl 31 c2"),
                                  QStringLiteral("WrtieControl 31 c4"), QStringLiteral("WrtieConfig 1 d0") }) {
        QVERIFY2(plugIn.filter(query, Qt::CaseInsensitive).size() == 1, qPrintable(query));
    }

    QVERIFY(emu({ QStringLiteral("unplug") }));
    QTRY_VERIFY(!mouse.connected());
    QCOMPARE(pages->currentIndex(), 0);
    QVERIFY(!nav->isVisible());
    QVERIFY(!reset->isEnabled());
    QTRY_VERIFY(captured().contains(QStringLiteral("CloseDevice")));

    // Back again: the same running window picks it up once more.
    QVERIFY(emu({ QStringLiteral("plug") }));
    QTRY_VERIFY(mouse.connected());
    QCOMPARE(pages->currentIndex(), 1);
}

void tst_HotPlug::otherDeviceArrivesAndLeaves()
{
    MouseLink link(deviceContext);
    Mouse mouse(link);
    TARNO_Gaming window(mouse);
    auto *pages = window.findChild<QStackedWidget *>(QStringLiteral("pageStack"));
    window.showNoDeviceLayout();
    window.show();

    // Other HID devices come and go in a folder of their own.
    const QString dev = root.filePath(QStringLiteral("dev%1").arg(testNumber));
    QVERIFY(QDir().mkpath(dev));
    NodeWatcher others({ { dev, { QStringLiteral("hidraw*") } } });
    connect(&others, &NodeWatcher::deviceChanged, &window, &TARNO_Gaming::handleDeviceChange);
    QSignalSpy otherChanges(&others, &NodeWatcher::deviceChanged);

    QVERIFY(emu({ QStringLiteral("capture"), capturePath }));
    QVERIFY(touch(dev + QStringLiteral("/hidraw4")));
    QTRY_COMPARE(otherChanges.count(), 1);
    QTRY_COMPARE(captured().filter(QStringLiteral("OpenDevice")),
                 QStringList { QStringLiteral("OpenDevice 3044 9d09 -> null") });
    QVERIFY(!mouse.connected());
    QCOMPARE(pages->currentIndex(), 0);

    QVERIFY(emu({ QStringLiteral("plug") }));
    QTRY_VERIFY(mouse.connected());
    const int callsBefore = captured().size();

    QVERIFY(QFile::remove(dev + QStringLiteral("/hidraw4")));
    QTRY_COMPARE(otherChanges.count(), 2);
    QVERIFY(mouse.connected());
    QCOMPARE(pages->currentIndex(), 1);
    QVERIFY(!captured().mid(callsBefore).contains(QStringLiteral("CloseDevice")));
}

// Changes that come while a call holds the link: the mouse ends as its node shows, and no open meets a channel
// still open (each successful open after the first follows a close of both channels).
void tst_HotPlug::changesDuringACall_data()
{
    QTest::addColumn<bool>("openFirst");
    QTest::addColumn<QStringList>("changes");
    QTest::newRow("plug, unplug and plug while opening") << false << QStringList { "in", "out", "in" };
    QTest::newRow("unplug, plug and unplug while opening") << true << QStringList { "out", "in", "out" };
}

void tst_HotPlug::changesDuringACall()
{
    QFETCH(bool, openFirst);
    QFETCH(QStringList, changes);
    const QString node = emuDir + QStringLiteral("/z31-hidraw");
    // Only the test reports changes here.
    qputenv("TARNO_DEVICE_NODES", QFile::encodeName(root.filePath(QStringLiteral("none"))));
    QVERIFY(emu({ QStringLiteral("capture"), capturePath }));
    QVERIFY(emu({ openFirst ? QStringLiteral("plug") : QStringLiteral("unplug") }));
    MouseLink link(deviceContext);
    Mouse mouse(link);
    TARNO_Gaming window(mouse);
    if (openFirst) {
        mouse.open();
        QTRY_VERIFY(mouse.connected());
        QVERIFY(settle(link));
    }

    Gate gate;
    link.request(gate.job());
    gate.waitUntilEntered();
    for (const QString &change : changes) {
        const bool in = change == QStringLiteral("in");
        QVERIFY(emu({ in ? QStringLiteral("plug") : QStringLiteral("unplug") }));
        window.handleDeviceChange({ in ? DeviceChange::Arrival : DeviceChange::Removal, 5, node });
    }
    gate.open();
    QVERIFY(settle(link));
    const bool plugged = changes.last() == QStringLiteral("in");
    QCOMPARE(mouse.connected(), plugged);
    if (!plugged) {
        // The next plug-in is not taken for a removal still pending.
        QVERIFY(emu({ QStringLiteral("plug") }));
        window.handleDeviceChange({ DeviceChange::Arrival, 5, node });
        QVERIFY(settle(link));
        QVERIFY(mouse.connected());
    }

    const QStringList lines = captured();
    int opens = 0;
    bool closed = true;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i) == QStringLiteral("CloseDevice") && lines.value(i + 1) == QStringLiteral("CloseConfigDevice"))
            closed = true;
        if (lines.at(i).startsWith(QStringLiteral("OpenDevice 3044 9d09 -> /"), Qt::CaseInsensitive)) {
            QVERIFY2(closed,
                     qPrintable(QStringLiteral("open %1 without a close before it:\n").arg(opens + 1)
                                + lines.join(QLatin1Char('\n'))));
            closed = false;
            ++opens;
        }
    }
    QVERIFY(opens >= 2);
}

QTEST_MAIN(tst_HotPlug)
#include "tst_hotplug.moc"
