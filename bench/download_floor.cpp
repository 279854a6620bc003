// Qt's own floor for bench_download: the same URL fetched the way the update service fetches it (a worker thread,
// QNetworkAccessManager, a 64 KiB read buffer, each piece written to the file as it arrives), without resuming or
// hashing. The service's distance from this is its own work; this one's distance from curl is Qt's.
#include <QCoreApplication>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslConfiguration>
#include <QThread>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s URL FILE\n", argv[0]);
        return 2;
    }
    const QUrl url(QString::fromLocal8Bit(argv[1]));
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return 1;

    // The test authority, trusted as the service trusts it.
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.addCaCertificates(QSslCertificate::fromPath(qEnvironmentVariable("SSL_CERT_FILE")));
    QSslConfiguration::setDefaultConfiguration(tls);

    QThread thread;
    QObject worker;
    worker.moveToThread(&thread);
    thread.start();
    bool ok = false;
    QMetaObject::invokeMethod(&worker, [&] {
        auto *manager = new QNetworkAccessManager(&worker);
        QNetworkRequest request(url);
        request.setRawHeader("Accept-Encoding", "identity");
        QNetworkReply *reply = manager->get(request);
        reply->setReadBufferSize(64 * 1024);
        QObject::connect(reply, &QNetworkReply::readyRead, &worker, [&, reply] {
            const QByteArray data = reply->readAll();
            if (file.write(data) != data.size())
                reply->abort();
        });
        QObject::connect(reply, &QNetworkReply::finished, &worker, [&, reply] {
            const QByteArray rest = reply->readAll();
            ok = reply->error() == QNetworkReply::NoError && file.write(rest) == rest.size();
            if (!ok)
                std::fprintf(stderr, "%s\n", qPrintable(reply->errorString()));
            reply->deleteLater();
            app.exit(ok ? 0 : 1);
        });
    });
    QTimer::singleShot(300000, &app, [&app] { app.exit(1); });
    const int result = app.exec();
    thread.quit();
    thread.wait();
    return result;
}
