// The command line's way to the mouse: it hands its work to this user's window, on the mouse's hand-over endpoint,
// or takes the mouse's lock and does the work itself. One wait at a time, each with its deadline: the window's
// greeting (a window that does not greet counts as gone), the lock (a window of another process may hold it), the
// window's answer. After NoticeMs of waiting one line says what for; Ctrl-C and termination end any wait.
#ifndef MOUSEACCESS_H
#define MOUSEACCESS_H

#include "app/handover.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QLocalSocket>
#include <QObject>
#include <QTimer>

#include <functional>

class InterruptWatcher;
class MouseLock;

class MouseAccess : public QObject
{
public:
    enum class Outcome {
        Answered,   // the window did the work: reply()
        Own,   // this process holds the mouse's lock
        Busy,   // another process kept the lock for LockWaitMs
        NoLock,   // the lock file cannot be made
        NoAnswer,   // the window took the request but gave no answer within HandOver::AnswerWaitMs
        WindowLeft,   // the window hung up without an answer it could read
        Interrupted,   // Ctrl-C or a request to end
    };

    static constexpr int GreetingWaitMs = 3000;
    static constexpr int LockWaitMs = 30000;
    static constexpr int RetryMs = 200;
    static constexpr int NoticeMs = 2000;

    // `say` prints one line on standard error.
    MouseAccess(const QString &endpoint, MouseLock &lock, const HandOver::Request &request,
                const InterruptWatcher &interrupts, std::function<void(const QString &)> say);

    Outcome run();
    const HandOver::Reply &reply() const { return answer; }
    // Whether the window had the request when the wait ended.
    bool handedOver() const { return sent; }

private:
    enum class Stage { Reaching, WaitingForLock, Asking, Done };

    void reach();
    void readWindow();
    void windowGone();
    void tryLock();
    void finish(Outcome result);
    // The line that says what the command line waits for, once NoticeMs have passed; once for each kind of wait.
    void noticeIfDue();

    const QString endpoint;
    MouseLock &lock;
    const HandOver::Request request;
    const std::function<void(const QString &)> say;

    Stage stage = Stage::Reaching;
    Outcome outcome = Outcome::Busy;
    HandOver::Reply answer;
    bool sent = false;
    bool lockHeld = false;   // the lock was found taken: from then on the wait is for it
    bool noticeDue = false;
    bool windowNoticed = false;
    bool lockNoticed = false;

    QLocalSocket window;
    QTimer greetingWait;
    QTimer answerWait;
    QTimer retry;
    QTimer notice;
    QDeadlineTimer lockDeadline;
    QEventLoop loop;
};

#endif
