#include "app/mouseaccess.h"

#include "app/commandline.h"
#include "app/endpoint.h"
#include "app/mouselock.h"
#include "platform/interrupt.h"
#include "platform/localuser.h"

#include <utility>

MouseAccess::MouseAccess(const QString &endpoint, MouseLock &lock, const HandOver::Request &request,
                         const InterruptWatcher &interrupts, std::function<void(const QString &)> say)
    : endpoint(endpoint)
    , lock(lock)
    , request(request)
    , say(std::move(say))
{
    for (QTimer *timer : { &greetingWait, &answerWait, &retry, &notice })
        timer->setSingleShot(true);
    connect(&greetingWait, &QTimer::timeout, this, &MouseAccess::windowGone);
    connect(&answerWait, &QTimer::timeout, this, [this] { finish(Outcome::NoAnswer); });
    connect(&retry, &QTimer::timeout, this, &MouseAccess::reach);
    connect(&notice, &QTimer::timeout, this, [this] {
        noticeDue = true;
        noticeIfDue();
    });
    connect(&interrupts, &InterruptWatcher::interrupted, this, [this] { finish(Outcome::Interrupted); });

    connect(&window, &QLocalSocket::connected, this, [this] {
        // Someone else's process in this user's place is never handed anything.
        if (stage == Stage::Reaching && !LocalUser::isSameUser(window.socketDescriptor()))
            windowGone();
    });
    connect(&window, &QLocalSocket::readyRead, this, &MouseAccess::readWindow);
    connect(&window, &QLocalSocket::disconnected, this, &MouseAccess::windowGone);
    connect(&window, &QLocalSocket::errorOccurred, this, &MouseAccess::windowGone);
}

MouseAccess::Outcome MouseAccess::run()
{
    lockDeadline.setRemainingTime(LockWaitMs);
    notice.start(NoticeMs);
    // From inside the loop: what connecting finds may end the wait at once.
    QTimer::singleShot(0, this, &MouseAccess::reach);
    loop.exec();
    return outcome;
}

void MouseAccess::reach()
{
    stage = Stage::Reaching;
    greetingWait.start(GreetingWaitMs);
    window.abort();
    window.connectToServer(endpoint);
}

void MouseAccess::readWindow()
{
    if (stage == Stage::Reaching) {
        if (!window.canReadLine()) {
            if (window.bytesAvailable() >= Endpoint::Greeting.size())
                windowGone();
            return;
        }
        if (window.readLine(Endpoint::Greeting.size() + 1) != Endpoint::Greeting) {
            windowGone();
            return;
        }
        greetingWait.stop();
        stage = Stage::Asking;
        window.write(HandOver::encode(request));
        sent = true;
        answerWait.start(HandOver::AnswerWaitMs);
        noticeIfDue();
        return;
    }
    if (stage != Stage::Asking)
        return;
    if (window.canReadLine()) {
        const std::optional<HandOver::Reply> reply = HandOver::decodeReply(window.readLine(HandOver::MaxLineSize + 1));
        if (!reply) {
            finish(Outcome::WindowLeft);
            return;
        }
        answer = *reply;
        finish(Outcome::Answered);
    } else if (window.bytesAvailable() > HandOver::MaxLineSize) {
        finish(Outcome::WindowLeft);
    }
}

void MouseAccess::windowGone()
{
    switch (stage) {
    case Stage::Reaching:
        // Nobody, someone else's, or a window that does not greet: as good as none.
        greetingWait.stop();
        stage = Stage::WaitingForLock;
        window.abort();
        tryLock();
        return;
    case Stage::Asking:
        // An answer may have come with the hang-up.
        readWindow();
        finish(Outcome::WindowLeft);
        return;
    case Stage::WaitingForLock:
    case Stage::Done:
        return;
    }
}

void MouseAccess::tryLock()
{
    if (lock.tryLock()) {
        finish(Outcome::Own);
        return;
    }
    if (lock.error() != QLockFile::LockFailedError) {
        finish(Outcome::NoLock);
        return;
    }
    if (lockDeadline.hasExpired()) {
        finish(Outcome::Busy);
        return;
    }
    lockHeld = true;
    noticeIfDue();
    // A window may start meanwhile: each round asks it first.
    retry.start(RetryMs);
}

void MouseAccess::finish(Outcome result)
{
    if (stage == Stage::Done)
        return;
    stage = Stage::Done;
    outcome = result;
    for (QTimer *timer : { &greetingWait, &answerWait, &retry, &notice })
        timer->stop();
    // An interrupted or timed-out request ends here: the window drops it unless it has begun writing the mouse.
    if (result != Outcome::Answered)
        window.abort();
    loop.quit();
}

void MouseAccess::noticeIfDue()
{
    if (!noticeDue || stage == Stage::Done)
        return;
    if (lockHeld && stage != Stage::Asking) {
        if (!std::exchange(lockNoticed, true))
            say(CommandLineText::tr("正在等待：本程序的另一个进程正在使用鼠标（最多等 %1 秒）").arg(LockWaitMs / 1000));
    } else if (!std::exchange(windowNoticed, true)) {
        say(CommandLineText::tr("正在等待程序窗口答复（最多等 %1 秒）").arg(HandOver::AnswerWaitMs / 1000));
    }
}
