#include "app/endpoint.h"

#include "app/handover.h"
#include "platform/localuser.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QTimer>

const QByteArray Endpoint::Greeting = QByteArrayLiteral("{\"ready\":true}\n");

Endpoint::Endpoint(QObject *parent)
    : QObject(parent)
{
    connect(&listener, &LocalListener::connected, this, &Endpoint::take);
}

bool Endpoint::listen(const QString &name)
{
    return listener.listen(name);
}

bool Endpoint::isListening() const
{
    return listener.isListening();
}

void Endpoint::close(int timeoutMs)
{
    listener.close();
    const QDeadlineTimer deadline(timeoutMs);
    // A connection that ends meanwhile leaves the list.
    const QList<QPointer<QLocalSocket>> open = connections;
    for (const QPointer<QLocalSocket> &connection : open) {
        while (connection && connection->bytesToWrite() > 0 && !deadline.hasExpired()) {
            if (!connection->waitForBytesWritten(int(deadline.remainingTime())))
                break;
        }
    }
}

void Endpoint::take(QLocalSocket *connection)
{
    connection->setParent(this);
    // Descriptors are kept for the program itself (a thread it starts needs one): connections beyond a number no
    // user reaches are closed at once.
    if (connections.size() >= MaxConnections) {
        connection->abort();
        connection->deleteLater();
        return;
    }
    enum class Stage { Greeted, Spoke, Dropped };
    const auto stage = std::make_shared<Stage>(Stage::Greeted);
    connections.append(connection);
    // Qt stops reading beyond this: a flood of bytes costs the window no more than one request.
    connection->setReadBufferSize(HandOver::MaxLineSize + 1);
    connection->write(Greeting);

    auto *lineWait = new QTimer(connection);
    lineWait->setSingleShot(true);
    connect(lineWait, &QTimer::timeout, connection, [connection, stage] {
        *stage = Stage::Dropped;
        connection->abort();
    });
    lineWait->start(LineWaitMs);

    connect(connection, &QLocalSocket::readyRead, this, [this, connection, stage, lineWait] {
        if (*stage != Stage::Greeted)
            return;
        if (!connection->canReadLine()) {
            if (connection->bytesAvailable() > HandOver::MaxLineSize) {
                *stage = Stage::Dropped;
                connection->abort();
            }
            return;
        }
        // One request per connection; anything after it is not read.
        *stage = Stage::Spoke;
        lineWait->stop();
        emit request(connection->readLine(HandOver::MaxLineSize + 1), connection);
    });
    connect(connection, &QLocalSocket::disconnected, this, [this, connection, stage] {
        connections.removeAll(connection);
        connection->deleteLater();
        if (*stage == Stage::Greeted)
            emit silentContact();
    });
}

bool Endpoint::reach(QLocalSocket &socket, const QString &name, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    socket.connectToServer(name);
    bool greeted
        = socket.waitForConnected(int(deadline.remainingTime())) && LocalUser::isSameUser(socket.socketDescriptor());
    while (greeted && !socket.canReadLine()) {
        greeted = socket.bytesAvailable() < Greeting.size() && !deadline.hasExpired()
            && socket.waitForReadyRead(int(deadline.remainingTime()));
    }
    if (greeted && socket.readLine(Greeting.size() + 1) == Greeting)
        return true;
    socket.abort();
    return false;
}

void Endpoint::answer(QLocalSocket *connection, const QByteArray &line)
{
    connection->write(line);
    connection->disconnectFromServer();
}
