// What the update service recorded of a downloaded firmware image, and the check of the bytes about to be flashed
// against that record: only the very file the service completed and verified may reach the mouse.
#ifndef FIRMWAREIMAGE_H
#define FIRMWAREIMAGE_H

#include <QByteArray>
#include <QMetaType>
#include <QString>

struct FirmwareImageRecord
{
    QString fileName;
    QString version;   // "a.b.c" offered with it
    qint64 length = -1;
    QByteArray sha256;
    bool verifiedComplete = false;   // the server announced the length and the download reached it
};

enum class FirmwareImageProblem {
    None,
    Empty,
    Changed,   // not the file the download completed: changed, truncated, or no record of it
    NotVerified,   // the download was not verified complete
};

FirmwareImageProblem checkFirmwareImage(const QByteArray &image, const FirmwareImageRecord &record);

Q_DECLARE_METATYPE(FirmwareImageRecord)

#endif
