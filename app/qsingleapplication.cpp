#include "app/qsingleapplication.h"

#include "app/handover.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QWidget>

#include <cstdio>
#include <memory>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace {

QString executableName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

} // namespace

QSingleApplication::QSingleApplication(int &argc, char **argv)
    : QApplication(argc, argv)
    , serverName(instanceKey())
{
    if (isInstanceRunning()) {
        fprintf(stderr, "%s already running.\n", executableName().toLocal8Bit().constData());
        running = true;
        return;
    }
    startLocalServer();
}

QString QSingleApplication::instanceKey()
{
#ifdef Q_OS_WIN
    return executableName();
#else
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        return runtime + QLatin1Char('/') + executableName();
    return executableName() + QLatin1Char('-') + QString::number(::getuid());
#endif
}

QString QSingleApplication::lockFilePath()
{
    const QString key = instanceKey();
    // On Windows the key names a pipe, not a file: the user's own temporary folder holds the lock there.
    if (QDir::isAbsolutePath(key))
        return key + QStringLiteral(".lock");
    return QDir::temp().filePath(key + QStringLiteral(".lock"));
}

bool QSingleApplication::isInstanceRunning(int timeoutMs)
{
    // Nothing is sent: the running instance raises its window when the connection ends.
    auto socket = std::make_unique<QLocalSocket>();
    socket->connectToServer(instanceKey(), QIODevice::ReadWrite);
    return socket->waitForConnected(timeoutMs);
}

bool QSingleApplication::isRunning() const
{
    return running;
}

void QSingleApplication::setMainWindow(QWidget *window)
{
    mainWindow = window;
}

void QSingleApplication::setRequestHandler(RequestHandler handler)
{
    requestHandler = std::move(handler);
}

void QSingleApplication::startLocalServer()
{
    localServer = new QLocalServer(this);
#ifndef Q_OS_WIN
    // Only this user may reach the instance.
    localServer->setSocketOptions(QLocalServer::UserAccessOption);
#endif
    connect(localServer, &QLocalServer::newConnection, this, &QSingleApplication::_newLocalConnection);
    if (localServer->listen(serverName))
        return;
    // An endpoint left behind by a crashed instance: nobody answered on it, so take it over.
    if (localServer->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalServer::removeServer(serverName);
        if (!localServer->listen(serverName))
            qDebug() << "single instance endpoint unavailable:" << localServer->errorString();
    }
}

void QSingleApplication::_newLocalConnection()
{
    // Nothing here waits on a connection: what it sends, and its hanging up, arrive as signals.
    while (QLocalSocket *connection = localServer->nextPendingConnection()) {
        // A later start of the program sends nothing and hangs up.
        const auto spoke = std::make_shared<bool>(false);
        connect(connection, &QLocalSocket::readyRead, this, [this, connection, spoke] {
            *spoke = true;
            readRequest(connection);
        });
        connect(connection, &QLocalSocket::disconnected, this, [this, connection, spoke] {
            if (!*spoke)
                activateMainWindow();
            connection->deleteLater();
        });
    }
}

void QSingleApplication::readRequest(QLocalSocket *connection)
{
    if (!connection->canReadLine()) {
        if (connection->bytesAvailable() > HandOver::MaxLineSize)
            connection->abort();
        return;
    }
    // One request per connection; anything after it is not read.
    disconnect(connection, &QLocalSocket::readyRead, this, nullptr);
    const QByteArray line = connection->readLine(HandOver::MaxLineSize + 1);
    if (!requestHandler) {
        connection->disconnectFromServer();
        return;
    }
    requestHandler(line, [replyTo = QPointer<QLocalSocket>(connection)](const QByteArray &reply) {
        // The command line may have given up meanwhile.
        if (!replyTo)
            return;
        replyTo->write(reply);
        replyTo->disconnectFromServer();
    });
}

void QSingleApplication::activateMainWindow()
{
    qDebug() << "active";
    if (!mainWindow)
        return;
    qDebug() << "w is not null";
    // Without a screen Qt cannot create the window; it appears with the first screen.
    if (!primaryScreen()) {
        qDebug() << "no screen to show the window on";
        return;
    }
    mainWindow->showNormal();
    mainWindow->activateWindow();
    mainWindow->raise();
}
