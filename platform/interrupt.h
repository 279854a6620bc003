// Ctrl-C and requests to end the process (SIGINT and SIGTERM; on Windows the console's Ctrl-C, Ctrl-Break and
// closing) for the command line: the first one is noted rather than obeyed at once, so that the command line ends
// where nothing is left half done; on POSIX a second one ends the process at once. One watcher at a time.
#ifndef INTERRUPT_H
#define INTERRUPT_H

#include <QObject>

class InterruptWatcher : public QObject
{
    Q_OBJECT

public:
    explicit InterruptWatcher(QObject *parent = nullptr);
    // Puts the system's own handling back.
    ~InterruptWatcher() override;

    // 0 until an interruption came, then the exit code that reports it: 130 for Ctrl-C, 143 for a request to end.
    // Safe from any thread.
    static int exitCode();
    // Ends the process as the interruption would have ended it at once (on POSIX by the signal itself, which a shell
    // reports as 130 or 143 and a script takes as an interruption). Returns only where that is not done: the caller
    // then exits with exitCode().
    static void endAsInterrupted();

signals:
    void interrupted(int exitCode);
};

#endif
