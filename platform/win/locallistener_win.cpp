#include "platform/locallistener.h"

#include "platform/localuser.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace {

// Qt closes its server on some pipe errors without a word: the listener looks this often and listens again.
constexpr int RelistenCheckMs = 5000;

}   // namespace

struct LocalListener::Private
{
    QLocalServer *server = nullptr;
    QString name;
    QTimer relisten;
};

LocalListener::LocalListener(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
    d->relisten.setInterval(RelistenCheckMs);
    connect(&d->relisten, &QTimer::timeout, this, [this] {
        if (d->server && !d->server->isListening())
            d->server->listen(d->name);
    });
}

LocalListener::~LocalListener()
{
    close();
}

bool LocalListener::listen(const QString &name)
{
    close();
    d->name = name;
    d->server = new QLocalServer(this);
    // A security descriptor that lets this user's token alone open the pipe.
    d->server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(d->server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = d->server->nextPendingConnection()) {
            if (LocalUser::isSameUser(socket->socketDescriptor())) {
                emit connected(socket);
            } else {
                socket->abort();
                socket->deleteLater();
            }
        }
        if (!d->server->isListening())
            d->server->listen(d->name);
    });
    if (!d->server->listen(name))
        return false;
    d->relisten.start();
    return true;
}

void LocalListener::close()
{
    d->relisten.stop();
    delete d->server;
    d->server = nullptr;
}

bool LocalListener::isListening() const
{
    return d->server && d->server->isListening();
}

QString LocalListener::errorString() const
{
    return d->server ? d->server->errorString() : QString();
}
