// What a resumable download does with each kind of answer, on its files alone.
#include "update/partialdownload.h"

#include <QtTest>

namespace {

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class tst_PartialDownload : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void preparesResume_data();
    void preparesResume();
    void judgesAnswer_data();
    void judgesAnswer();
    void keepsValidatorOfFirstAnswer_data();
    void keepsValidatorOfFirstAnswer();
    void completesOnlyWhole();
    void parsesContentRange_data();
    void parsesContentRange();

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<PartialDownload> download;
};

void tst_PartialDownload::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    download = std::make_unique<PartialDownload>(QStringLiteral("Z31_USB.bin"), QDir(dir->path()));
}

void tst_PartialDownload::preparesResume_data()
{
    QTest::addColumn<int>("partSize");
    QTest::addColumn<QByteArray>("validator");
    QTest::addColumn<qint64>("offset");
    QTest::addColumn<QByteArray>("range");

    QTest::newRow("nothing yet") << -1 << QByteArray() << qint64(0) << QByteArray("bytes=0-");
    QTest::newRow("part with validator") << 1000 << QByteArray("\"5f-3e8\"") << qint64(1000)
                                         << QByteArray("bytes=1000-");
    QTest::newRow("part without validator") << 1000 << QByteArray() << qint64(0) << QByteArray("bytes=0-");
    QTest::newRow("empty part") << 0 << QByteArray("\"5f-3e8\"") << qint64(0) << QByteArray("bytes=0-");
}

void tst_PartialDownload::preparesResume()
{
    QFETCH(int, partSize);
    QFETCH(QByteArray, validator);
    QFETCH(qint64, offset);
    QFETCH(QByteArray, range);

    QVERIFY(writeFile(download->finalPath(), "older finished image"));
    if (partSize >= 0)
        QVERIFY(writeFile(download->tempPath(), QByteArray(partSize, 'p')));
    if (!validator.isEmpty())
        QVERIFY(writeFile(download->validatorPath(), validator + "\n"));

    QCOMPARE(download->prepare(), offset);
    QCOMPARE(PartialDownload::rangeHeader(download->offset()), range);
    QCOMPARE(download->validator(), offset > 0 ? validator : QByteArray());
    QVERIFY(!QFileInfo::exists(download->finalPath()));
    QCOMPARE(QFileInfo::exists(download->tempPath()), offset > 0);
}

void tst_PartialDownload::judgesAnswer_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("contentRange");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<QByteArray>("partAfter");   // "<missing>" when the temporary file is gone
    QTest::addColumn<QByteArray>("etag");

    const int append = int(PartialDownload::Verdict::Append);
    const int restart = int(PartialDownload::Verdict::Restart);
    const int refused = int(PartialDownload::Verdict::Refused);
    const int changed = int(PartialDownload::Verdict::Changed);
    const QByteArray part(1000, 'p');
    const QByteArray gone("<missing>");
    const QByteArray same("\"5f-1388\"");
    const QByteArray other("\"60-1388\"");

    QTest::newRow("206 at the offset") << 206 << QByteArray("bytes 1000-4999/5000") << append << part << same;
    QTest::newRow("200 to a range request") << 200 << QByteArray() << restart << QByteArray() << other;
    QTest::newRow("206 elsewhere") << 206 << QByteArray("bytes 0-4999/5000") << refused << gone << same;
    QTest::newRow("206 without range") << 206 << QByteArray() << refused << gone << same;
    // A server that ignores If-Range: the tail of another file must not be joined to the part.
    QTest::newRow("206 of a changed file") << 206 << QByteArray("bytes 1000-4999/5000") << changed << gone << other;
    QTest::newRow("206 without validator")
        << 206 << QByteArray("bytes 1000-4999/5000") << changed << gone << QByteArray();
    QTest::newRow("404") << 404 << QByteArray() << refused << gone << same;
    QTest::newRow("416") << 416 << QByteArray("bytes */900") << refused << gone << same;
    QTest::newRow("500") << 500 << QByteArray() << refused << part << same;
    QTest::newRow("304") << 304 << QByteArray() << refused << part << same;
}

void tst_PartialDownload::judgesAnswer()
{
    QFETCH(int, status);
    QFETCH(QByteArray, contentRange);
    QFETCH(int, verdict);
    QFETCH(QByteArray, partAfter);
    QFETCH(QByteArray, etag);

    QVERIFY(writeFile(download->tempPath(), QByteArray(1000, 'p')));
    QVERIFY(writeFile(download->validatorPath(), "\"5f-1388\""));
    QCOMPARE(download->prepare(), qint64(1000));

    AnswerHead head;
    head.status = status;
    head.contentRange = contentRange;
    head.etag = etag;
    QCOMPARE(int(download->accept(head)), verdict);
    QCOMPARE(readFile(download->tempPath()), partAfter);
    QCOMPARE(download->append("new"),
             verdict == int(PartialDownload::Verdict::Append) || verdict == int(PartialDownload::Verdict::Restart));
}

void tst_PartialDownload::keepsValidatorOfFirstAnswer_data()
{
    QTest::addColumn<QByteArray>("etag");
    QTest::addColumn<QByteArray>("lastModified");
    QTest::addColumn<QByteArray>("kept");

    QTest::newRow("etag") << QByteArray("\"5f-1388\"") << QByteArray("Mon, 07 Dec 2026 08:00:00 GMT")
                          << QByteArray("\"5f-1388\"");
    QTest::newRow("weak etag") << QByteArray("W/\"5f\"") << QByteArray("Mon, 07 Dec 2026 08:00:00 GMT")
                               << QByteArray("Mon, 07 Dec 2026 08:00:00 GMT");
    QTest::newRow("last-modified only") << QByteArray() << QByteArray("Mon, 07 Dec 2026 08:00:00 GMT")
                                        << QByteArray("Mon, 07 Dec 2026 08:00:00 GMT");
    QTest::newRow("none") << QByteArray() << QByteArray() << QByteArray("<missing>");
}

void tst_PartialDownload::keepsValidatorOfFirstAnswer()
{
    QFETCH(QByteArray, etag);
    QFETCH(QByteArray, lastModified);
    QFETCH(QByteArray, kept);

    QCOMPARE(download->prepare(), qint64(0));
    AnswerHead head;
    head.status = 200;
    head.etag = etag;
    head.lastModified = lastModified;
    head.contentLength = 5000;
    QCOMPARE(download->accept(head), PartialDownload::Verdict::Append);
    QVERIFY(download->append(QByteArray(1000, 'a')));
    QCOMPARE(readFile(download->validatorPath()), kept);

    // The next attempt resumes only when there is a validator to send.
    QCOMPARE(download->prepare(), kept == "<missing>" ? qint64(0) : qint64(1000));
    QCOMPARE(download->validator(), kept == "<missing>" ? QByteArray() : kept);
}

void tst_PartialDownload::completesOnlyWhole()
{
    QCOMPARE(download->prepare(), qint64(0));
    AnswerHead head;
    head.status = 206;
    head.contentRange = "bytes 0-9/10";
    head.etag = "\"1\"";
    QCOMPARE(download->accept(head), PartialDownload::Verdict::Append);
    QVERIFY(download->append("01234"));
    QVERIFY(!download->complete());
    QVERIFY(!QFileInfo::exists(download->finalPath()));

    QVERIFY(download->append("56789"));
    QVERIFY(download->complete());
    QCOMPARE(readFile(download->finalPath()), QByteArray("0123456789"));
    QCOMPARE(download->completedSize(), qint64(10));
    QCOMPARE(download->sha256(), QCryptographicHash::hash("0123456789", QCryptographicHash::Sha256));
    QVERIFY(!QFileInfo::exists(download->tempPath()));
    QVERIFY(!QFileInfo::exists(download->validatorPath()));

    // Bytes that did not arrive through the download (another writer) are not in its digest: not whole either.
    QCOMPARE(download->prepare(), qint64(0));
    QCOMPARE(download->accept(head), PartialDownload::Verdict::Append);
    QVERIFY(download->append("01234"));
    QFile temp(download->tempPath());
    QVERIFY(temp.open(QIODevice::WriteOnly | QIODevice::Append));
    QCOMPARE(temp.write("56789"), qint64(5));
    temp.close();
    QVERIFY(!download->complete());
}

void tst_PartialDownload::parsesContentRange_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<qint64>("start");
    QTest::addColumn<qint64>("total");
    QTest::newRow("whole") << QByteArray("bytes 0-99/100") << qint64(0) << qint64(100);
    QTest::newRow("tail") << QByteArray("bytes 1000-4999/5000") << qint64(1000) << qint64(5000);
    QTest::newRow("unknown total") << QByteArray("bytes 10-19/*") << qint64(10) << qint64(-1);
    QTest::newRow("unsatisfied") << QByteArray("bytes */100") << qint64(-1) << qint64(-1);
    QTest::newRow("other unit") << QByteArray("items 0-1/2") << qint64(-1) << qint64(-1);
    QTest::newRow("empty") << QByteArray() << qint64(-1) << qint64(-1);
}

void tst_PartialDownload::parsesContentRange()
{
    QFETCH(QByteArray, value);
    QFETCH(qint64, start);
    QFETCH(qint64, total);
    QCOMPARE(PartialDownload::rangeStart(value), start);
    QCOMPARE(PartialDownload::rangeTotal(value), total);
}

QTEST_GUILESS_MAIN(tst_PartialDownload)
#include "tst_partialdownload.moc"
