// The firmware transfer's packets byte for byte, its progress and failure paths, and the STM32 CRC.
#include "device/devicecontext.h"
#include "fakedevice.h"
#include "update/firmwaretransfer.h"

#include <QtTest>

namespace {

QByteArray imageOf(int size)
{
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i)
        image[i] = char((i * 7 + 3) & 0xFF);
    return image;
}

QByteArray packet(std::initializer_list<int> leading)
{
    QByteArray bytes(63, '\0');
    int i = 0;
    for (int value : leading)
        bytes[i++] = char(value);
    return bytes;
}

// Data packet k as the mouse expects it, written out independently of the program's builder.
QByteArray expectedData(const QByteArray &image, int k)
{
    const int first = 56 * k;
    const int count = qMin(56, image.size() - first);
    const quint32 address = 0x08018000u + quint32(first);
    QByteArray bytes = packet({ 0xD3, 0x00, count, int(address >> 24), int(address >> 16 & 0xFF),
                                int(address >> 8 & 0xFF), int(address & 0xFF) });
    for (int i = 0; i < 56; ++i)
        bytes[7 + i] = i < count ? image.at(first + i) : char(0xFF);
    return bytes;
}

quint32 bigEndianAt(const QByteArray &bytes, int at)
{
    return quint32(quint8(bytes.at(at))) << 24 | quint32(quint8(bytes.at(at + 1))) << 16
        | quint32(quint8(bytes.at(at + 2))) << 8 | quint32(quint8(bytes.at(at + 3)));
}

quint32 crcOfBytes(const QByteArray &bytes)
{
    const QVector<quint32> words = imageWords(bytes);
    return stm32Crc32(words.constData(), uint(words.size()), 0xFFFFFFFF);
}

} // namespace

class tst_FirmwareTransfer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void sendsImageInPackets_data();
    void sendsImageInPackets();
    void reportsProgress_data();
    void reportsProgress();
    void stopsAtFailingDataPacket();
    void goesOnAfterFailingLastDataPacket();
    void skipsRecordWhenEndOfDataFails();
    void crcVectors_data();
    void crcVectors();
    void recordCarriesLengthAndCrc();
};

void tst_FirmwareTransfer::init()
{
    FakeDevice::install();
}

void tst_FirmwareTransfer::sendsImageInPackets_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("dataPackets");
    for (const auto &[size, packets] : { std::pair { 0, 1 }, { 56, 1 }, { 57, 2 }, { 112, 2 }, { 200, 4 },
                                         { 1000, 18 } })
        QTest::addRow("%d bytes", size) << size << packets;
}

void tst_FirmwareTransfer::sendsImageInPackets()
{
    QFETCH(int, size);
    QFETCH(int, dataPackets);
    const QByteArray image = imageOf(size);

    bool verified = false;
    FirmwareTransfer transfer(deviceContext);
    transfer.verified = [&] { verified = true; };
    QCOMPARE(transfer.run(image), FirmwareTransfer::Outcome::Finished);
    QVERIFY(verified);

    QStringList expectedNames { "OpenConfigDevice" };
    for (int i = 0; i < 3 + dataPackets + 3; ++i)
        expectedNames << "WrtieConfig";
    expectedNames << "CloseConfigDevice";
    QCOMPARE(FakeDevice::names(), expectedNames);

    const QList<QByteArray> writes = FakeDevice::writes("WrtieConfig");
    QCOMPARE(writes.at(0), packet({ 0xDE }));
    QCOMPARE(writes.at(1), packet({ 0xD1 }));
    QCOMPARE(writes.at(2), packet({ 0xD2, 0xFF, 0x10, 0x08, 0x01, 0x80, 0x00 }));
    for (int k = 0; k < dataPackets; ++k)
        QCOMPARE(writes.at(3 + k), expectedData(image, k));
    QCOMPARE(writes.at(3 + dataPackets), packet({ 0xD6 }));

    const QByteArray record = writes.at(4 + dataPackets);
    QCOMPARE(record.left(7), packet({ 0xD5, 0x00, 0x01, 0x08, 0x01, 0x80, 0x00 }).left(7));
    QCOMPARE(bigEndianAt(record, 7), quint32(size));
    QCOMPARE(bigEndianAt(record, 11), crcOfBytes(image));
    QCOMPARE(record.mid(15), QByteArray(63 - 15, '\0'));

    QCOMPARE(writes.at(5 + dataPackets), packet({ 0xD7, 0x00, 0x00, 0x00, 0x80, 0x00, 0x08 }));
}

void tst_FirmwareTransfer::reportsProgress_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<quint32>>("values");

    const QString p = QStringLiteral("正在升级固件...");
    QTest::newRow("0") << 0 << QStringList { p + "100%" } << QList<quint32> { 0 };
    QTest::newRow("56") << 56 << QStringList { p + "100%" } << QList<quint32> { 56 };
    QTest::newRow("57") << 57 << QStringList { p + "98%", p + "100%" } << QList<quint32> { 56, 57 };
    QTest::newRow("112") << 112 << QStringList { p + "50%", p + "100%" } << QList<quint32> { 56, 112 };
    QTest::newRow("200") << 200 << QStringList { p + "28%", p + "56%", p + "84%", p + "100%" }
                         << QList<quint32> { 56, 112, 168, 200 };
    // 200 packets, each percentage reached by two of them: shown once, when it changes.
    QStringList halves;
    QList<quint32> halfValues;
    for (int percent = 1; percent < 100; ++percent) {
        halves << p + QString::number(percent) + "%";
        halfValues << quint32(112 * percent);
    }
    QTest::newRow("11200") << 11200 << halves + QStringList { p + "100%" } << halfValues + QList<quint32> { 11200 };
}

void tst_FirmwareTransfer::reportsProgress()
{
    QFETCH(int, size);
    QFETCH(QStringList, texts);
    QFETCH(QList<quint32>, values);

    QStringList seenTexts;
    QList<quint32> seenValues;
    FirmwareTransfer transfer(deviceContext);
    transfer.progress = [&](quint32 sent, const QString &status) {
        seenValues << sent;
        seenTexts << status;
    };
    transfer.run(imageOf(size));
    QCOMPARE(seenTexts, texts);
    QCOMPARE(seenValues, values);
}

void tst_FirmwareTransfer::stopsAtFailingDataPacket()
{
    FakeDevice::configWriteResults = { 0, 0, 0, 0, 1 };   // start, prepare, region, packet 1, packet 2 fails
    QStringList texts;
    bool verified = false;
    FirmwareTransfer transfer(deviceContext);
    transfer.progress = [&](quint32, const QString &status) { texts << status; };
    transfer.verified = [&] { verified = true; };
    // The log names the packet.
    QTest::ignoreMessage(QtDebugMsg, "firmware transfer failed: data packet 2 of 4 refused, address 0x8018038");

    QCOMPARE(transfer.run(imageOf(200)), FirmwareTransfer::Outcome::DataFailed);
    QVERIFY(!verified);
    QCOMPARE(texts, QStringList { QStringLiteral("正在升级固件...28%") });
    const QList<QByteArray> writes = FakeDevice::writes("WrtieConfig");
    QCOMPARE(writes.size(), 5);
    QCOMPARE(quint8(writes.at(3).at(0)), quint8(0xD3));
    QCOMPARE(quint8(writes.at(4).at(0)), quint8(0xD3));
    QCOMPARE(FakeDevice::names().last(), QStringLiteral("CloseConfigDevice"));
}

void tst_FirmwareTransfer::goesOnAfterFailingLastDataPacket()
{
    FakeDevice::configWriteResults = { 0, 0, 0, 0, 5 };   // the second and last packet of 57 bytes "fails"
    bool verified = false;
    FirmwareTransfer transfer(deviceContext);
    transfer.verified = [&] { verified = true; };

    // Its result is not examined: the mouse judges the image by the record's CRC.
    QCOMPARE(transfer.run(imageOf(57)), FirmwareTransfer::Outcome::Finished);
    QVERIFY(verified);
    QList<quint8> codes;
    for (const QByteArray &write : FakeDevice::writes("WrtieConfig"))
        codes << quint8(write.at(0));
    QCOMPARE(codes, (QList<quint8> { 0xDE, 0xD1, 0xD2, 0xD3, 0xD3, 0xD6, 0xD5, 0xD7 }));
    QCOMPARE(FakeDevice::names().last(), QStringLiteral("CloseConfigDevice"));
}

void tst_FirmwareTransfer::skipsRecordWhenEndOfDataFails()
{
    FakeDevice::configWriteResults = { 0, 0, 0, 0, 0, 3 };   // two data packets of 100 bytes, then 0xD6 fails
    bool verified = false;
    FirmwareTransfer transfer(deviceContext);
    transfer.verified = [&] { verified = true; };

    QCOMPARE(transfer.run(imageOf(100)), FirmwareTransfer::Outcome::EndFailed);
    QVERIFY(!verified);
    QList<quint8> codes;
    for (const QByteArray &write : FakeDevice::writes("WrtieConfig"))
        codes << quint8(write.at(0));
    QCOMPARE(codes, (QList<quint8> { 0xDE, 0xD1, 0xD2, 0xD3, 0xD3, 0xD6, 0xD7 }));
    QCOMPARE(FakeDevice::names().last(), QStringLiteral("CloseConfigDevice"));
}

void tst_FirmwareTransfer::crcVectors_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<quint32>("crc");

    QTest::newRow("one word 0x12345678") << QByteArray::fromHex("78563412") << 0xDF8A8A2Bu;
    QTest::newRow("fifth byte outside") << QByteArray::fromHex("7856341299") << 0xDF8A8A2Bu;
    QTest::newRow("12345678 as two words") << QByteArray("12345678") << 0xFEFC54F9u;
    QTest::newRow("empty") << QByteArray() << 0xFFFFFFFFu;
    QTest::newRow("three bytes") << QByteArray::fromHex("010203") << 0xFFFFFFFFu;
}

void tst_FirmwareTransfer::crcVectors()
{
    QFETCH(QByteArray, image);
    QFETCH(quint32, crc);
    QCOMPARE(crcOfBytes(image), crc);
}

void tst_FirmwareTransfer::recordCarriesLengthAndCrc()
{
    const QByteArray record = FirmwareTransfer::recordPacket(1000, 0xDF8A8A2B);
    QCOMPARE(record.mid(7, 4), QByteArray::fromHex("000003E8"));
    QCOMPARE(record.mid(11, 4), QByteArray::fromHex("DF8A8A2B"));

    FirmwareTransfer(deviceContext).run(QByteArray());
    const QByteArray emptyRecord = FakeDevice::writes("WrtieConfig").at(5);
    QCOMPARE(emptyRecord.mid(7, 8), QByteArray::fromHex("00000000FFFFFFFF"));
}

QTEST_GUILESS_MAIN(tst_FirmwareTransfer)
#include "tst_firmwaretransfer.moc"
