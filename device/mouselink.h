// The one owner of the device library: every call of the program runs as a job on the link's own thread, one at
// a time and in the order asked, so that a slow or silent mouse never holds up the window.
#ifndef MOUSELINK_H
#define MOUSELINK_H

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QVariant>

#include <functional>
#include <memory>

struct DeviceContext;

class MouseLink : public QObject
{
    Q_OBJECT

public:
    // A job calls the entry points of `device`; its result comes back with answered(), or, when it is not valid
    // (a query the mouse left unanswered after all its attempts), failed(NoAnswer).
    using Job = std::function<QVariant(DeviceContext &device)>;

    enum class Failure {
        NoAnswer,   // the mouse did not answer
        NoMouse,   // the mouse was unplugged (or plugged in again) before the job ran or while it ran
        Replaced,   // a later request of the same kind took its place while it waited
        Stopped,   // the program is ending
    };
    Q_ENUM(Failure)

    // CallerThread runs each job at once on the thread that asks, for tests that read the bytes right after a
    // click; results still arrive queued, as from the link's own thread.
    enum class Threading { OwnThread, CallerThread };

    explicit MouseLink(DeviceContext &device, Threading threading = Threading::OwnThread, QObject *parent = nullptr);
    ~MouseLink() override;

    // What becomes of a request still waiting when the program quits: a command the user gave is still sent.
    enum class AtQuit { Dropped, Sent };

    // Queues `job` and returns its id. Behind a slow mouse (a call under way for SlowCallMs or more), a request with
    // a `kind` replaces a waiting one of the same kind (slider and colour drags); with a mouse that answers in time,
    // nothing is replaced, and one already running never is.
    quint64 request(Job job, const QString &kind = QString(), AtQuit atQuit = AtQuit::Dropped);
    static constexpr int SlowCallMs = 200;
    // request(), with its outcome also handed to `done` or `failed` while `context` lives.
    quint64 ask(QObject *context, Job job, std::function<void(const QVariant &result)> done,
                std::function<void(Failure reason)> failed = {}, const QString &kind = QString());
    // ask() for a job during which nothing else starts (a firmware transfer); requests made meanwhile wait for it.
    quint64 runExclusive(QObject *context, Job job, std::function<void(const QVariant &result)> done,
                         std::function<void(Failure reason)> failed);
    bool exclusiveRunning() const;
    // Takes a request that has not started out of the queue; it fails with Stopped. False when it has started.
    bool withdraw(quint64 id);
    // The mouse left or came back: every waiting request fails with NoMouse, and a running one's result too (but
    // an exclusive job's, whose outcome matters whatever happened to the mouse).
    void cancelSession();

    // For quitting: asks a running job to give up between library calls, sends the waiting requests marked
    // AtQuit::Sent after it, fails the others, and waits up to `timeoutMs` for all that. False when a call hangs in
    // the library: the thread is left behind and the process must end without unloading anything (the caller
    // exits at once).
    bool shutdown(int timeoutMs);

signals:
    void answered(quint64 id, const QVariant &result);
    void failed(quint64 id, MouseLink::Failure reason);
    void sessionChanged();
    // From the link's thread to the owner's, for deliver(): a signal's arguments are copied by Qt, so nothing the
    // thread wrote is read without the queue's own hand-off.
    void jobEnded(quint64 id, quint64 session, bool exclusive, const QVariant &result, QPrivateSignal);

private:
    struct Shared;
    struct Request;
    struct Callbacks
    {
        QPointer<QObject> context;
        std::function<void(const QVariant &)> done;
        std::function<void(Failure)> failed;
    };
    quint64 enqueue(Job job, const QString &kind, bool exclusive, AtQuit atQuit);
    void deliver(quint64 id, quint64 session, bool exclusive, const QVariant &result);
    void fail(quint64 id, Failure reason);
    void finish(quint64 id, const QVariant *result, Failure reason);

    DeviceContext &device;
    const Threading threading;
    std::shared_ptr<Shared> shared;
    QHash<quint64, Callbacks> callbacks;
};

#endif
