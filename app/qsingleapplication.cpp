#include "app/qsingleapplication.h"

#include <QDebug>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#include <cstdio>
#include <memory>

QSingleApplication::QSingleApplication(int &argc, char **argv)
    : QApplication(argc, argv)
    , serverName(instanceKey())
{
    auto socket = std::make_unique<QLocalSocket>();
    socket->connectToServer(serverName, QIODevice::ReadWrite);
    if (socket->waitForConnected(500)) {
        fprintf(stderr, "%s already running.\n", serverName.toLocal8Bit().constData());
        running = true;
        return;
    }
    startLocalServer();
}

QString QSingleApplication::instanceKey()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
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
    mainWindow->showNormal();
    mainWindow->activateWindow();
    mainWindow->raise();
}
