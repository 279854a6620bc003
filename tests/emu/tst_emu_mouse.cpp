// The emulated mouse's logic without files: checksum, memory text form, firmware transfer.

#include "mouse.h"
#include "mouse_memory.h"
#include "stm32_crc.h"

#include <QtTest>

using namespace tarno_emu;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const QByteArray &data) { return Bytes(data.begin(), data.end()); }

Command packet(std::initializer_list<std::uint8_t> head)
{
    Command command{};
    std::copy(head.begin(), head.end(), command.begin());
    return command;
}

void putBigEndian(Command &command, int offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        command[offset + i] = std::uint8_t(value >> (24 - 8 * i));
}

enum class Fault { None, BadChecksum, WrongLength, Gap, NoDataEnd, WrongRegion, DataBeforeRegion };

// The packets of one transfer as the program sends them, with one fault built in.
std::vector<Command> transferPackets(const Bytes &image, Fault fault)
{
    std::vector<Command> packets = {packet({FirmwareStart}), packet({FirmwarePrepare})};
    Command region = packet({FirmwareRegion, 0xFF, 0x10});
    putBigEndian(region, 3, fault == Fault::WrongRegion ? FirmwareBaseAddress + 0x100 : FirmwareBaseAddress);
    if (fault != Fault::DataBeforeRegion)
        packets.push_back(region);
    const std::size_t count = image.empty() ? 1 : (image.size() + FirmwareDataPerPacket - 1) / FirmwareDataPerPacket;
    for (std::size_t k = 0; k < count; ++k) {
        if (fault == Fault::Gap && k == 1)
            continue;
        const std::size_t first = k * FirmwareDataPerPacket;
        const std::size_t n = std::min<std::size_t>(FirmwareDataPerPacket, image.size() - first);
        Command data = packet({FirmwareData, 0x00, std::uint8_t(n)});
        putBigEndian(data, 3, std::uint32_t(FirmwareBaseAddress + first));
        std::fill(data.begin() + 7, data.begin() + 63, 0xFF);
        std::copy(image.begin() + first, image.begin() + first + n, data.begin() + 7);
        packets.push_back(data);
    }
    if (fault != Fault::NoDataEnd)
        packets.push_back(packet({FirmwareDataEnd}));
    Command record = packet({FirmwareRecord, 0x00, 0x01});
    putBigEndian(record, 3, FirmwareBaseAddress);
    putBigEndian(record, 7, std::uint32_t(image.size() + (fault == Fault::WrongLength ? 4 : 0)));
    const std::uint32_t crc = stm32Crc(image.data(), image.size());
    putBigEndian(record, 11, fault == Fault::BadChecksum ? crc ^ 1 : crc);
    packets.push_back(record);
    packets.push_back(packet({FirmwareFinish, 0x00, 0x00, 0x00, 0x80, 0x00, 0x08}));
    return packets;
}

Bytes imageWithVersion(std::size_t size, std::uint8_t major, std::uint8_t minor, std::uint8_t patch)
{
    Bytes image(size);
    for (std::size_t i = 0; i < size; ++i)
        image[i] = std::uint8_t(i * 7 + 3);
    const std::uint8_t header[] = {'Z', '3', '1', 'F', major, minor, patch};
    std::copy(header, header + std::min(size, sizeof header), image.begin());
    return image;
}

}

Q_DECLARE_METATYPE(Fault)

class TestEmuMouse : public QObject
{
    Q_OBJECT

private slots:
    void checksum_data();
    void checksum();
    void memoryTextRoundTrip();
    void rejectedLineKeepsFactoryValue_data();
    void rejectedLineKeepsFactoryValue();
    void firmwareTransfer_data();
    void firmwareTransfer();
    void imageWithoutHeaderKeepsVersion();
    void dataAfterAcceptedTransferStartsOver();
};

void TestEmuMouse::checksum_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<quint32>("crc");
    QTest::newRow("one word") << QByteArray::fromHex("78563412") << 0xDF8A8A2Bu;
    QTest::newRow("trailing byte outside") << QByteArray::fromHex("7856341299") << 0xDF8A8A2Bu;
    QTest::newRow("two words of text") << QByteArray("12345678") << 0xFEFC54F9u;
    QTest::newRow("empty") << QByteArray() << 0xFFFFFFFFu;
    QTest::newRow("less than a word") << QByteArray("abc") << 0xFFFFFFFFu;
}

void TestEmuMouse::checksum()
{
    QFETCH(QByteArray, data);
    QFETCH(quint32, crc);
    const Bytes bytes = bytesOf(data);
    QCOMPARE(stm32Crc(bytes.data(), bytes.size()), crc);
}

void TestEmuMouse::memoryTextRoundTrip()
{
    MouseMemory memory;
    memory.lightingMode = 6;
    memory.lightingSpeed = 8;
    memory.red = 255;
    memory.green = 0;
    memory.blue = 17;
    memory.dpiLevels = {1, 2, 3, 144, 100};
    memory.dpiCurrent = 3;
    memory.dpiAim = 144;
    memory.dpiHighest = 3;
    memory.reportRate = 8;
    memory.button(2) = {1, 0, 0x05, 0x04, {}};
    memory.button(9) = {2, 1, 3, 0, {{0x04, 0, 0x10, 0x00}, {0x04, 1, 0xFF, 0x01}, {0xE0, 0, 0, 0}}};
    memory.firmwareVersion = {2, 10, 255};
    memory.firmwareSize = 123456;
    memory.firmwareCrc = 0x0000ABCD;

    const std::string text = formatMemory(memory);
    QVERIFY(text.find("button9.macro=04001000 0401ff01 e0000000\n") != std::string::npos);
    QVERIFY(text.find("firmware.crc=0000abcd\n") != std::string::npos);
    MouseMemory parsed;
    QVERIFY(parseMemory(text, parsed));
    QVERIFY(parsed == memory);
}

void TestEmuMouse::rejectedLineKeepsFactoryValue_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("DPI value 0") << "dpi.level1=0";
    QTest::newRow("DPI value 145") << "dpi.aim=145";
    QTest::newRow("no lighting mode 5") << "lighting.mode=5";
    QTest::newRow("speed 9") << "lighting.speed=9";
    QTest::newRow("report rate 3") << "report_rate=3";
    QTest::newRow("level index 5") << "dpi.highest=5";
    QTest::newRow("byte overflow") << "lighting.red=256";
    QTest::newRow("negative") << "lighting.red=-1";
    QTest::newRow("short macro event") << "button3.macro=040010";
    QTest::newRow("version of two parts") << "firmware.version=1.2";
    QTest::newRow("unknown name") << "button10.func_id=1";
    QTest::newRow("no equals sign") << "lighting.mode";
}

void TestEmuMouse::rejectedLineKeepsFactoryValue()
{
    QFETCH(QString, line);
    MouseMemory parsed;
    parsed.red = 1;
    QVERIFY(!parseMemory(line.toStdString() + "\n", parsed));
    QVERIFY(parsed == MouseMemory());
}

void TestEmuMouse::firmwareTransfer_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("200 bytes") << 200 << Fault::None << true;
    QTest::newRow("one full packet") << 56 << Fault::None << true;
    QTest::newRow("57 bytes") << 57 << Fault::None << true;
    QTest::newRow("size not a multiple of 4") << 1001 << Fault::None << true;
    QTest::newRow("bad checksum") << 200 << Fault::BadChecksum << false;
    QTest::newRow("wrong length") << 200 << Fault::WrongLength << false;
    QTest::newRow("missing packet") << 200 << Fault::Gap << false;
    QTest::newRow("no end of data") << 200 << Fault::NoDataEnd << false;
    QTest::newRow("other region") << 200 << Fault::WrongRegion << false;
    QTest::newRow("no region") << 200 << Fault::DataBeforeRegion << false;
    QTest::newRow("empty image") << 0 << Fault::None << false;
    QTest::newRow("larger than the flash") << int(FirmwareCapacity) + 1 << Fault::None << false;
}

void TestEmuMouse::firmwareTransfer()
{
    QFETCH(int, size);
    QFETCH(Fault, fault);
    QFETCH(bool, accepted);
    const Bytes image = imageWithVersion(std::size_t(size), 3, 1, 4);
    MouseMemory memory;
    FirmwareReceiver receiver;
    bool sawAccepted = false;
    for (const Command &command : transferPackets(image, fault)) {
        const ConfigOutcome outcome = handleConfigCommand(memory, receiver, command);
        QVERIFY(outcome.reply.empty());
        sawAccepted = sawAccepted || outcome.firmwareAccepted;
    }
    QCOMPARE(sawAccepted, accepted);
    if (accepted) {
        QVERIFY(receiver.image() == image);
        QCOMPARE(memory.firmwareVersion, (std::array<std::uint8_t, 3>{3, 1, 4}));
        QCOMPARE(memory.firmwareSize, std::uint32_t(size));
        QCOMPARE(memory.firmwareCrc, stm32Crc(image.data(), image.size()));
    } else {
        QVERIFY(memory == MouseMemory());
    }
}

void TestEmuMouse::imageWithoutHeaderKeepsVersion()
{
    Bytes image = imageWithVersion(300, 9, 9, 9);
    image[0] = 'X';
    MouseMemory memory;
    memory.firmwareVersion = {1, 2, 3};
    FirmwareReceiver receiver;
    bool sawAccepted = false;
    for (const Command &command : transferPackets(image, Fault::None))
        sawAccepted = handleConfigCommand(memory, receiver, command).firmwareAccepted || sawAccepted;
    QVERIFY(sawAccepted);
    QCOMPARE(memory.firmwareVersion, (std::array<std::uint8_t, 3>{1, 2, 3}));
    QCOMPARE(memory.firmwareSize, 300u);
}

void TestEmuMouse::dataAfterAcceptedTransferStartsOver()
{
    const Bytes image = imageWithVersion(120, 2, 0, 0);
    MouseMemory memory;
    FirmwareReceiver receiver;
    for (const Command &command : transferPackets(image, Fault::None))
        handleConfigCommand(memory, receiver, command);
    // A second finish alone must not activate the same image again.
    const ConfigOutcome again = handleConfigCommand(memory, receiver, packet({FirmwareFinish}));
    QVERIFY(!again.firmwareAccepted);
}

QTEST_APPLESS_MAIN(TestEmuMouse)
#include "tst_emu_mouse.moc"
