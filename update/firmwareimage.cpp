#include "update/firmwareimage.h"

#include <QCryptographicHash>
#include <QFile>

FirmwareImageRecord recordFirmwareImage(const QString &path, const QString &fileName, const QString &version,
                                        bool verifiedComplete)
{
    FirmwareImageRecord record { fileName, version, -1, {}, verifiedComplete };
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (file.open(QIODevice::ReadOnly) && hash.addData(&file) && file.error() == QFileDevice::NoError) {
        record.length = file.size();
        record.sha256 = hash.result();
    }
    return record;
}

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
