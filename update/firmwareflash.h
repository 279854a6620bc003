// One firmware transfer on a thread of its own, so that the window keeps answering for the minute a real flash
// takes. While it runs, nothing else may call the device library.
#ifndef FIRMWAREFLASH_H
#define FIRMWAREFLASH_H

#include "update/firmwaretransfer.h"

#include <QByteArray>
#include <QThread>

class FirmwareFlash : public QThread
{
    Q_OBJECT

public:
    FirmwareFlash(DeviceContext &context, const QByteArray &bytes, QObject *parent = nullptr);

    // Valid once finished() has been emitted.
    FirmwareTransfer::Outcome outcome() const { return result; }

signals:
    // From the transfer's thread, when the shown percentage changes: bytes sent and the status text.
    void progressed(int sent, const QString &status);

protected:
    void run() override;

private:
    DeviceContext &device;
    const QByteArray image;
    FirmwareTransfer::Outcome result = FirmwareTransfer::Outcome::DataFailed;
};

#endif
