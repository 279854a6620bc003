#include "device/devicecontext.h"
#include "device/deviceprotocol.h"
#include "device/devicesettings.h"
#include "device/mouselink.h"
#include "fakedevice.h"
#include "platform/devicepath.h"

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

    // The job, once the link's thread has entered it.
    MouseLink::Job job(const QVariant &result = true)
    {
        return [this, waited = future, result](DeviceContext &) {
            entry.set_value();
            waited.wait();
            return result;
        };
    }
    void waitUntilEntered() { entry.get_future().wait(); }
    void open() { promise.set_value(); }
};

MouseLink::Job answer(const QVariant &result)
{
    return [result](DeviceContext &) { return result; };
}

QByteArray command(std::initializer_list<int> head, int size)
{
    QByteArray bytes(size, '\0');
    int i = 0;
    for (int value : head)
        bytes[i++] = char(value);
    return bytes;
}

QStringList retryRound(const QString &close, const QString &open, const QString &write, const QString &read)
{
    return { close, open, write, read };
}

} // namespace

class DeviceProtocolTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        FakeDevice::install();
        deviceSettings = DeviceSettings();
        std::memset(deviceContext.commandBuffer, 0, sizeof deviceContext.commandBuffer);
        std::memset(deviceContext.devicePath, 0, sizeof deviceContext.devicePath);
    }

    void shouldRetryControlQueryWithReopen_data()
    {
        QTest::addColumn<int>("failures");
        QTest::addColumn<int>("rounds");
        QTest::addColumn<bool>("answered");
        QTest::newRow("first read answers") << 0 << 0 << true;
        QTest::newRow("second attempt answers") << 1 << 1 << true;
        QTest::newRow("last attempt answers") << 10 << 10 << true;
        QTest::newRow("never answers") << -1 << 10 << false;
    }
    void shouldRetryControlQueryWithReopen()
    {
        QFETCH(int, failures);
        QFETCH(int, rounds);
        QFETCH(bool, answered);
        FakeDevice::failReadsUntil = failures;
        FakeDevice::controlReply = command({ 0x4D, 0xC2, 0, 5 }, 32);

        quint8 query[31] = { 0xC2 };
        quint8 reply[32] = {};
        QCOMPARE(queryControl(query, reply), answered);

        QStringList expected = { "WrtieControl", "ReadData" };
        for (int i = 0; i < rounds; ++i)
            expected += retryRound("CloseDevice", "OpenDevice", "WrtieControl", "ReadData");
        QCOMPARE(FakeDevice::names(), expected);
        for (const QByteArray &written : FakeDevice::writes("WrtieControl"))
            QCOMPARE(written, command({ 0xC2 }, 31));
        QCOMPARE(reply[3], quint8(answered ? 5 : 0));
    }

    void shouldRetryConfigQueryWithReopen_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("failures");
        QTest::addColumn<int>("rounds");
        QTest::newRow("version request answers") << 1 << 0 << 0;
        QTest::newRow("macro read after three failures") << 63 << 3 << 3;
        QTest::newRow("never answers") << 63 << -1 << 10;
    }
    void shouldRetryConfigQueryWithReopen()
    {
        QFETCH(int, length);
        QFETCH(int, failures);
        QFETCH(int, rounds);
        FakeDevice::failReadsUntil = failures;

        quint8 query[64] = { 0xF0, 2, 14, 0 };
        quint8 reply[64] = {};
        queryConfig(query, length, reply);

        QStringList expected = { "WrtieConfig", "ReadConfigData" };
        for (int i = 0; i < rounds; ++i)
            expected += retryRound("CloseConfigDevice", "OpenConfigDevice", "WrtieConfig", "ReadConfigData");
        QCOMPARE(FakeDevice::names(), expected);
        for (const QByteArray &written : FakeDevice::writes("WrtieConfig"))
            QCOMPARE(written, QByteArray(reinterpret_cast<const char *>(query), length));
    }

    void shouldKeepInitialImagesWhenMouseNeverAnswers()
    {
        FakeDevice::failReadsUntil = -1;
        readSettingsBlocks(deviceSettings);
        readFirmwareVersion(deviceSettings);

        const DeviceSettings initial;
        QCOMPARE(QByteArray((const char *)deviceSettings.lighting, 32), QByteArray((const char *)initial.lighting, 32));
        QCOMPARE(QByteArray((const char *)deviceSettings.dpi, 32), QByteArray(32, '\0'));
        QCOMPARE(QByteArray((const char *)deviceSettings.reportRate, 32), QByteArray(32, '\0'));
        QCOMPARE(firmwareVersionText(deviceSettings), QStringLiteral("Version: 255.0.0"));
        QCOMPARE(publishedFirmwareVersion(), 0xFF0000u);
        QCOMPARE(deviceSettings.lighting[4], quint8(0));
        QCOMPARE(deviceSettings.lighting[5], quint8(1));

        // Four queries, eleven attempts each.
        QCOMPARE(FakeDevice::writes("WrtieControl").size(), 33);
        QCOMPARE(FakeDevice::writes("WrtieConfig").size(), 11);
        QCOMPARE(FakeDevice::names().count("CloseDevice"), 30);
        QCOMPARE(FakeDevice::names().count("CloseConfigDevice"), 10);
    }

    // On the contrary mouse a failed read leaves garbage in the caller's buffer: the blocks must not take it.
    void shouldKeepBlocksWhenLibraryLeavesGarbage_data()
    {
        QTest::addColumn<QByteArray>("garbage");
        QTest::newRow("zeros") << QByteArray("zeros");
        QTest::newRow("previous reply") << QByteArray("previous");
        QTest::newRow("random bytes") << QByteArray("random");
    }

    void shouldKeepBlocksWhenLibraryLeavesGarbage()
    {
        QFETCH(QByteArray, garbage);
        QTemporaryDir emuDir;
        QVERIFY(emuDir.isValid());
        qputenv("TARNO_EMU_DIR", emuDir.path().toLocal8Bit());
        qputenv("TARNO_CONTRARY_GARBAGE", garbage);
        qputenv("TARNO_CONTRARY_TIMEOUT_MS", "1");
        const auto emu = [](const QStringList &arguments) {
            return QProcess::execute(QStringLiteral(TARNO_BIN_DIR "/tarno-emu"), arguments);
        };
        QCOMPARE(emu({ "plug" }), 0);
        deviceContext.library.setFileName(QStringLiteral(TARNO_BIN_DIR "/libtarno-contrary.so"));
        QVERIFY2(deviceContext.library.load(), qPrintable(deviceContext.library.errorString()));
        QCOMPARE(resolveEntryPoints(deviceContext), QString());
        QVERIFY(openDevice());
        readSettingsBlocks(deviceSettings);
        readFirmwareVersion(deviceSettings);
        const DeviceSettings answered = deviceSettings;
        QCOMPARE(firmwareVersionText(answered), QStringLiteral("Version: 1.0.0"));
        QCOMPARE(publishedFirmwareVersion(), 0x010000u);

        QCOMPARE(emu({ "fail-reads", "1000" }), 0);
        readSettingsBlocks(deviceSettings);
        readFirmwareVersion(deviceSettings);
        QVERIFY(!readDpiState(deviceSettings));
        QCOMPARE(emu({ "fail-reads", "0" }), 0);

        QCOMPARE(QByteArray((const char *)deviceSettings.lighting, 32),
                 QByteArray((const char *)answered.lighting, 32));
        QCOMPARE(QByteArray((const char *)deviceSettings.dpi, 32), QByteArray((const char *)answered.dpi, 32));
        QCOMPARE(QByteArray((const char *)deviceSettings.reportRate, 32),
                 QByteArray((const char *)answered.reportRate, 32));
        QCOMPARE(QByteArray((const char *)deviceSettings.firmwareInfo, 64),
                 QByteArray((const char *)answered.firmwareInfo, 64));
        QCOMPARE(deviceSettings.currentDpiLevel, answered.currentDpiLevel);
        QCOMPARE(publishedFirmwareVersion(), 0x010000u);

        deviceContext.CloseConfigDevice();
        deviceContext.CloseDevice();
        qunsetenv("TARNO_EMU_DIR");
        qunsetenv("TARNO_CONTRARY_GARBAGE");
        qunsetenv("TARNO_CONTRARY_TIMEOUT_MS");
    }

    void shouldReadSettingsInOrderWithZeroedCommands()
    {
        FakeDevice::controlReply = command({ 0x4D, 0xC2, 0, 10, 20, 30, 40, 50, 3, 7, 4 }, 32);
        FakeDevice::configReply = command({ 0x57, 0xD0, 0, 1, 2, 3 }, 64);
        readSettingsBlocks(deviceSettings);
        readFirmwareVersion(deviceSettings);

        QCOMPARE(FakeDevice::names(),
                 QStringList({ "WrtieControl", "ReadData", "WrtieControl", "ReadData", "WrtieControl", "ReadData",
                               "OpenConfigDevice", "WrtieConfig", "ReadConfigData" }));
        QCOMPARE(FakeDevice::writes("WrtieControl"),
                 QList<QByteArray>({ command({ 0xA0 }, 31), command({ 0xC2 }, 31), command({ 0xC4 }, 31) }));
        QCOMPARE(FakeDevice::writes("WrtieConfig"), QList<QByteArray>({ command({ 0xD0 }, 1) }));
        QCOMPARE(deviceSettings.currentDpiLevel, quint8(3));
        QCOMPARE(firmwareVersionText(deviceSettings), QStringLiteral("Version: 1.2.3"));
        QCOMPARE(publishedFirmwareVersion(), 0x010203u);
    }

    void shouldSendFactoryResetAlone()
    {
        deviceContext.commandBuffer[5] = 0x77;   // the reset must not pick up the pages' buffer
        sendFactoryReset();
        QCOMPARE(FakeDevice::names(), QStringList({ "WrtieControl" }));
        QCOMPARE(FakeDevice::writes("WrtieControl").first(), command({ 0xEE }, 31));
    }

    void shouldKeepEarlierBytesOfCommandBuffer()
    {
        quint8 *buffer = deviceContext.commandBuffer;
        const quint8 dpi[] = { 0xC1, 15, 31, 47, 63, 79, 2, 7, 4 };
        std::memcpy(buffer, dpi, sizeof dpi);
        sendCommandBuffer();
        buffer[0] = 0xC3;
        buffer[1] = 8;
        sendCommandBuffer();

        const QList<QByteArray> sent = FakeDevice::writes("WrtieControl");
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent.at(1), command({ 0xC3, 8, 31, 47, 63, 79, 2, 7, 4 }, 31));
    }

    void shouldRecogniseRemovalOfOpenMouse_data()
    {
        QTest::addColumn<QString>("devicePath");
        QTest::addColumn<QString>("interfaceName");
        QTest::addColumn<bool>("matches");
        QTest::newRow("same path") << "/tmp/emu/z31-hidraw" << "/tmp/emu/z31-hidraw" << true;
        QTest::newRow("capitals in the stored path") << "\\\\?\\HID#VID_3044&PID_9D09#7&1"
                                                     << "\\\\?\\hid#vid_3044&pid_9d09#7&1#{4d1e55b2}" << true;
        QTest::newRow("capitals in both") << "/tmp/Emu/Z31" << "/TMP/EMU/Z31" << true;
        QTest::newRow("non-ASCII characters") << QString::fromUtf8("/tmp/Ému/设备/Z31")
                                              << QString::fromUtf8("/TMP/Ému/设备/z31") << true;
        QTest::newRow("another device") << "/tmp/emu/z31-hidraw" << "/dev/hidraw3" << false;
        QTest::newRow("no mouse open") << QString() << "/dev/hidraw3" << false;
        QTest::newRow("path lost in the code-page conversion")
            << QStringLiteral("") << "\\\\?\\hid#vid_3044&pid_9d09#7&1#{4d1e55b2}" << false;
    }
    // The mouse is opened with the path of the row (a null path: no mouse found); an empty path is no mouse.
    void shouldRecogniseRemovalOfOpenMouse()
    {
        QFETCH(QString, devicePath);
        QFETCH(QString, interfaceName);
        QFETCH(bool, matches);
        const std::u16string path = devicePath.toStdU16String();
        FakeDevice::openResult = devicePath.isNull() ? nullptr : path.c_str();
        const bool emptyPath = !devicePath.isNull() && devicePath.isEmpty();
        if (emptyPath)
            QTest::ignoreMessage(QtDebugMsg, "device path empty, mouse not opened");
        const bool opened = openDevice();
        FakeDevice::openResult = u"/dev/Fake-Z31";

        QCOMPARE(opened, !devicePath.isEmpty());
        QCOMPARE(deviceContext.deviceHandle != nullptr, opened);
        QCOMPARE(FakeDevice::names().contains("CloseDevice"), emptyPath);
        QCOMPARE(isOpenDeviceName(interfaceName, QByteArray(deviceContext.devicePath)), matches);
    }

    void shouldCapDevicePath_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("kept");
        QTest::newRow("short") << 40 << 40;
        QTest::newRow("fits exactly") << 511 << 511;
        QTest::newRow("one too long") << 512 << 511;
        QTest::newRow("far too long") << 4000 << 511;
    }
    void shouldCapDevicePath()
    {
        QFETCH(int, length);
        QFETCH(int, kept);
        QCOMPARE(capDevicePath(QByteArray(length, 'a')).size(), kept);
    }

    void shouldStoreOpenedPath()
    {
        FakeDevice::openResult = u"/dev/Fake-Z31";
        QVERIFY(openDevice());
        QCOMPARE(QByteArray(deviceContext.devicePath), QByteArray("/dev/Fake-Z31"));
        FakeDevice::openResult = nullptr;
        QVERIFY(!openDevice());
        QCOMPARE(deviceContext.deviceHandle, nullptr);
        FakeDevice::openResult = u"/dev/Fake-Z31";
    }

    // What the mouse is known to hold: its answers, overlaid with the settings commands sent since.
    void shouldKnowWhatTheMouseHolds_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<int>("block");   // 0 lighting, 1 DPI, 2 report rate
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("lighting") << command({ 0xA1, 0x55, 2, 5, 0x55, 0x55, 10, 20, 30 }, 31) << 0
                                  << command({ 0x4D, 0xA0, 0, 0, 2, 5, 0, 0, 10, 20, 30 }, 32);
        QTest::newRow("lighting mode out of range") << command({ 0xA1, 0, 5, 9, 0, 0, 1, 2, 3 }, 31) << 0
                                                    << command({ 0x4D, 0xA0, 0, 0, 1, 3, 0, 0, 1, 2, 3 }, 32);
        QTest::newRow("dpi") << command({ 0xC1, 15, 31, 47, 63, 79, 2, 7, 4 }, 31) << 1
                             << command({ 0x4D, 0xC2, 0, 15, 31, 47, 63, 79, 2, 7, 4 }, 32);
        QTest::newRow("dpi without a level count") << command({ 0xC1, 20, 31, 47, 63, 79, 0, 7, 0xFF }, 31) << 1
                                                   << command({ 0x4D, 0xC2, 0, 20, 31, 47, 63, 79, 0, 7, 4 }, 32);
        QTest::newRow("report rate") << command({ 0xC3, 8 }, 31) << 2 << command({ 0x4D, 0xC4, 0, 8 }, 32);
        QTest::newRow("report rate code 3") << command({ 0xC3, 3 }, 31) << 2 << command({ 0x4D, 0xC4, 0, 1 }, 32);
        QTest::newRow("button assignment") << command({ 0xB1, 2, 0, 3 }, 31) << 0
                                           << command({ 0x4D, 0xA0, 0, 0, 1, 3, 0, 0, 1, 2, 3 }, 32);
    }
    void shouldKnowWhatTheMouseHolds()
    {
        QFETCH(QByteArray, command);
        QFETCH(int, block);
        QFETCH(QByteArray, expected);
        FakeDevice::controlReply = ::command({ 0x4D, 0xA0, 0, 0, 1, 3, 0, 0, 1, 2, 3 }, 32);
        quint8 query[31] = { 0xA0 };
        quint8 reply[32] = {};
        QVERIFY(queryControl(query, reply));
        FakeDevice::controlReply = ::command({ 0x4D, 0xC2, 0, 15, 31, 47, 63, 79, 1, 7, 4 }, 32);
        query[0] = 0xC2;
        QVERIFY(queryControl(query, reply));
        FakeDevice::controlReply = ::command({ 0x4D, 0xC4, 0, 1 }, 32);
        query[0] = 0xC4;
        QVERIFY(queryControl(query, reply));

        writeControl(reinterpret_cast<const quint8 *>(command.constData()));
        const DeviceSettings &known = deviceContext.expected;
        const quint8 *blocks[] = { known.lighting, known.dpi, known.reportRate };
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(blocks[block]), 32), expected);
    }

    // The link runs every job on its own thread, one at a time, in the order asked.
    void shouldRunJobsInOrderOffTheAskingThread()
    {
        MouseLink link(deviceContext);
        QSignalSpy answered(&link, &MouseLink::answered);
        QList<Qt::HANDLE> threads;
        QList<quint64> ids;
        for (int i = 0; i < 3; ++i) {
            ids << link.request([i](DeviceContext &) { return QVariant::fromValue(QPair<int, quintptr>(i, quintptr(QThread::currentThreadId()))); });
        }
        QTRY_COMPARE(answered.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(answered.at(i).at(0).value<quint64>(), ids.at(i));
            const auto result = answered.at(i).at(1).value<QVariant>().value<QPair<int, quintptr>>();
            QCOMPARE(result.first, i);
            QVERIFY(result.second != quintptr(QThread::currentThreadId()));
        }
    }

    // Behind a slow mouse a waiting command gives way to a later one of its kind; nothing else is dropped, and
    // with a mouse that answers in time nothing at all (one click may ask for two commands at once).
    void shouldReplaceOnlyWaitingCommandsBehindASlowCall_data()
    {
        QTest::addColumn<bool>("slow");
        QTest::newRow("mouse answering in time") << false;
        QTest::newRow("call under way for long") << true;
    }
    void shouldReplaceOnlyWaitingCommandsBehindASlowCall()
    {
        QFETCH(bool, slow);
        MouseLink link(deviceContext);
        QSignalSpy answered(&link, &MouseLink::answered);
        QSignalSpy failed(&link, &MouseLink::failed);
        Gate gate;
        // Started before the call, so that it never says less than the call has lasted.
        QElapsedTimer hanging;
        hanging.start();
        const quint64 running = link.request(gate.job(), QStringLiteral("colour"));
        gate.waitUntilEntered();
        const quint64 first = link.request(answer(1), QStringLiteral("colour"));
        const quint64 second = link.request(answer(2), QStringLiteral("colour"));
        if (slow)
            QVERIFY(QTest::qWaitFor([&] { return hanging.elapsed() > MouseLink::SlowCallMs + 100; }));
        const quint64 other = link.request(answer(3), QStringLiteral("speed"));
        const quint64 last = link.request(answer(4), QStringLiteral("colour"));
        const bool tookLong = hanging.elapsed() >= MouseLink::SlowCallMs;
        gate.open();
        if (!slow && tookLong)
            QSKIP("this machine took longer to ask than a slow call lasts");
        const QList<quint64> order = slow ? QList<quint64> { running, other, last }
                                          : QList<quint64> { running, first, second, other, last };
        QTRY_COMPARE(answered.size(), order.size());
        for (int i = 0; i < order.size(); ++i)
            QCOMPARE(answered.at(i).at(0).value<quint64>(), order.at(i));
        QCOMPARE(failed.size(), slow ? 2 : 0);
        for (int i = 0; i < failed.size(); ++i) {
            QCOMPARE(failed.at(i).at(0).value<quint64>(), i == 0 ? first : second);
            QCOMPARE(failed.at(i).at(1).value<MouseLink::Failure>(), MouseLink::Failure::Replaced);
        }
    }

    // A mouse that leaves takes what was asked of it along, but a transfer's outcome still arrives.
    void shouldFailWhatWaitsWhenTheMouseLeaves_data()
    {
        QTest::addColumn<bool>("exclusive");
        QTest::newRow("request") << false;
        QTest::newRow("exclusive job") << true;
    }
    void shouldFailWhatWaitsWhenTheMouseLeaves()
    {
        QFETCH(bool, exclusive);
        MouseLink link(deviceContext);
        QSignalSpy answered(&link, &MouseLink::answered);
        QSignalSpy failed(&link, &MouseLink::failed);
        Gate gate;
        bool transferDone = false;
        const quint64 running = exclusive
            ? link.runExclusive(this, gate.job(), [&](const QVariant &) { transferDone = true; }, {})
            : link.request(gate.job());
        gate.waitUntilEntered();
        const quint64 waiting = link.request(answer(true));
        const quint64 unanswered = link.request(answer(QVariant()));
        link.cancelSession();
        const quint64 after = link.request(answer(QVariant()));
        gate.open();
        QTRY_COMPARE(answered.size() + failed.size(), 4);
        QCOMPARE(transferDone, exclusive);
        QMap<quint64, MouseLink::Failure> failures;
        for (const QList<QVariant> &signal : failed)
            failures.insert(signal.at(0).value<quint64>(), signal.at(1).value<MouseLink::Failure>());
        QCOMPARE(failures.value(waiting), MouseLink::Failure::NoMouse);
        QCOMPARE(failures.value(unanswered), MouseLink::Failure::NoMouse);
        QCOMPARE(failures.value(after), MouseLink::Failure::NoAnswer);
        QCOMPARE(failures.contains(running), !exclusive);
        QCOMPARE(answered.size(), exclusive ? 1 : 0);
    }

    // Quitting never waits for a call that hangs in the library.
    void shouldNotWaitForAHangingCallWhenQuitting()
    {
        Gate gate;
        {
            MouseLink link(deviceContext);
            QSignalSpy failed(&link, &MouseLink::failed);
            link.request(gate.job());
            gate.waitUntilEntered();
            const quint64 waiting = link.request(answer(true));
            QVERIFY(!link.shutdown(50));
            QVERIFY(deviceContext.abandoned);
            QTRY_COMPARE(failed.size(), 1);
            QCOMPARE(failed.at(0).at(0).value<quint64>(), waiting);
        }
        // The thread left behind ends once the call returns; it no longer reaches the link.
        gate.open();
    }
};

QTEST_GUILESS_MAIN(DeviceProtocolTest)
#include "tst_deviceprotocol.moc"
