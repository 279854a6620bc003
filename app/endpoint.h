// One endpoint of the running window, for this user's processes only: the single-instance key, or the mouse's
// hand-over endpoint. Every connection is greeted at once, which tells the other side that the window answers (a
// stopped process, or a child that inherited the socket, is connected to but never greets). It may then send one
// request line within LineWaitMs, of at most HandOver::MaxLineSize bytes, or hang up without a word, as a later
// start of the program does. At most MaxConnections are kept open at a time.
#ifndef ENDPOINT_H
#define ENDPOINT_H

#include "platform/locallistener.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>

class QLocalSocket;

class Endpoint : public QObject
{
    Q_OBJECT

public:
    static constexpr int LineWaitMs = 5000;
    static constexpr int MaxConnections = 64;
    static const QByteArray Greeting;

    explicit Endpoint(QObject *parent = nullptr);

    bool listen(const QString &name);
    bool isListening() const;
    // Waits up to `timeoutMs` until the answers already written are sent, then stops listening.
    void close(int timeoutMs);

    // Connects `socket` to `name` and waits up to `timeoutMs` for the greeting of this user's window there. True
    // when it came: the socket stays connected. Blocks.
    static bool reach(QLocalSocket &socket, const QString &name, int timeoutMs);
    // Sends the answer to a request and hangs up once it is sent.
    static void answer(QLocalSocket *connection, const QByteArray &line);

signals:
    // One request line; `connection` belongs to the endpoint and says when its process leaves (disconnected()).
    void request(const QByteArray &line, QLocalSocket *connection);
    // A process connected and hung up without a word.
    void silentContact();

private:
    void take(QLocalSocket *connection);

    LocalListener listener;
    QList<QPointer<QLocalSocket>> connections;
};

#endif
