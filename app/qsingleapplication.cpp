#include "app/qsingleapplication.h"

#include <QDebug>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
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
    QLocalSocket *connection = localServer->nextPendingConnection();
    if (!connection)
        return;
    // The other instance sends nothing; this only waits for it to hang up.
    connection->waitForReadyRead(1000);
    delete connection;
    activateMainWindow();
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
