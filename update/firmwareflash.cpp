#include "update/firmwareflash.h"

FirmwareFlash::FirmwareFlash(DeviceContext &context, const QByteArray &bytes, QObject *parent)
    : QThread(parent)
    , device(context)
    , image(bytes)
{ }

void FirmwareFlash::run()
{
    FirmwareTransfer transfer(device);
    transfer.progress = [this](quint32 sent, const QString &status) { emit progressed(int(sent), status); };
    result = transfer.run(image);
}
