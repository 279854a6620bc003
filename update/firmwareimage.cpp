#include "update/firmwareimage.h"

#include <QCryptographicHash>

FirmwareImageProblem checkFirmwareImage(const QByteArray &image, const FirmwareImageRecord &record)
{
    if (image.isEmpty())
        return FirmwareImageProblem::Empty;
    if (record.length < 0 || image.size() != record.length
        || QCryptographicHash::hash(image, QCryptographicHash::Sha256) != record.sha256)
        return FirmwareImageProblem::Changed;
    if (!record.verifiedComplete)
        return FirmwareImageProblem::NotVerified;
    return FirmwareImageProblem::None;
}
