// HTTPS servers on loopback for the update tests: nginx for real downloads with Range, and a scripted server
// for the answers nginx never gives. Certificates come from a test authority made with openssl at test time;
// the tests trust it through SSL_CERT_FILE, as the program does.
#ifndef TESTSERVER_H
#define TESTSERVER_H

#include <QByteArray>
#include <QMap>
#include <QProcess>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>

// A certificate authority and a server certificate for 127.0.0.1 signed by it.
class TestAuthority
{
public:
    bool create(const QString &commonName);
    QString error() const { return problem; }

    QString caPath() const;
    QString certificatePath() const;
    QString keyPath() const;

private:
    bool openssl(const QStringList &arguments);

    QTemporaryDir dir;
    QString problem;
};

// nginx serving a folder over HTTPS on a free loopback port, in the foreground, as one process.
class NginxServer
{
public:
    ~NginxServer();

    bool start(const QString &documentRoot, const TestAuthority &authority);
    QString error() const { return problem; }
    QString baseUrl() const;
    // One line per request: method, path, Range, If-Range, status, e.g. GET /download/Z31/a "bytes=0-" "" 206
    QStringList requests() const;

private:
    bool startOnce(const QString &documentRoot, const TestAuthority &authority);

    QTemporaryDir dir;
    QProcess process;
    quint16 port = 0;
    QString problem;
};

// Answers each request by its path with a scripted answer; what nginx will not do (ignore Range, send a range
// not asked for, cut a body short, stall) is done here.
class ScriptedServer : public QTcpServer
{
    Q_OBJECT

public:
    struct Answer
    {
        QByteArray head;          // status line and headers, without the blank line
        QByteArray body;
        bool hangUp = true;       // close after sending; otherwise keep the connection open and silent
        // Answer a "Range: bytes=N-" with 206 and the body from N (200 and the whole body without one), ignoring
        // If-Range; `head` then holds only extra header lines, such as the ETag.
        bool honourRange = false;
    };

    bool start(const TestAuthority &authority);
    QString baseUrl() const;
    void answer(const QString &fileName, const Answer &answer);
    // Raw request heads, in arrival order.
    QList<QByteArray> requests;
    QByteArray requestFor(const QString &fileName) const;

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    QSslCertificate certificate;
    QSslKey key;
    QMap<QString, Answer> answers;
};

#endif
