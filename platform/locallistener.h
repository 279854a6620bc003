// A local server that stays up: it accepts what it can, closes at once the connections it cannot keep (beyond the
// process's file limit), admits only this user's processes and never closes by itself.
#ifndef LOCALLISTENER_H
#define LOCALLISTENER_H

#include <QObject>
#include <QString>

#include <memory>

class QLocalSocket;

class LocalListener : public QObject
{
    Q_OBJECT

public:
    explicit LocalListener(QObject *parent = nullptr);
    ~LocalListener() override;

    // Listens under `name` (LocalUser::endpoint()) for this user only, in place of an endpoint left there (the caller
    // has found that nobody answers on it).
    bool listen(const QString &name);
    // Stops listening; the endpoint goes with it, unless another process has taken it over meanwhile.
    void close();
    bool isListening() const;
    QString errorString() const;

signals:
    // A connection of this user's, a child of the listener until the receiver takes it.
    void connected(QLocalSocket *socket);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

#endif
