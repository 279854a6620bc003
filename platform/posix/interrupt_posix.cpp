#include "platform/interrupt.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace {

constexpr int Signals[] = { SIGINT, SIGTERM };

std::atomic<int> received { 0 };
// The handler's only way to the event loop: one byte down a pipe.
int wakeUp[2] = { -1, -1 };
struct sigaction previous[2];

void noteSignal(int signal)
{
    const int savedErrno = errno;
    received = signal;
    if (wakeUp[1] >= 0) {
        const char byte = 1;
        // Nothing to do when the pipe is full: a byte is already waiting.
        [[maybe_unused]] const ssize_t written = ::write(wakeUp[1], &byte, 1);
    }
    errno = savedErrno;
}

}   // namespace

InterruptWatcher::InterruptWatcher(QObject *parent)
    : QObject(parent)
{
    if (::pipe2(wakeUp, O_CLOEXEC | O_NONBLOCK) == 0) {
        auto *notifier = new QSocketNotifier(wakeUp[0], QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] {
            char bytes[16];
            while (::read(wakeUp[0], bytes, sizeof bytes) > 0) { }
            emit interrupted(exitCode());
        });
    }
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    // A second Ctrl-C ends the process at once, as if none had been noted.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (size_t i = 0; i < std::size(Signals); ++i)
        ::sigaction(Signals[i], &action, &previous[i]);
}

InterruptWatcher::~InterruptWatcher()
{
    for (size_t i = 0; i < std::size(Signals); ++i)
        ::sigaction(Signals[i], &previous[i], nullptr);
    for (int &end : wakeUp) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

int InterruptWatcher::exitCode()
{
    const int signal = received;
    return signal ? 128 + signal : 0;
}

void InterruptWatcher::endAsInterrupted()
{
    const int signal = received;
    if (!signal)
        return;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
