#include "update/update.h"

#include "device/devicesettings.h"
#include "update/appversion.h"
#include "update/archiveinstaller.h"
#include "update/versionfile.h"

#include <QDebug>
#include <QFileInfo>
#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTextCodec>

#include <mutex>

const char updateBaseUrl[] = "https://download.tarno-gaming.com/download/Z31/";

namespace {

const QString VersionFileName = QStringLiteral("TarnoConnectUpdate.txt");
const QString ArchiveName = QStringLiteral("TARNO_CONNECT_PC.zip");
const QString FirmwareName = QStringLiteral("Z31_USB.bin");
const QString ContentFileName = QStringLiteral("FWUpdateContent.txt");

// Bodies go to disk as they arrive; the reply never buffers more than this.
constexpr qint64 ReadBufferSize = 64 * 1024;
// The version file and the description are read whole; anything larger is not one of them.
constexpr qint64 MaxTextSize = 1024 * 1024;

QString baseUrl()
{
    QString configured = qEnvironmentVariable("TARNO_UPDATE_URL");
    if (configured.isEmpty())
        return QString::fromLatin1(updateBaseUrl);
    if (QUrl(configured).scheme() != QLatin1String("https")) {
        qDebug() << "TARNO_UPDATE_URL ignored: not an https URL";
        return QString::fromLatin1(updateBaseUrl);
    }
    if (!configured.endsWith(QLatin1Char('/')))
        configured += QLatin1Char('/');
    return configured;
}

void logError(const QNetworkReply *reply)
{
    qDebug().noquote() << QStringLiteral("__________") + reply->errorString();
}

int statusOf(const QNetworkReply *reply)
{
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

AnswerHead headOf(const QNetworkReply *reply)
{
    AnswerHead head;
    head.status = statusOf(reply);
    head.contentRange = reply->rawHeader("Content-Range");
    head.etag = reply->rawHeader("ETag");
    head.lastModified = reply->rawHeader("Last-Modified");
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    head.contentLength = length.isValid() ? length.toLongLong() : -1;
    return head;
}

// Takes the reply out of its member: it is deleted once its finished() handlers have run.
QNetworkReply *takeReply(QNetworkReply *&member)
{
    QNetworkReply *reply = member;
    member = nullptr;
    reply->deleteLater();
    return reply;
}

} // namespace

Update::Update()
    : appDownload(ArchiveName)
    , fwDownload(FirmwareName)
{
    qRegisterMetaType<FirmwareImageRecord>();
}

Update::~Update() = default;

QUrl Update::serverUrl(const QString &fileName)
{
    return QUrl(baseUrl() + fileName);
}

void Update::trustConfiguredAuthorities()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const QString path = qEnvironmentVariable("SSL_CERT_FILE");
        if (path.isEmpty())
            return;
        const QList<QSslCertificate> authorities = QSslCertificate::fromPath(path);
        if (authorities.isEmpty()) {
            qDebug() << "no certificates in" << path;
            return;
        }
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.addCaCertificates(authorities);
        QSslConfiguration::setDefaultConfiguration(configuration);
    });
}

QString Update::firmwareVersionText() const
{
    QMutexLocker locker(&textLock);
    return fwVersionText;
}

QString Update::firmwareContentText() const
{
    QMutexLocker locker(&textLock);
    return fwContentText;
}

void Update::setTransferTimeout(int milliseconds)
{
    transferTimeout = milliseconds;
}

QNetworkAccessManager *Update::network()
{
    // Made at the first request, on the service's own thread: setting up TLS (reading the authorities, starting
    // the TLS library) and the network manager cost the window's start-up a tenth of a second otherwise.
    if (!manager) {
        trustConfiguredAuthorities();
        manager = new QNetworkAccessManager(this);
    }
    return manager;
}

QNetworkReply *Update::get(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(transferTimeout);
    QNetworkReply *reply = network()->get(request);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > MaxTextSize)
            reply->abort();
    });
    return reply;
}

void Update::checkUpdate()
{
    if (stopped)
        return;
    versionReply = get(serverUrl(VersionFileName));
    connect(versionReply, &QNetworkReply::finished, this, &Update::get_version_Finished);
}

void Update::get_version_Finished()
{
    QNetworkReply *reply = takeReply(versionReply);
    if (reply->error() != QNetworkReply::NoError) {
        logError(reply);
        return;
    }
    const ServerVersions server = parseVersionFile(reply->readAll());
    if (!server.valid) {
        qDebug() << "version file error:" << server.lines;
        return;
    }

    qDebug() << "server app ver:" << server.appVersionCode;
    if (server.appVersionCode > APP_VERSION_CODE) {
        const AppVersion version = AppVersion::fromCode(server.appVersionCode);
        appVersion = { version.major, version.minor, version.patch };
        qDebug().noquote() << QStringLiteral("app need Update：") + version.text();
        downloadFile();
    }

    qDebug().noquote() << "remote_fw_version:" << server.lines.at(3);
    // The copy the GUI thread published after its latest version query, never the bytes it may be writing.
    const quint32 mouse = publishedFirmwareVersion();
    qDebug() << "hw_fw_version:" << (mouse >> 16 & 0xFF) << (mouse >> 8 & 0xFF) << (mouse & 0xFF);
    if (!server.firmwareKnown) {
        qDebug() << "firmware version of the server unreadable";
        return;
    }
    if (server.firmwareCode() > mouse) {
        fwVersion = { quint8(server.firmware[0]), quint8(server.firmware[1]), quint8(server.firmware[2]) };
        downloadFW();
    }
}

QNetworkReply *Update::startDownload(PartialDownload &download, const QUrl &url, qint64 &resumeOffset)
{
    requestFileName = download.fileName();
    resumeOffset = download.prepare();
    if (resumeOffset > 0)
        qDebug() << "resuming" << requestFileName << "at" << resumeOffset;
    QNetworkRequest request(url);
    request.setRawHeader("Range", PartialDownload::rangeHeader(resumeOffset));
    if (!download.validator().isEmpty())
        request.setRawHeader("If-Range", download.validator());
    // Offsets count bytes of the file itself, never of a compressed transfer.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setTransferTimeout(transferTimeout);
    QNetworkReply *reply = network()->get(request);
    reply->setReadBufferSize(ReadBufferSize);
    return reply;
}

void Update::downloadFile()
{
    if (stopped)
        return;
    appUrl = serverUrl(ArchiveName);
    qDebug() << appUrl;
    appReply = startDownload(appDownload, appUrl, appResumeOffset);
    connect(appReply, &QNetworkReply::readyRead, this, &Update::onReadyRead);
    connect(appReply, &QNetworkReply::finished, this, &Update::onFinished);
}

void Update::downloadFW()
{
    if (stopped)
        return;
    qDebug() << "download FW";
    fwUrl = serverUrl(FirmwareName);
    qDebug() << fwUrl;
    fwReply = startDownload(fwDownload, fwUrl, fwResumeOffset);
    connect(fwReply, &QNetworkReply::readyRead, this, &Update::onFWReadyRead);
    connect(fwReply, &QNetworkReply::finished, this, &Update::onFWFinished);
    connect(fwReply, &QNetworkReply::finished, this, &Update::getFwUpdateContent);
}

bool Update::receive(PartialDownload &download, QNetworkReply *reply)
{
    if (!download.judged()) {
        const AnswerHead head = headOf(reply);
        const PartialDownload::Verdict verdict = download.accept(head);
        if (verdict == PartialDownload::Verdict::Restart)
            qDebug() << download.fileName() << "changed on the server or cannot be resumed: starting over";
        if (verdict == PartialDownload::Verdict::Changed) {
            qDebug() << download.fileName() << "range of a changed file: starting again from zero";
            restartFromZero(download, reply);
            return false;
        }
        if (verdict == PartialDownload::Verdict::Refused) {
            qDebug() << download.fileName() << "answer refused:" << head.status << head.contentRange;
            // An error answer ends by itself with its error; a body for another range must not be read on.
            if (head.status < 400) {
                reply->abort();
                return false;
            }
        }
    }
    const QByteArray data = reply->readAll();
    if (!download.accepted())
        return false;
    if (!download.append(data)) {
        qDebug() << "cannot write" << download.tempPath();
        reply->abort();
        return false;
    }
    return true;
}

bool Update::finishDownload(PartialDownload &download, QNetworkReply *reply)
{
    if (reply->isReadable() && reply->bytesAvailable() > 0)
        receive(download, reply);
    // The answer was a range of a changed file and a new request from zero has begun.
    if ((&download == &fwDownload ? fwReply : appReply) != nullptr)
        return false;
    // An answer without a body (a 416, an empty file) brings no readyRead.
    if (!download.judged() && reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
        download.accept(headOf(reply));
    if (reply->error() != QNetworkReply::NoError) {
        logError(reply);
        return false;
    }
    if (!download.accepted() || !QFileInfo::exists(download.tempPath()))
        return false;
    if (!download.complete()) {
        qDebug() << "cannot complete" << download.fileName();
        return false;
    }
    return true;
}

void Update::restartFromZero(PartialDownload &download, QNetworkReply *reply)
{
    // This reply ends here without its completion slots; the new request has no part to resume, so it cannot
    // come back to this point.
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
    if (&download == &fwDownload) {
        fwReply = nullptr;
        downloadFW();
    } else {
        appReply = nullptr;
        downloadFile();
    }
}

void Update::onReadyRead()
{
    receive(appDownload, appReply);
}

void Update::onFWReadyRead()
{
    receive(fwDownload, fwReply);
}

void Update::onFinished()
{
    QNetworkReply *reply = takeReply(appReply);
    if (!finishDownload(appDownload, reply) || stopped)
        return;

    const QString archive = appDownload.finalPath();
    const QString executable = versionedExecutableName({ appVersion[0], appVersion[1], appVersion[2] });
    ArchiveInstaller installer { QDir() };
    const ArchiveInstaller::Result result = installer.install(archive, executable);
    if (!QFile::remove(archive))
        qDebug() << "cannot remove" << archive;
    if (result != ArchiveInstaller::Result::Installed) {
        qDebug() << "update archive not installed:" << int(result);
        return;
    }
    appFilePath = executable;
    qDebug() << "Get updatefile Finished.";
    if (!stopped)
        emit signalGetUpdateFinished(appFilePath);
}

void Update::onFWFinished()
{
    QNetworkReply *reply = takeReply(fwReply);
    if (!finishDownload(fwDownload, reply) || stopped)
        return;
    const QString version = QStringLiteral("%1.%2.%3").arg(fwVersion[0]).arg(fwVersion[1]).arg(fwVersion[2]);
    {
        QMutexLocker locker(&textLock);
        fwVersionText = version;
    }
    // Flashing later checks the file against this, so that only these very bytes can reach the mouse. Length and
    // digest are those of the bytes as they arrived, so the file is not read again.
    const FirmwareImageRecord record { fwDownload.fileName(), version, fwDownload.completedSize(), fwDownload.sha256(),
                                       fwDownload.verifiedComplete() };
    qDebug() << "firmware image:" << record.length << "bytes, sha256" << record.sha256.toHex()
             << (record.verifiedComplete ? "length verified" : "length not announced");
    qDebug() << "Get FW updatefile Finished.";
    if (stopped)
        return;
    emit firmwareImageRecorded(record);
    emit signalGetFWUpdateFinished(fwDownload.fileName());
}

void Update::getFwUpdateContent()
{
    if (stopped)
        return;
    contentReply = get(serverUrl(ContentFileName));
    connect(contentReply, &QNetworkReply::finished, this, &Update::get_fw_content_finished);
}

void Update::get_fw_content_finished()
{
    QNetworkReply *reply = takeReply(contentReply);
    qDebug() << "get_fw_content";
    if (reply->error() != QNetworkReply::NoError) {
        logError(reply);
        QMutexLocker locker(&textLock);
        fwContentText.clear();
        return;
    }
    QTextCodec *gbk = QTextCodec::codecForName("GBK");
    const QByteArray body = reply->readAll();
    const QString text = gbk ? gbk->toUnicode(body) : QString::fromLocal8Bit(body);
    {
        QMutexLocker locker(&textLock);
        fwContentText = text;
    }
    qDebug().noquote() << text;
    if (!stopped)
        emit singalGetFWContentFinished();
}

void Update::stop()
{
    stopped = true;
    for (QNetworkReply *reply : { versionReply, appReply, fwReply, contentReply }) {
        if (reply)
            reply->abort();
    }
}
