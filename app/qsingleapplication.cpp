#include "app/qsingleapplication.h"

#include "app/endpoint.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QFileInfo>
#include <QLocalSocket>
#include <QWidget>

#include <cstdio>

QSingleApplication::QSingleApplication(int &argc, char **argv)
    : QApplication(argc, argv)
    , place(MeetingPlace::find())
{
    // Without a private place there is no telling who else would answer: nothing listens there.
    if (!place.isPrivate())
        return;
    serverName = place.instanceKey();
    QLocalSocket socket;
    if (Endpoint::reach(socket, serverName, AnswerWaitMs)) {
        // Hanging up without a word raises the running instance's window.
        fprintf(stderr, "%s already running.\n", QFileInfo(applicationFilePath()).fileName().toLocal8Bit().constData());
        running = true;
        return;
    }
    startLocalServer();
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
    localServer = new Endpoint(this);
    connect(localServer, &Endpoint::request, this, &QSingleApplication::_newLocalConnection);
    connect(localServer, &Endpoint::silentContact, this, &QSingleApplication::activateMainWindow);
    // Nobody answered there: an endpoint left behind is taken over.
    if (!localServer->listen(serverName))
        qDebug() << "single instance endpoint unavailable:" << serverName;
}

void QSingleApplication::claimHandOverEndpoint()
{
    if (!place.isPrivate() || (handOverServer && handOverServer->isListening()))
        return;
    QLocalSocket socket;
    if (Endpoint::reach(socket, place.handOverEndpoint(), AnswerWaitMs)) {
        qDebug() << "another window takes the command lines' work";
        return;
    }
    if (!handOverServer) {
        handOverServer = new Endpoint(this);
        connect(handOverServer, &Endpoint::request, this, &QSingleApplication::_newLocalConnection);
    }
    if (!handOverServer->listen(place.handOverEndpoint()))
        qDebug() << "hand-over endpoint unavailable:" << place.handOverEndpoint();
}

void QSingleApplication::closeEndpoints(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (Endpoint *endpoint : { handOverServer, localServer }) {
        if (endpoint)
            endpoint->close(int(deadline.remainingTime()));
    }
}

void QSingleApplication::_newLocalConnection(const QByteArray &line, QLocalSocket *connection)
{
    if (requestHandler)
        requestHandler(line, connection);
    else
        Endpoint::answer(connection, QByteArray());
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
