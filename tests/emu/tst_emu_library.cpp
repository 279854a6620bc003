// The device library seen the way the program sees it: loaded by file name, driven through its ten entry
// points, with the mouse steered by the tarno-emu tool. The library reads TARNO_EMU_DIR at every call and
// starts afresh when it changes, so each test function gets its own folder and so its own mouse.

#include "device/tarno_api.h"
#include "mouse_memory.h"
#include "stm32_crc.h"

#include <QtTest>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString ToolPath = QStringLiteral(TARNO_BIN_DIR "/tarno-emu");

QByteArray padded(const QByteArray &bytes, int size)
{
    QByteArray result = bytes.left(size);
    result.append(QByteArray(size - result.size(), '\0'));
    return result;
}

QByteArray fromHex(const char *hex) { return QByteArray::fromHex(hex); }

void putBigEndian(QByteArray &packet, int offset, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        packet[offset + i] = char(value >> (24 - 8 * i));
}

QByteArray firmwareImage(int size, quint8 major, quint8 minor, quint8 patch)
{
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i)
        image[i] = char(i * 13 + 5);
    image.replace(0, 7, QByteArray("Z31F") + char(major) + char(minor) + char(patch));
    return image;
}

// The transfer packets as the program builds them, optionally without one data packet or with a wrong CRC.
QVector<QByteArray> transferPackets(const QByteArray &image, int skippedPacket = -1, bool badCrc = false)
{
    QVector<QByteArray> packets{padded(fromHex("de"), 63), padded(fromHex("d1"), 63),
                                padded(fromHex("d2ff1008018000"), 63)};
    for (int first = 0, k = 0; first < image.size(); first += 56, ++k) {
        const QByteArray piece = image.mid(first, 56);
        QByteArray data = padded(fromHex("d300"), 7) + piece + QByteArray(56 - piece.size(), '\xff');
        data[2] = char(piece.size());
        putBigEndian(data, 3, 0x08018000u + quint32(first));
        if (k != skippedPacket)
            packets.append(data);
    }
    packets.append(padded(fromHex("d6"), 63));
    QByteArray record = padded(fromHex("d50001"), 63);
    putBigEndian(record, 3, 0x08018000u);
    putBigEndian(record, 7, quint32(image.size()));
    const quint32 crc = tarno_emu::stm32Crc(reinterpret_cast<const std::uint8_t *>(image.constData()),
                                            std::size_t(image.size()));
    putBigEndian(record, 11, badCrc ? ~crc : crc);
    packets.append(record);
    packets.append(padded(fromHex("d7000000800008"), 63));
    return packets;
}

}

class TestEmuLibrary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void replyFraming_data();
    void replyFraming();
    void lightingRoundTrip_data();
    void lightingRoundTrip();
    void dpiRoundTrip_data();
    void dpiRoundTrip();
    void reportRateRoundTrip_data();
    void reportRateRoundTrip();
    void assignmentRoundTrip_data();
    void assignmentRoundTrip();
    void macroInChunks();
    void factoryReset();
    void nodePathIsStable();
    void unplugMakesHandlesStale();
    void callsOnClosedChannelsFail();
    void followsFolderChange();
    void failReadsCountdown_data();
    void failReadsCountdown();
    void failConfigWriteCountdown_data();
    void failConfigWriteCountdown();
    void persistsAcrossProcesses();
    void toolChangesReachRunningProgram();
    void firmwareAccepted();
    void firmwareRejected_data();
    void firmwareRejected();
    void captureLines();
    void pressDpiWraps();
    void toolRejectsBadArguments_data();
    void toolRejectsBadArguments();

private:
    QString nodePath() const { return dir->path() + QStringLiteral("/z31-hidraw"); }
    int tool(const QStringList &args, QByteArray *output = nullptr, QByteArray *errors = nullptr);
    QMap<QString, QString> keyValues(const QStringList &args);
    void openBoth();
    int writeControl(const QByteArray &command);
    QByteArray queryControl(const QByteArray &command);
    int writeConfig(const QByteArray &command, int length = 63);
    QByteArray queryConfig(const QByteArray &command, int length = 63);

    QLibrary library{QStringLiteral(TARNO_BIN_DIR "/tarno")};
    OpenDeviceFn OpenDevice = nullptr;
    CloseDeviceFn CloseDevice = nullptr;
    ReadControlFn ReadControl = nullptr;
    WrtieControlFn WrtieControl = nullptr;
    ReadDataFn ReadData = nullptr;
    OpenConfigDeviceFn OpenConfigDevice = nullptr;
    CloseConfigDeviceFn CloseConfigDevice = nullptr;
    ReadConfigFn ReadConfig = nullptr;
    WrtieConfigFn WrtieConfig = nullptr;
    ReadConfigDataFn ReadConfigData = nullptr;
    std::unique_ptr<QTemporaryDir> dir;
};

int TestEmuLibrary::tool(const QStringList &args, QByteArray *output, QByteArray *errors)
{
    QProcess process;
    process.start(ToolPath, args);
    if (!process.waitForFinished(10000))
        return -1;
    if (output)
        *output = process.readAllStandardOutput();
    if (errors)
        *errors = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QMap<QString, QString> TestEmuLibrary::keyValues(const QStringList &args)
{
    QByteArray output;
    const int exitCode = tool(args, &output);
    [&] { QCOMPARE(exitCode, 0); }();
    QMap<QString, QString> values;
    for (const QString &line : QString::fromUtf8(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        values.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
    return values;
}

void TestEmuLibrary::openBoth()
{
    QVERIFY(OpenDevice(TARNO_VENDOR_ID, TARNO_PRODUCT_ID));
    QCOMPARE(OpenConfigDevice(TARNO_VENDOR_ID, TARNO_PRODUCT_ID), 0);
}

int TestEmuLibrary::writeControl(const QByteArray &command)
{
    const QByteArray bytes = padded(command, TARNO_CONTROL_COMMAND_SIZE);
    return WrtieControl(bytes.size(), reinterpret_cast<const unsigned char *>(bytes.constData()));
}

QByteArray TestEmuLibrary::queryControl(const QByteArray &command)
{
    QByteArray reply(TARNO_CONTROL_REPLY_SIZE, '\0');
    if (writeControl(command) != 0 || !ReadData(reply.size(), reinterpret_cast<unsigned char *>(reply.data())))
        return QByteArray();
    return reply;
}

int TestEmuLibrary::writeConfig(const QByteArray &command, int length)
{
    const QByteArray bytes = padded(command, length);
    return WrtieConfig(length, reinterpret_cast<const unsigned char *>(bytes.constData()));
}

QByteArray TestEmuLibrary::queryConfig(const QByteArray &command, int length)
{
    QByteArray reply(TARNO_CONFIG_REPLY_SIZE, '\0');
    if (writeConfig(command, length) != 0
        || !ReadConfigData(reply.size(), reinterpret_cast<unsigned char *>(reply.data())))
        return QByteArray();
    return reply;
}

void TestEmuLibrary::initTestCase()
{
    QVERIFY2(library.load(), qPrintable(library.errorString()));
    OpenDevice = reinterpret_cast<OpenDeviceFn>(library.resolve("OpenDevice"));
    CloseDevice = reinterpret_cast<CloseDeviceFn>(library.resolve("CloseDevice"));
    ReadControl = reinterpret_cast<ReadControlFn>(library.resolve("ReadControl"));
    WrtieControl = reinterpret_cast<WrtieControlFn>(library.resolve("WrtieControl"));
    ReadData = reinterpret_cast<ReadDataFn>(library.resolve("ReadData"));
    OpenConfigDevice = reinterpret_cast<OpenConfigDeviceFn>(library.resolve("OpenConfigDevice"));
    CloseConfigDevice = reinterpret_cast<CloseConfigDeviceFn>(library.resolve("CloseConfigDevice"));
    ReadConfig = reinterpret_cast<ReadConfigFn>(library.resolve("ReadConfig"));
    WrtieConfig = reinterpret_cast<WrtieConfigFn>(library.resolve("WrtieConfig"));
    ReadConfigData = reinterpret_cast<ReadConfigDataFn>(library.resolve("ReadConfigData"));
    QVERIFY(OpenDevice && CloseDevice && ReadControl && WrtieControl && ReadData && OpenConfigDevice
            && CloseConfigDevice && ReadConfig && WrtieConfig && ReadConfigData);
}

void TestEmuLibrary::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    qputenv("TARNO_EMU_DIR", QFile::encodeName(dir->path()));
    QCOMPARE(tool({QStringLiteral("plug")}), 0);
}

void TestEmuLibrary::cleanup()
{
    CloseDevice();
    CloseConfigDevice();
    dir.reset();
}

void TestEmuLibrary::replyFraming_data()
{
    QTest::addColumn<bool>("config");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("lighting") << false << fromHex("a0") << 31 << fromHex("4da00000010300002bac39");
    QTest::newRow("DPI") << false << fromHex("c2") << 31 << fromHex("4dc2000f1f2f3f4f010704");
    QTest::newRow("report rate") << false << fromHex("c4") << 31 << fromHex("4dc40001");
    QTest::newRow("button 2") << false << fromHex("b002") << 31 << fromHex("4db0000200030000");
    QTest::newRow("button 9") << false << fromHex("b009") << 31 << fromHex("4db00009000a0000");
    QTest::newRow("firmware version") << true << fromHex("d0") << 1 << fromHex("57d0000100");
    QTest::newRow("macro events") << true << fromHex("f0020300") << 63 << fromHex("57f0000203");
}

void TestEmuLibrary::replyFraming()
{
    QFETCH(bool, config);
    QFETCH(QByteArray, command);
    QFETCH(int, length);
    QFETCH(QByteArray, expected);
    openBoth();
    const QByteArray reply = config ? queryConfig(command, length) : queryControl(command);
    QCOMPARE(reply.toHex(), padded(expected, config ? 64 : 32).toHex());
    unsigned char buffer[64];
    QCOMPARE(config ? ReadConfigData(64, buffer) : ReadData(32, buffer), 0);
}

void TestEmuLibrary::lightingRoundTrip_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("state");   // reply bytes 4 to 10
    QTest::newRow("breathing") << fromHex("a100020508000a141e") << fromHex("020500000a141e");
    QTest::newRow("frenzy") << fromHex("a10006010800ff00ff") << fromHex("06010000ff00ff");
    QTest::newRow("mode 5 ignored") << fromHex("a10005040800010203") << fromHex("01040000010203");
    QTest::newRow("speed 0 ignored") << fromHex("a10003000800010203") << fromHex("03030000010203");
    QTest::newRow("speed 9 ignored") << fromHex("a10004090800010203") << fromHex("04030000010203");
}

void TestEmuLibrary::lightingRoundTrip()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, state);
    openBoth();
    QCOMPARE(writeControl(command), 0);
    QCOMPARE(queryControl(fromHex("a0")).mid(4, 7).toHex(), state.toHex());
}

void TestEmuLibrary::dpiRoundTrip_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("state");   // reply bytes 3 to 10
    QTest::newRow("all values") << fromHex("c10102030490024803") << fromHex("0102030490024803");
    QTest::newRow("0 and 145 keep old values") << fromHex("c10091102030000004") << fromHex("0f1f102030000704");
    QTest::newRow("no level count chosen") << fromHex("c10a0b0c0d0e0305ff") << fromHex("0a0b0c0d0e030504");
    QTest::newRow("current above highest") << fromHex("c10f1f2f3f4f040701") << fromHex("0f1f2f3f4f010701");
    QTest::newRow("current index 5 ignored") << fromHex("c10f1f2f3f4f050704") << fromHex("0f1f2f3f4f010704");
}

void TestEmuLibrary::dpiRoundTrip()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, state);
    openBoth();
    QCOMPARE(writeControl(command), 0);
    QCOMPARE(queryControl(fromHex("c2")).mid(3, 8).toHex(), state.toHex());
}

void TestEmuLibrary::reportRateRoundTrip_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("stored");
    for (int code : {1, 2, 4, 8})
        QTest::addRow("code %d", code) << code << code;
    for (int code : {0, 3, 16, 255})
        QTest::addRow("code %d ignored", code) << code << 1;
}

void TestEmuLibrary::reportRateRoundTrip()
{
    QFETCH(int, code);
    QFETCH(int, stored);
    openBoth();
    QCOMPARE(writeControl(fromHex("c3") + char(code)), 0);
    QCOMPARE(int(quint8(queryControl(fromHex("c4")).at(3))), stored);
}

void TestEmuLibrary::assignmentRoundTrip_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("state");   // reply bytes 3 to 7 for the command's button
    QTest::newRow("disabled") << fromHex("b1020000") << fromHex("0200000000");
    QTest::newRow("right click") << fromHex("b1050002") << fromHex("0500020000");
    QTest::newRow("preset combination") << fromHex("b1030104") << fromHex("0301040000");
    QTest::newRow("custom combination") << fromHex("b1040100052b") << fromHex("040100052b");
    QTest::newRow("macro") << fromHex("b10902011e") << fromHex("0902011e00");
    QTest::newRow("function 11 ignored") << fromHex("b106000b") << fromHex("0600070000");
    QTest::newRow("combination 10 ignored") << fromHex("b106010a") << fromHex("0600070000");
    QTest::newRow("type 3 ignored") << fromHex("b1070301") << fromHex("0700080000");
    QTest::newRow("macro of 101 ignored") << fromHex("b108020065") << fromHex("0800090000");
}

void TestEmuLibrary::assignmentRoundTrip()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, state);
    openBoth();
    QCOMPARE(writeControl(command), 0);
    QCOMPARE(queryControl(fromHex("b0") + command.at(1)).mid(3, 5).toHex(), state.toHex());
}

void TestEmuLibrary::macroInChunks()
{
    openBoth();
    QByteArray events;
    for (int i = 0; i < tarno_emu::MaxMacroEvents; ++i)
        events += QByteArray(1, char(4 + i % 26)) + char(i % 2) + char(i) + char(i / 50);
    QCOMPARE(writeControl(fromHex("b1090201") + char(100)), 0);
    for (int first = 0; first < 100; first += 14) {
        const int n = qMin(14, 100 - first);
        QCOMPARE(writeConfig(fromHex("f109") + char(n) + char(first) + events.mid(4 * first, 4 * n)), 0);
    }
    QByteArray readBack;
    for (int first = 0; first < 100; first += 14) {
        const int n = qMin(14, 100 - first);
        const QByteArray reply = queryConfig(fromHex("f009") + char(n) + char(first));
        QCOMPARE(reply.size(), 64);
        readBack += reply.mid(6, 4 * n);
        QCOMPARE(reply.mid(6 + 4 * n).count('\0'), 58 - 4 * n);
    }
    QCOMPARE(readBack.toHex(), events.toHex());
    QCOMPARE(queryControl(fromHex("b009")).mid(4, 3).toHex(), QByteArray("020164"));
    const QString dumped = keyValues({QStringLiteral("dump")}).value(QStringLiteral("button9.macro"));
    QCOMPARE(dumped.split(QLatin1Char(' ')).size(), 100);
    QVERIFY(dumped.startsWith(QStringLiteral("04000000 05010100 ")));
}

void TestEmuLibrary::factoryReset()
{
    openBoth();
    QByteArray factoryDump;
    QCOMPARE(tool({QStringLiteral("dump")}, &factoryDump), 0);
    QCOMPARE(writeControl(fromHex("a10002050800010203")), 0);
    QCOMPARE(writeControl(fromHex("c10102030490024803")), 0);
    QCOMPARE(writeControl(fromHex("c302")), 0);
    QCOMPARE(writeControl(fromHex("b1020201")), 0);
    QCOMPARE(writeConfig(fromHex("f102010004000100")), 0);
    QByteArray changedDump;
    QCOMPARE(tool({QStringLiteral("dump")}, &changedDump), 0);
    QVERIFY(changedDump != factoryDump);

    QCOMPARE(writeControl(fromHex("ee")), 0);
    QByteArray resetDump;
    QCOMPARE(tool({QStringLiteral("dump")}, &resetDump), 0);
    QCOMPARE(resetDump, factoryDump);
    QCOMPARE(queryControl(fromHex("a0")).mid(4, 7).toHex(), QByteArray("010300002bac39"));
}

void TestEmuLibrary::nodePathIsStable()
{
    const tarno_char16 *first = OpenDevice(TARNO_VENDOR_ID, TARNO_PRODUCT_ID);
    QVERIFY(first);
    QCOMPARE(QString::fromUtf16(first), nodePath());
    const tarno_char16 *second = OpenDevice(TARNO_VENDOR_ID, TARNO_PRODUCT_ID);
    QCOMPARE(second, first);
    QCOMPARE(QString::fromUtf16(first), nodePath());
    QVERIFY(!OpenDevice(0x3044, 0x9D0A));
    QVERIFY(!OpenDevice(0x046D, TARNO_PRODUCT_ID));
}

void TestEmuLibrary::unplugMakesHandlesStale()
{
    openBoth();
    QVERIFY(!queryControl(fromHex("a0")).isEmpty());
    QCOMPARE(tool({QStringLiteral("unplug")}), 0);
    QVERIFY(!QFile::exists(nodePath()));
    QVERIFY(writeControl(fromHex("a0")) != 0);
    QVERIFY(writeConfig(fromHex("d0"), 1) != 0);
    QVERIFY(!OpenDevice(TARNO_VENDOR_ID, TARNO_PRODUCT_ID));
    QVERIFY(OpenConfigDevice(TARNO_VENDOR_ID, TARNO_PRODUCT_ID) != 0);

    QCOMPARE(tool({QStringLiteral("plug")}), 0);
    QVERIFY(writeControl(fromHex("a0")) != 0);
    QVERIFY(writeConfig(fromHex("d0"), 1) != 0);
    openBoth();
    QVERIFY(!queryControl(fromHex("a0")).isEmpty());
    QVERIFY(!queryConfig(fromHex("d0"), 1).isEmpty());
}

void TestEmuLibrary::callsOnClosedChannelsFail()
{
    unsigned char buffer[64];
    std::fill(buffer, buffer + 64, 0xAA);
    QVERIFY(writeControl(fromHex("a0")) != 0);
    QCOMPARE(ReadData(32, buffer), 0);
    QVERIFY(writeConfig(fromHex("d0"), 1) != 0);
    QCOMPARE(ReadConfigData(64, buffer), 0);

    openBoth();
    QCOMPARE(writeControl(fromHex("a0")), 0);
    QCOMPARE(writeConfig(fromHex("d0"), 1), 0);
    CloseDevice();
    CloseConfigDevice();
    QCOMPARE(ReadData(32, buffer), 0);
    QCOMPARE(ReadConfigData(64, buffer), 0);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(buffer), 64), QByteArray(64, '\xaa'));
}

void TestEmuLibrary::followsFolderChange()
{
    openBoth();
    QTemporaryDir other;
    qputenv("TARNO_EMU_DIR", QFile::encodeName(other.path()));
    QVERIFY(writeControl(fromHex("a0")) != 0);
    QVERIFY(!OpenDevice(TARNO_VENDOR_ID, TARNO_PRODUCT_ID));
    QCOMPARE(tool({QStringLiteral("plug")}), 0);
    QCOMPARE(QString::fromUtf16(OpenDevice(TARNO_VENDOR_ID, TARNO_PRODUCT_ID)),
             other.path() + QStringLiteral("/z31-hidraw"));
    QVERIFY(!queryControl(fromHex("a0")).isEmpty());
}

void TestEmuLibrary::failReadsCountdown_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("one") << 1;
    QTest::newRow("three") << 3;
}

void TestEmuLibrary::failReadsCountdown()
{
    QFETCH(int, count);
    openBoth();
    QCOMPARE(tool({QStringLiteral("fail-reads"), QString::number(count)}), 0);
    unsigned char buffer[64];
    for (int i = 0; i < count; ++i) {
        std::fill(buffer, buffer + 64, 0xAA);
        const bool onConfig = i % 2 == 1;
        QCOMPARE(onConfig ? writeConfig(fromHex("d0"), 1) : writeControl(fromHex("a0")), 0);
        QCOMPARE(onConfig ? ReadConfigData(64, buffer) : ReadData(32, buffer), 0);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(buffer), 64), QByteArray(64, '\xaa'));
    }
    // The reply of a failed read is lost, as after a real timeout.
    QCOMPARE(ReadData(32, buffer), 0);
    QCOMPARE(ReadConfigData(64, buffer), 0);
    QVERIFY(!queryControl(fromHex("a0")).isEmpty());
    QVERIFY(!queryConfig(fromHex("d0"), 1).isEmpty());
    QCOMPARE(keyValues({QStringLiteral("status")}).value(QStringLiteral("fail_reads")), QStringLiteral("0"));
}

void TestEmuLibrary::failConfigWriteCountdown_data()
{
    QTest::addColumn<int>("failing");
    QTest::newRow("next write") << 1;
    QTest::newRow("third write") << 3;
}

void TestEmuLibrary::failConfigWriteCountdown()
{
    QFETCH(int, failing);
    openBoth();
    QCOMPARE(tool({QStringLiteral("fail-config-write"), QString::number(failing)}), 0);
    for (int chunk = 1; chunk <= 4; ++chunk) {
        const QByteArray event = QByteArray(1, char(0x10 + chunk)) + fromHex("000a00");
        const int status = writeConfig(fromHex("f105") + char(1) + char(chunk - 1) + event);
        QCOMPARE(status != 0, chunk == failing);
    }
    const QByteArray reply = queryConfig(fromHex("f0050400"));
    QCOMPARE(reply.size(), 64);
    for (int chunk = 1; chunk <= 4; ++chunk) {
        const char usage = reply.at(6 + 4 * (chunk - 1));
        QCOMPARE(usage, chunk == failing ? '\0' : char(0x10 + chunk));
    }
}

void TestEmuLibrary::persistsAcrossProcesses()
{
    openBoth();
    QCOMPARE(writeControl(fromHex("a10004060800c80a64")), 0);
    QCOMPARE(writeControl(fromHex("c11011121314022003")), 0);
    QCOMPARE(writeControl(fromHex("c304")), 0);
    QCOMPARE(writeControl(fromHex("b10501000129")), 0);
    QCOMPARE(writeConfig(fromHex("f1060201") + fromHex("2c0032002c012c01")), 0);
    const QMap<QString, QString> memory = keyValues({QStringLiteral("dump")});
    const QMap<QString, QString> expected{
        {"lighting.mode", "4"}, {"lighting.speed", "6"}, {"lighting.red", "200"}, {"lighting.green", "10"},
        {"lighting.blue", "100"}, {"dpi.level1", "16"}, {"dpi.level5", "20"}, {"dpi.current", "2"},
        {"dpi.aim", "32"}, {"dpi.highest", "3"}, {"report_rate", "4"}, {"button5.func_type", "1"},
        {"button5.func_id", "0"}, {"button5.param1", "1"}, {"button5.param2", "41"},
        {"button6.macro", "00000000 2c003200 2c012c01"}, {"firmware.version", "1.0.0"}};
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(memory.value(it.key()), it.value());
}

void TestEmuLibrary::toolChangesReachRunningProgram()
{
    openBoth();
    QCOMPARE(writeControl(fromHex("a10002050800010203")), 0);
    QCOMPARE(queryControl(fromHex("a0")).at(4), '\x02');
    QCOMPARE(tool({QStringLiteral("reset")}), 0);
    QCOMPARE(queryControl(fromHex("a0")).mid(4, 7).toHex(), QByteArray("010300002bac39"));
}

void TestEmuLibrary::firmwareAccepted()
{
    openBoth();
    const QMap<QString, QString> before = keyValues({QStringLiteral("status")});
    const QByteArray image = firmwareImage(1001, 2, 3, 4);
    struct stat oldNode;
    QCOMPARE(stat(QFile::encodeName(nodePath()).constData(), &oldNode), 0);

    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    QVERIFY(watch >= 0);
    QVERIFY(inotify_add_watch(watch, QFile::encodeName(dir->path()).constData(), IN_CREATE | IN_DELETE | IN_MOVED_TO) >= 0);
    for (const QByteArray &packet : transferPackets(image))
        QCOMPARE(writeConfig(packet), 0);

    QStringList nodeEvents;
    alignas(inotify_event) char events[4096];
    const ssize_t length = read(watch, events, sizeof events);
    close(watch);
    for (ssize_t offset = 0; offset < length;) {
        const auto *event = reinterpret_cast<const inotify_event *>(events + offset);
        if (event->len && QByteArray(event->name) == "z31-hidraw")
            nodeEvents << ((event->mask & IN_DELETE) ? QStringLiteral("removed") : QStringLiteral("arrived"));
        offset += ssize_t(sizeof(inotify_event) + event->len);
    }
    QCOMPARE(nodeEvents, (QStringList{QStringLiteral("removed"), QStringLiteral("arrived")}));
    // A watcher that compares nodes by identity must see another device.
    struct stat newNode;
    QCOMPARE(stat(QFile::encodeName(nodePath()).constData(), &newNode), 0);
    QVERIFY(newNode.st_ino != oldNode.st_ino);

    const QMap<QString, QString> after = keyValues({QStringLiteral("status")});
    QCOMPARE(after.value(QStringLiteral("generation")).toInt(), before.value(QStringLiteral("generation")).toInt() + 1);
    QCOMPARE(after.value(QStringLiteral("plugged")), QStringLiteral("yes"));
    QCOMPARE(after.value(QStringLiteral("firmware")), QStringLiteral("2.3.4"));
    QVERIFY(writeConfig(fromHex("d0"), 1) != 0);
    QVERIFY(writeControl(fromHex("a0")) != 0);

    openBoth();
    QCOMPARE(queryConfig(fromHex("d0"), 1).mid(3, 3).toHex(), QByteArray("020304"));
    QFile active(dir->path() + QStringLiteral("/firmware.bin"));
    QVERIFY(active.open(QIODevice::ReadOnly));
    QCOMPARE(active.readAll(), image);
    const QMap<QString, QString> memory = keyValues({QStringLiteral("dump")});
    QCOMPARE(memory.value(QStringLiteral("firmware.size")), QStringLiteral("1001"));

    QCOMPARE(writeControl(fromHex("ee")), 0);
    QCOMPARE(queryConfig(fromHex("d0"), 1).mid(3, 3).toHex(), QByteArray("020304"));
}

void TestEmuLibrary::firmwareRejected_data()
{
    QTest::addColumn<int>("skippedPacket");
    QTest::addColumn<bool>("badCrc");
    QTest::newRow("bad CRC") << -1 << true;
    QTest::newRow("gap") << 2 << false;
}

void TestEmuLibrary::firmwareRejected()
{
    QFETCH(int, skippedPacket);
    QFETCH(bool, badCrc);
    openBoth();
    const QString generation = keyValues({QStringLiteral("status")}).value(QStringLiteral("generation"));
    for (const QByteArray &packet : transferPackets(firmwareImage(400, 9, 0, 0), skippedPacket, badCrc))
        QCOMPARE(writeConfig(packet), 0);
    const QMap<QString, QString> after = keyValues({QStringLiteral("status")});
    QCOMPARE(after.value(QStringLiteral("generation")), generation);
    QCOMPARE(after.value(QStringLiteral("firmware")), QStringLiteral("1.0.0"));
    QCOMPARE(queryConfig(fromHex("d0"), 1).mid(3, 3).toHex(), QByteArray("010000"));
    QVERIFY(!QFile::exists(dir->path() + QStringLiteral("/firmware.bin")));
}

void TestEmuLibrary::captureLines()
{
    const QString capturePath = dir->path() + QStringLiteral("/capture.txt");
    QCOMPARE(tool({QStringLiteral("capture"), capturePath}), 0);
    unsigned char buffer[64];
    std::fill(buffer, buffer + 64, 0xAA);
    QVERIFY(!OpenDevice(0x1234, 0x9D09));
    QVERIFY(OpenDevice(0x3044, 0x9D09));
    QCOMPARE(writeControl(fromHex("c4")), 0);
    QCOMPARE(ReadData(32, buffer), 1);
    std::fill(buffer, buffer + 64, 0xAA);
    QCOMPARE(ReadData(32, buffer), 0);
    QCOMPARE(ReadControl(32, buffer), 0);
    QCOMPARE(OpenConfigDevice(0x3044, 0x9D09), 0);
    QCOMPARE(writeConfig(fromHex("d0"), 1), 0);
    QCOMPARE(ReadConfigData(64, buffer), 1);
    QCOMPARE(ReadConfig(64, buffer), 0);
    QCOMPARE(CloseConfigDevice(), 0);
    QVERIFY(writeConfig(fromHex("d0"), 1) != 0);
    QCOMPARE(CloseDevice(), 0);
    QCOMPARE(tool({QStringLiteral("capture"), QStringLiteral("off")}), 0);
    QVERIFY(OpenDevice(0x3044, 0x9D09));

    const QString zeros = QStringLiteral(" 00");
    const QStringList expected{
        QStringLiteral("OpenDevice 1234 9d09 -> null"),
        QStringLiteral("OpenDevice 3044 9d09 -> ") + nodePath(),
        QStringLiteral("WrtieControl 31 c4") + zeros.repeated(30),
        QStringLiteral("ReadData 32 -> 1 4d c4 00 01") + zeros.repeated(28),
        QStringLiteral("ReadData 32 -> 0") + QStringLiteral(" aa").repeated(32),
        QStringLiteral("ReadControl 32"),
        QStringLiteral("OpenConfigDevice 3044 9d09"),
        QStringLiteral("WrtieConfig 1 d0 -> 0"),
        QStringLiteral("ReadConfigData 64 -> 1 57 d0 00 01") + zeros.repeated(60),
        QStringLiteral("ReadConfig 64"),
        QStringLiteral("CloseConfigDevice"),
        QStringLiteral("WrtieConfig 1 d0 -> -1"),
        QStringLiteral("CloseDevice"),
    };
    QFile capture(capturePath);
    QVERIFY(capture.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(capture.readAll()), expected.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void TestEmuLibrary::pressDpiWraps()
{
    openBoth();
    QCOMPARE(writeControl(fromHex("c10f1f2f3f4f000702")), 0);
    for (int expected : {1, 2, 0, 1}) {
        QCOMPARE(tool({QStringLiteral("press-dpi")}), 0);
        QCOMPARE(int(queryControl(fromHex("c2")).at(8)), expected);
    }
}

void TestEmuLibrary::toolRejectsBadArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("nothing") << QStringList();
    QTest::newRow("unknown command") << QStringList{"replug"};
    QTest::newRow("missing count") << QStringList{"fail-reads"};
    QTest::newRow("negative count") << QStringList{"fail-reads", "-1"};
    QTest::newRow("count with letters") << QStringList{"fail-config-write", "2x"};
    QTest::newRow("latency not a number") << QStringList{"latency", "fast"};
    QTest::newRow("extra argument") << QStringList{"plug", "now"};
    QTest::newRow("capture without file") << QStringList{"capture"};
}

void TestEmuLibrary::toolRejectsBadArguments()
{
    QFETCH(QStringList, args);
    QByteArray errors;
    QVERIFY(tool(args, nullptr, &errors) != 0);
    QVERIFY(errors.startsWith("usage: tarno-emu "));
}

QTEST_GUILESS_MAIN(TestEmuLibrary)
#include "tst_emu_library.moc"
