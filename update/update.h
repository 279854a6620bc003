// The update service: on its own thread it reads the server's version file, downloads a newer application
// archive or firmware image (resuming an interrupted download), unpacks the archive, fetches the firmware's
// description and announces each ready file by a signal.
#ifndef UPDATE_H
#define UPDATE_H

#include "update/firmwareimage.h"
#include "update/partialdownload.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <QUrl>

#include <array>
#include <atomic>

class QNetworkAccessManager;
class QNetworkReply;

// The download server's folder; TARNO_UPDATE_URL (https only) replaces it for mirrors and tests.
extern const char updateBaseUrl[];

class Update : public QObject
{
    Q_OBJECT

public:
    Update();
    ~Update() override;

    // The base URL in force followed by `fileName`.
    static QUrl serverUrl(const QString &fileName);
    // Adds the certificates of the file named by SSL_CERT_FILE to the trusted authorities, as OpenSSL tools do.
    static void trustConfiguredAuthorities();

    // "a.b.c" of the firmware downloaded last, and the text describing it; safe to read from any thread.
    QString firmwareVersionText() const;
    QString firmwareContentText() const;

    // How long a request may go without receiving anything before it is given up.
    void setTransferTimeout(int milliseconds);

    // From any thread: nothing is announced after it. What the worker is doing now (an archive being installed)
    // ends normally; requests still open end when its thread is quit and the service is deleted.
    void requestStop() { stopped = true; }

public slots:
    void checkUpdate();
    void get_version_Finished();
    void downloadFile();
    void onReadyRead();
    void onFinished();
    void downloadFW();
    void onFWReadyRead();
    void onFWFinished();
    void getFwUpdateContent();
    void get_fw_content_finished();
    // Aborts every request; nothing is downloaded or announced after it. Partial files stay for resuming.
    void stop();

signals:
    void signalGetUpdateFinished(QString filename);
    void signalGetFWUpdateFinished(QString filename);
    // Emitted just before signalGetFWUpdateFinished: the image's length, digest and version.
    void firmwareImageRecorded(FirmwareImageRecord record);
    void singalGetFWContentFinished();

private:
    QNetworkReply *startDownload(PartialDownload &download, const QUrl &url, qint64 &resumeOffset);
    bool receive(PartialDownload &download, QNetworkReply *reply);
    bool finishDownload(PartialDownload &download, QNetworkReply *reply);
    void restartFromZero(PartialDownload &download, QNetworkReply *reply);
    QNetworkAccessManager *network();
    QNetworkReply *get(const QUrl &url);

    QNetworkAccessManager *manager = nullptr;
    QNetworkReply *appReply = nullptr;
    QNetworkReply *versionReply = nullptr;
    QNetworkReply *fwReply = nullptr;
    QNetworkReply *contentReply = nullptr;
    std::array<int, 3> appVersion {};
    std::array<quint8, 3> fwVersion {};
    qint64 appResumeOffset = 0;
    qint64 fwResumeOffset = 0;
    QString requestFileName;
    QUrl appUrl;
    QUrl fwUrl;
    QString appFilePath;   // the new executable, once the archive is installed
    PartialDownload appDownload;
    PartialDownload fwDownload;
    int transferTimeout = 30000;
    std::atomic<bool> stopped { false };

    mutable QMutex textLock;   // the GUI thread reads the two texts while this thread may write them
    QString fwVersionText;
    QString fwContentText;
};

#endif
