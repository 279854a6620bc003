// The files of one resumable download: "<name>.tmp" collects the body, "<name>.tmp.validator" keeps the ETag
// (or Last-Modified) of the answer that began it, so that a resumed request can say If-Range and a file that
// changed on the server restarts from zero instead of being spliced onto the old part. The file's SHA-256 is taken
// as the bytes arrive: a part kept from an earlier attempt is read once when its resumption is accepted.
#ifndef PARTIALDOWNLOAD_H
#define PARTIALDOWNLOAD_H

#include "update/sha256.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

// The head of an answer, as far as resuming cares.
struct AnswerHead
{
    int status = 0;
    QByteArray contentRange;
    QByteArray etag;
    QByteArray lastModified;
    qint64 contentLength = -1;
};

class PartialDownload
{
public:
    enum class Verdict {
        Append,   // the body continues the temporary file
        Restart,   // the body is the whole file: the temporary file was emptied
        Refused,   // nothing of the body may be written
        Changed,   // a range of another version of the file, or a part that cannot be read: the part was removed;
                   // ask again from zero
    };

    explicit PartialDownload(const QString &fileName, const QDir &dir = QDir());

    QString fileName() const { return name; }
    QString finalPath() const;
    QString tempPath() const;
    QString validatorPath() const;

    // Removes a finished file of the same name and a temporary file that cannot be resumed; returns the offset
    // to request from. validator() is then what to send as If-Range (empty when starting from zero).
    qint64 prepare();
    qint64 offset() const { return requestedOffset; }
    QByteArray validator() const { return storedValidator; }

    // Judges the answer to the request prepared last. An error answer removes the temporary file when it
    // can no longer be resumed (the file or the range is gone, or the server answered a range not asked for).
    Verdict accept(const AnswerHead &head);
    bool judged() const { return verdictGiven; }
    bool accepted() const { return verdictGiven && (verdict == Verdict::Append || verdict == Verdict::Restart); }

    // Appends to the temporary file; false when it could not be written whole.
    bool append(const QByteArray &data);
    // Checks that the temporary file has the announced length and holds exactly the bytes hashed, and renames it
    // to the final name.
    bool complete();
    // After complete(): the server announced the file's length and the file has exactly that length.
    bool verifiedComplete() const { return lengthVerified; }
    // After complete(): the file's length and SHA-256.
    qint64 completedSize() const { return finalSize; }
    QByteArray sha256() const { return finalDigest; }

    static QByteArray rangeHeader(qint64 offset);
    // Start of "bytes a-b/c", or -1 when the value is not of that form.
    static qint64 rangeStart(const QByteArray &contentRange);
    // Total of "bytes a-b/c", or -1 when unknown.
    static qint64 rangeTotal(const QByteArray &contentRange);

private:
    void discard();
    // `emptied`: QIODevice::Truncate when the body starts the file anew.
    bool openPart(QIODevice::OpenMode emptied = {});
    bool storeValidator(const AnswerHead &head);
    bool matchesStoredValidator(const AnswerHead &head) const;
    bool hashPart();

    QString name;
    QDir folder;
    QFile part;   // the temporary file, open for appending between an accepted answer and complete()
    qint64 requestedOffset = 0;
    QByteArray storedValidator;
    bool verdictGiven = false;
    Verdict verdict = Verdict::Refused;
    qint64 expectedSize = -1;
    bool lengthVerified = false;
    Sha256 digest;   // of the temporary file's first hashedSize bytes
    qint64 hashedSize = 0;
    qint64 finalSize = -1;
    QByteArray finalDigest;
};

#endif
