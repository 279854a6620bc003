// A child process started with fork and exec, whose resource use (peak resident memory, processor time) is read
// when it ends. QProcess does not report resource use.
#ifndef CHILDPROCESS_H
#define CHILDPROCESS_H

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <csignal>
#include <sys/types.h>

class ChildProcess
{
public:
    ~ChildProcess();

    // Starts `program` with `arguments` in `workingDirectory`, with this process's environment changed by
    // `environment` (a null value removes the variable); standard output is collected, standard error passes
    // through. False when it could not be started.
    bool start(const QString &program, const QStringList &arguments, const QMap<QString, QString> &environment = {},
               const QString &workingDirectory = QString());
    pid_t pid() const { return child; }
    // Waits for the end; false when the process did not exit by itself with status 0.
    bool wait();
    // Ends it with SIGTERM (or `signal`) and waits.
    void terminate(int signal = SIGTERM);

    QByteArray output() const { return standardOutput; }
    long peakResidentKiB() const { return peakKiB; }
    // User and system time of the child, in seconds.
    double cpuSeconds() const { return cpu; }

private:
    void reap(int options);

    pid_t child = -1;
    int outputPipe = -1;
    int status = 0;
    long peakKiB = 0;
    double cpu = 0;
    QByteArray standardOutput;
};

// Fields of /proc/<pid>/status in KiB ("VmRSS", "VmHWM"), -1 when unreadable.
long procStatusKiB(pid_t pid, const char *field);
// CPU time used so far by each live thread of the process, by thread id, in nanoseconds (unlike the clock ticks
// of /proc/<pid>/stat); empty when the process is gone.
QMap<int, qint64> threadCpuTimes(pid_t pid);
// CPU seconds used between two readings by the threads alive at the second; the work of a thread that ended in
// between is not counted.
double cpuSecondsBetween(const QMap<int, qint64> &before, const QMap<int, qint64> &after);

#endif
