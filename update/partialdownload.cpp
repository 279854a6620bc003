#include "update/partialdownload.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

constexpr int HttpOk = 200;
constexpr int HttpPartialContent = 206;

QRegularExpressionMatch matchContentRange(const QByteArray &contentRange)
{
    static const QRegularExpression pattern(QStringLiteral("^bytes\\s+(\\d+)-(\\d+)/(\\d+|\\*)$"));
    return pattern.match(QString::fromLatin1(contentRange.trimmed()));
}

bool isClientError(int status)
{
    return status >= 400 && status < 500;
}

}   // namespace

PartialDownload::PartialDownload(const QString &fileName, const QDir &dir)
    : name(fileName)
    , folder(dir)
{ }

QString PartialDownload::finalPath() const
{
    return folder.filePath(name);
}

QString PartialDownload::tempPath() const
{
    return folder.filePath(name + QStringLiteral(".tmp"));
}

QString PartialDownload::validatorPath() const
{
    return folder.filePath(name + QStringLiteral(".tmp.validator"));
}

QByteArray PartialDownload::rangeHeader(qint64 offset)
{
    return QByteArrayLiteral("bytes=") + QByteArray::number(offset) + '-';
}

qint64 PartialDownload::rangeStart(const QByteArray &contentRange)
{
    const QRegularExpressionMatch match = matchContentRange(contentRange);
    bool ok = false;
    const qint64 start = match.hasMatch() ? match.captured(1).toLongLong(&ok) : -1;
    return ok ? start : -1;
}

qint64 PartialDownload::rangeTotal(const QByteArray &contentRange)
{
    const QRegularExpressionMatch match = matchContentRange(contentRange);
    bool ok = false;
    const qint64 total = match.hasMatch() ? match.captured(3).toLongLong(&ok) : -1;
    return ok ? total : -1;
}

qint64 PartialDownload::prepare()
{
    part.close();
    verdictGiven = false;
    expectedSize = -1;
    lengthVerified = false;
    finalSize = -1;
    finalDigest.clear();
    requestedOffset = 0;
    storedValidator.clear();

    if (QFileInfo::exists(finalPath()) && !QFile::remove(finalPath()))
        qDebug() << "cannot remove" << finalPath();

    QFile validatorFile(validatorPath());
    if (validatorFile.open(QIODevice::ReadOnly))
        storedValidator = validatorFile.readAll().trimmed();

    QFile temp(tempPath());
    const qint64 partSize = temp.open(QIODevice::ReadOnly) ? temp.size() : 0;
    temp.close();
    // Without the validator of the answer that began it, a part cannot be told apart from another file's.
    if (partSize > 0 && !storedValidator.isEmpty())
        requestedOffset = partSize;
    else
        discard();
    if (requestedOffset == 0)
        storedValidator.clear();
    return requestedOffset;
}

PartialDownload::Verdict PartialDownload::accept(const AnswerHead &head)
{
    verdictGiven = true;
    verdict = Verdict::Refused;

    if (head.status == HttpOk || (head.status == HttpPartialContent && requestedOffset == 0)) {
        if (head.status == HttpPartialContent && rangeStart(head.contentRange) != 0) {
            discard();
            return verdict;
        }
        if (!openPart(QIODevice::Truncate))
            return verdict;
        digest.reset();
        hashedSize = 0;
        if (!storeValidator(head))
            qDebug() << "cannot keep the validator of" << name;
        expectedSize = head.status == HttpOk ? head.contentLength : rangeTotal(head.contentRange);
        verdict = requestedOffset > 0 ? Verdict::Restart : Verdict::Append;
        return verdict;
    }

    if (head.status == HttpPartialContent) {
        if (rangeStart(head.contentRange) != requestedOffset) {
            discard();
            return verdict;
        }
        // A server that ignores If-Range sends the tail of whatever it has now: joined to the old part it would
        // make a file that never existed.
        if (!matchesStoredValidator(head)) {
            discard();
            verdict = Verdict::Changed;
            return verdict;
        }
        if (!hashPart()) {
            discard();
            verdict = Verdict::Changed;
            return verdict;
        }
        expectedSize = rangeTotal(head.contentRange);
        if (openPart())
            verdict = Verdict::Append;
        return verdict;
    }

    // A server error may pass; a missing file or an unsatisfiable range will not.
    if (isClientError(head.status))
        discard();
    return verdict;
}

bool PartialDownload::append(const QByteArray &data)
{
    if (!accepted() || part.write(data) != data.size())
        return false;
    digest.addData(data);
    hashedSize += data.size();
    return true;
}

bool PartialDownload::complete()
{
    if (!accepted() || !QFileInfo::exists(tempPath()))
        return false;
    const qint64 size = QFileInfo(tempPath()).size();
    if (expectedSize >= 0 && size != expectedSize) {
        qDebug() << name << "ended at" << size << "of" << expectedSize << "bytes";
        return false;
    }
    // Written to by someone else, or a write that failed halfway: the digest is not the file's.
    if (size != hashedSize) {
        qDebug() << name << "holds" << size << "bytes, of which" << hashedSize << "were received";
        return false;
    }
    if (QFileInfo::exists(finalPath()) && !QFile::remove(finalPath()))
        return false;
    part.close();
    if (!QFile::rename(tempPath(), finalPath()))
        return false;
    QFile::remove(validatorPath());
    lengthVerified = expectedSize >= 0;
    finalSize = size;
    finalDigest = digest.result();
    return true;
}

void PartialDownload::discard()
{
    part.close();
    QFile::remove(tempPath());
    QFile::remove(validatorPath());
}

bool PartialDownload::openPart(QIODevice::OpenMode emptied)
{
    // Kept open while the body arrives: opening it for every piece cost a quarter as much as the writing.
    // Unbuffered, so that a write that fails (a full disk) fails append() at once.
    part.setFileName(tempPath());
    if (part.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered | emptied))
        return true;
    qDebug() << "cannot write" << tempPath() << part.errorString();
    return false;
}

bool PartialDownload::storeValidator(const AnswerHead &head)
{
    // If-Range needs a strong validator; a weak ETag would make every resume restart.
    const QByteArray value = !head.etag.isEmpty() && !head.etag.startsWith("W/") ? head.etag : head.lastModified;
    if (value.isEmpty()) {
        QFile::remove(validatorPath());
        return !QFileInfo::exists(validatorPath());
    }
    QSaveFile file(validatorPath());
    return file.open(QIODevice::WriteOnly) && file.write(value) == value.size() && file.commit();
}

bool PartialDownload::hashPart()
{
    // Once, before the rest arrives; what follows is hashed as it comes.
    digest.reset();
    hashedSize = 0;
    QFile temp(tempPath());
    if (!temp.open(QIODevice::ReadOnly) || temp.size() != requestedOffset || !digest.addData(&temp)) {
        qDebug() << "cannot read the part" << tempPath() << "of" << requestedOffset << "bytes";
        return false;
    }
    hashedSize = requestedOffset;
    return true;
}

bool PartialDownload::matchesStoredValidator(const AnswerHead &head) const
{
    // The validator kept is the strong ETag when there was one, else the Last-Modified date.
    const QByteArray current = storedValidator.startsWith('"') ? head.etag : head.lastModified;
    return !current.isEmpty() && current == storedValidator;
}
