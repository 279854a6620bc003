#include "testserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSslSocket>
#include <QStandardPaths>
#include <QTcpSocket>
#include <memory>

namespace {

QString nginxProgram()
{
    QString program = QStandardPaths::findExecutable(QStringLiteral("nginx"));
    if (program.isEmpty())
        program = QStandardPaths::findExecutable(QStringLiteral("nginx"), { QStringLiteral("/usr/sbin") });
    return program;
}

quint16 freeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

bool TestAuthority::openssl(const QStringList &arguments)
{
    QProcess tool;
    tool.setWorkingDirectory(dir.path());
    tool.start(QStringLiteral("openssl"), arguments);
    if (!tool.waitForFinished(30000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        problem = QStringLiteral("openssl %1: %2%3")
                      .arg(arguments.join(QLatin1Char(' ')), tool.errorString(),
                           QString::fromLocal8Bit(tool.readAllStandardError()));
        return false;
    }
    return true;
}

bool TestAuthority::create(const QString &commonName)
{
    if (!dir.isValid()) {
        problem = QStringLiteral("no temporary folder");
        return false;
    }
    const QStringList ecKey { QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                              QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes") };
    if (!writeFile(dir.filePath(QStringLiteral("server.ext")),
                   "basicConstraints=CA:FALSE\nsubjectAltName=IP:127.0.0.1\nextendedKeyUsage=serverAuth\n"))
        return false;
    return openssl(QStringList { QStringLiteral("req"), QStringLiteral("-x509") } + ecKey
                   + QStringList { QStringLiteral("-keyout"), QStringLiteral("ca.key"), QStringLiteral("-out"),
                                   QStringLiteral("ca.pem"), QStringLiteral("-days"), QStringLiteral("2"),
                                   QStringLiteral("-subj"), QStringLiteral("/CN=") + commonName,
                                   QStringLiteral("-addext"), QStringLiteral("basicConstraints=critical,CA:TRUE"),
                                   QStringLiteral("-addext"),
                                   QStringLiteral("keyUsage=critical,keyCertSign,cRLSign") })
        && openssl(QStringList { QStringLiteral("req") } + ecKey
                   + QStringList { QStringLiteral("-keyout"), QStringLiteral("server.key"), QStringLiteral("-out"),
                                   QStringLiteral("server.csr"), QStringLiteral("-subj"),
                                   QStringLiteral("/CN=127.0.0.1") })
        && openssl({ QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                     QStringLiteral("server.csr"), QStringLiteral("-CA"), QStringLiteral("ca.pem"),
                     QStringLiteral("-CAkey"), QStringLiteral("ca.key"), QStringLiteral("-CAcreateserial"),
                     QStringLiteral("-out"), QStringLiteral("server.pem"), QStringLiteral("-days"),
                     QStringLiteral("2"), QStringLiteral("-extfile"), QStringLiteral("server.ext") });
}

QString TestAuthority::caPath() const
{
    return dir.filePath(QStringLiteral("ca.pem"));
}

QString TestAuthority::certificatePath() const
{
    return dir.filePath(QStringLiteral("server.pem"));
}

QString TestAuthority::keyPath() const
{
    return dir.filePath(QStringLiteral("server.key"));
}

NginxServer::~NginxServer()
{
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(5000);
    }
}

bool NginxServer::start(const QString &documentRoot, const TestAuthority &authority)
{
    if (nginxProgram().isEmpty()) {
        problem = QStringLiteral("nginx is not installed (Debian package nginx-light)");
        return false;
    }
    // The probed port may be taken again before nginx binds it; a few tries settle that.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (startOnce(documentRoot, authority))
            return true;
    }
    return false;
}

bool NginxServer::startOnce(const QString &documentRoot, const TestAuthority &authority)
{
    port = freeLoopbackPort();
    const QString folder = dir.path();
    const QString config = QStringLiteral(
        "daemon off;\nmaster_process off;\nworker_processes 1;\npid %1/nginx.pid;\nerror_log %1/error.log;\n"
        "events { worker_connections 64; }\n"
        "http {\n"
        "  log_format requests '$request_method $uri \"$http_range\" \"$http_if_range\" $status';\n"
        "  access_log %1/access.log requests;\n"
        "  client_body_temp_path %1/body; proxy_temp_path %1/proxy; fastcgi_temp_path %1/fastcgi;\n"
        "  uwsgi_temp_path %1/uwsgi; scgi_temp_path %1/scgi;\n"
        "  default_type application/octet-stream;\n"
        "  server {\n"
        "    listen 127.0.0.1:%2 ssl;\n"
        "    ssl_certificate %3;\n    ssl_certificate_key %4;\n"
        "    root %5;\n"
        "  }\n"
        "}\n")
                               .arg(folder)
                               .arg(port)
                               .arg(authority.certificatePath(), authority.keyPath(), documentRoot);
    if (!writeFile(dir.filePath(QStringLiteral("nginx.conf")), config.toUtf8())) {
        problem = QStringLiteral("cannot write the nginx configuration");
        return false;
    }

    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(nginxProgram(), { QStringLiteral("-p"), folder, QStringLiteral("-e"),
                                    dir.filePath(QStringLiteral("error.log")), QStringLiteral("-c"),
                                    dir.filePath(QStringLiteral("nginx.conf")) });
    if (!process.waitForStarted(5000)) {
        problem = process.errorString();
        return false;
    }
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired() && process.state() == QProcess::Running) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        if (probe.waitForConnected(200))
            return true;
        process.waitForFinished(50);
    }
    QFile log(dir.filePath(QStringLiteral("error.log")));
    problem = QStringLiteral("nginx did not start: ") + QString::fromLocal8Bit(process.readAll())
        + (log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll()) : QString());
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    }
    return false;
}

QString NginxServer::baseUrl() const
{
    return QStringLiteral("https://127.0.0.1:%1/download/Z31/").arg(port);
}

QStringList NginxServer::requests() const
{
    QFile log(dir.filePath(QStringLiteral("access.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool ScriptedServer::start(const TestAuthority &authority)
{
    const QList<QSslCertificate> certificates = QSslCertificate::fromPath(authority.certificatePath());
    QFile keyFile(authority.keyPath());
    if (certificates.isEmpty() || !keyFile.open(QIODevice::ReadOnly))
        return false;
    certificate = certificates.first();
    key = QSslKey(&keyFile, QSsl::Ec, QSsl::Pem);
    return !key.isNull() && listen(QHostAddress::LocalHost, 0);
}

QString ScriptedServer::baseUrl() const
{
    return QStringLiteral("https://127.0.0.1:%1/download/Z31/").arg(serverPort());
}

void ScriptedServer::answer(const QString &fileName, const Answer &answer)
{
    answers.insert(fileName, answer);
}

QByteArray ScriptedServer::requestFor(const QString &fileName) const
{
    for (auto it = requests.crbegin(); it != requests.crend(); ++it) {
        if (it->startsWith("GET /download/Z31/" + fileName.toUtf8() + ' '))
            return *it;
    }
    return {};
}

void ScriptedServer::incomingConnection(qintptr descriptor)
{
    auto *socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    socket->setLocalCertificate(certificate);
    socket->setPrivateKey(key);
    auto received = std::make_shared<QByteArray>();
    connect(socket, &QSslSocket::readyRead, this, [this, socket, received] {
        received->append(socket->readAll());
        const int end = received->indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray head = received->left(end);
        received->clear();
        requests.append(head);
        const QByteArray path = head.left(head.indexOf('\r')).split(' ').value(1);
        const QString fileName = QString::fromUtf8(path.mid(path.lastIndexOf('/') + 1));
        const Answer reply = answers.value(fileName,
                                           Answer { "HTTP/1.1 404 Not Found\r\nContent-Length: 0", {}, true });
        if (reply.honourRange) {
            const qint64 total = reply.body.size();
            const QByteArray rangeField("\r\nRange: bytes=");
            const int at = head.indexOf(rangeField);
            const int start = at + rangeField.size();
            const qint64 from = at < 0 ? 0 : head.mid(start, head.indexOf('-', start) - start).toLongLong();
            const QByteArray part = reply.body.mid(int(from));
            QByteArray status("HTTP/1.1 200 OK");
            if (at >= 0) {
                status = "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " + QByteArray::number(from) + '-'
                    + QByteArray::number(total - 1) + '/' + QByteArray::number(total);
            }
            socket->write(status + "\r\nContent-Length: " + QByteArray::number(part.size()) + "\r\n" + reply.head
                          + "\r\nConnection: close\r\n\r\n" + part);
        } else {
            socket->write(reply.head + "\r\nConnection: close\r\n\r\n" + reply.body);
        }
        if (reply.hangUp)
            socket->disconnectFromHost();
    });
    connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
    socket->startServerEncryption();
}
