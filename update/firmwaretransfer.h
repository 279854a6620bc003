// Writing a firmware image into the mouse's flash over the config channel: start, prepare, region, the image
// in 56-byte data packets, end of data, the length-and-CRC record, finish.
#ifndef FIRMWARETRANSFER_H
#define FIRMWARETRANSFER_H

#include <QByteArray>
#include <QString>
#include <QVector>

#include <functional>

struct DeviceContext;

constexpr quint32 FIRMWARE_BASE_ADDRESS = 0x08018000;

namespace FirmwareCommand {
constexpr quint8 Start = 0xDE;
constexpr quint8 Prepare = 0xD1;
constexpr quint8 SetRegion = 0xD2;
constexpr quint8 Data = 0xD3;
constexpr quint8 EndOfData = 0xD6;
constexpr quint8 ImageRecord = 0xD5;
constexpr quint8 Finish = 0xD7;
} // namespace FirmwareCommand

// CRC of the STM32 CRC unit (polynomial 0x04C11DB7, MSB first, no reflection, no final XOR), starting from
// `remainder`, over `nWords` words each fed from its most significant byte down.
quint32 stm32Crc32(const quint32 *words, uint nWords, quint32 remainder);
// The image's whole little-endian words; trailing bytes that do not fill a word are left out.
QVector<quint32> imageWords(const QByteArray &image);

class FirmwareTransfer
{
public:
    static constexpr int PacketSize = 63;
    static constexpr int DataPerPacket = 56;

    enum class Outcome {
        Finished,   // all data out, end of data accepted, record and finish sent
        DataFailed,   // a data packet before the last was refused: the transfer stopped there
        EndFailed,   // the end of data was refused: no record, finish still sent
    };

    explicit FirmwareTransfer(DeviceContext &context);

    // Called when the whole percentage of the image sent changes (after accepted full data packets, and once
    // all data is out): bytes sent so far and the status text.
    std::function<void(quint32 sent, const QString &status)> progress;
    // Called once all data is out and the end of data was accepted, before the finish command.
    std::function<void()> verified;

    Outcome run(const QByteArray &image);

    static QByteArray commandPacket(quint8 code);
    static QByteArray regionPacket();
    // Data packet `index` of the image (the last one padded with 0xFF).
    static QByteArray dataPacket(const QByteArray &image, int index);
    static QByteArray recordPacket(quint32 length, quint32 crc);
    static QByteArray finishPacket();
    // "正在升级固件...p%" with p the whole percentage of `sent` out of `total`.
    static QString statusText(quint32 sent, quint32 total);

private:
    int write(const QByteArray &packet);

    DeviceContext &device;
};

#endif
