#include "update/firmwaretransfer.h"

#include "device/devicecontext.h"

#include <QCoreApplication>
#include <QDebug>
#include <QtEndian>

#include <array>

namespace {

constexpr quint32 CrcPolynomial = 0x04C11DB7;

const std::array<quint32, 256> &crcTable()
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t {};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 value = i << 24;
            for (int bit = 0; bit < 8; ++bit)
                value = (value & 0x80000000u) ? (value << 1) ^ CrcPolynomial : value << 1;
            t[i] = value;
        }
        return t;
    }();
    return table;
}

void putBigEndian(QByteArray &packet, int at, quint32 value)
{
    qToBigEndian(value, reinterpret_cast<uchar *>(packet.data() + at));
}

} // namespace

quint32 stm32Crc32(const quint32 *words, uint nWords, quint32 remainder)
{
    const auto &table = crcTable();
    quint32 crc = remainder;
    for (uint i = 0; i < nWords; ++i) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            const quint8 byte = quint8(words[i] >> shift);
            crc = (crc << 8) ^ table[(crc >> 24) ^ byte];
        }
    }
    return crc;
}

QVector<quint32> imageWords(const QByteArray &image)
{
    QVector<quint32> words(image.size() / 4);
    for (int i = 0; i < words.size(); ++i)
        words[i] = qFromLittleEndian<quint32>(image.constData() + 4 * i);
    return words;
}

FirmwareTransfer::FirmwareTransfer(DeviceContext &context)
    : device(context)
{
}

QByteArray FirmwareTransfer::commandPacket(quint8 code)
{
    QByteArray packet(PacketSize, '\0');
    packet[0] = char(code);
    return packet;
}

QByteArray FirmwareTransfer::regionPacket()
{
    QByteArray packet = commandPacket(FirmwareCommand::SetRegion);
    packet[1] = char(0xFF);
    packet[2] = char(0x10);
    putBigEndian(packet, 3, FIRMWARE_BASE_ADDRESS);
    return packet;
}

QByteArray FirmwareTransfer::dataPacket(const QByteArray &image, int index)
{
    const int first = index * DataPerPacket;
    const int count = qBound(0, image.size() - first, DataPerPacket);
    QByteArray packet = commandPacket(FirmwareCommand::Data);
    packet[2] = char(count);
    putBigEndian(packet, 3, FIRMWARE_BASE_ADDRESS + quint32(first));
    packet.replace(7, DataPerPacket, image.mid(first, count) + QByteArray(DataPerPacket - count, char(0xFF)));
    return packet;
}

QByteArray FirmwareTransfer::recordPacket(quint32 length, quint32 crc)
{
    QByteArray packet = commandPacket(FirmwareCommand::ImageRecord);
    packet[2] = char(0x01);
    putBigEndian(packet, 3, FIRMWARE_BASE_ADDRESS);
    putBigEndian(packet, 7, length);
    putBigEndian(packet, 11, crc);
    return packet;
}

QByteArray FirmwareTransfer::finishPacket()
{
    QByteArray packet = commandPacket(FirmwareCommand::Finish);
    packet[4] = char(0x80);
    packet[6] = char(0x08);
    return packet;
}

QString FirmwareTransfer::statusText(quint32 sent, quint32 total)
{
    const quint64 percent = total ? quint64(sent) * 100 / total : 100;
    return QCoreApplication::translate("FirmwareTransfer", "正在升级固件...%1%").arg(percent);
}

int FirmwareTransfer::write(const QByteArray &packet)
{
    return device.WrtieConfig(PacketSize, reinterpret_cast<const unsigned char *>(packet.constData()));
}

FirmwareTransfer::Outcome FirmwareTransfer::run(const QByteArray &image)
{
    const quint32 total = quint32(image.size());
    // A macro upload closes the config channel; open it, so the transfer never writes on a closed one.
    device.OpenConfigDevice(TARNO_VENDOR_ID, TARNO_PRODUCT_ID);
    write(commandPacket(FirmwareCommand::Start));
    write(commandPacket(FirmwareCommand::Prepare));
    write(regionPacket());

    const int packets = qMax(1, (image.size() + DataPerPacket - 1) / DataPerPacket);
    quint64 shownPercent = 0;
    auto report = [&](quint32 sent) {
        const quint64 percent = total ? quint64(sent) * 100 / total : 100;
        // Only a new percentage changes what the user sees.
        if (!progress || percent == shownPercent)
            return;
        shownPercent = percent;
        progress(sent, statusText(sent, total));
    };
    for (int k = 0; k + 1 < packets; ++k) {
        if (write(dataPacket(image, k)) != 0) {
            qDebug() << "firmware transfer failed: data packet" << k + 1 << "of" << packets << "refused, address"
                     << Qt::hex << Qt::showbase << FIRMWARE_BASE_ADDRESS + quint32(k * DataPerPacket);
            device.CloseConfigDevice();
            return Outcome::DataFailed;
        }
        report(quint32(k + 1) * DataPerPacket);
    }
    // The library may report a short final packet as failed; the mouse judges the image by the record's CRC.
    if (const int result = write(dataPacket(image, packets - 1)))
        qDebug() << "last data packet: result" << result;
    report(total);

    if (write(commandPacket(FirmwareCommand::EndOfData)) != 0) {
        write(finishPacket());
        device.CloseConfigDevice();
        return Outcome::EndFailed;
    }
    const QVector<quint32> words = imageWords(image);
    write(recordPacket(total, stm32Crc32(words.constData(), uint(words.size()), 0xFFFFFFFF)));
    if (verified)
        verified();
    write(finishPacket());
    device.CloseConfigDevice();
    return Outcome::Finished;
}
