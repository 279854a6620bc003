#include "childprocess.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

ChildProcess::~ChildProcess()
{
    if (child > 0)
        terminate();
}

bool ChildProcess::start(const QString &program, const QStringList &arguments,
                         const QMap<QString, QString> &environment, const QString &workingDirectory)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return false;
    // Everything exec needs is prepared before the fork: the child only calls async-signal-safe functions.
    std::vector<QByteArray> argumentBytes { program.toLocal8Bit() };
    for (const QString &argument : arguments)
        argumentBytes.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &argument : argumentBytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<QByteArray> environmentBytes;
    for (char **entry = environ; *entry; ++entry) {
        const QByteArray line(*entry);
        if (!environment.contains(QString::fromLocal8Bit(line.left(line.indexOf('=')))))
            environmentBytes.push_back(line);
    }
    for (auto it = environment.cbegin(); it != environment.cend(); ++it) {
        if (!it.value().isNull())
            environmentBytes.push_back((it.key() + QLatin1Char('=') + it.value()).toLocal8Bit());
    }
    std::vector<char *> envp;
    for (QByteArray &entry : environmentBytes)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    const QByteArray directory = workingDirectory.toLocal8Bit();

    child = fork();
    if (child < 0) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        return false;
    }
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        if (!directory.isEmpty() && chdir(directory.constData()) != 0)
            _exit(126);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    outputPipe = pipeEnds[0];
    standardOutput.clear();
    peakKiB = 0;
    cpu = 0;
    return true;
}

void ChildProcess::reap(int options)
{
    if (outputPipe >= 0) {
        char buffer[4096];
        ssize_t got;
        while ((got = read(outputPipe, buffer, sizeof buffer)) > 0)
            standardOutput.append(buffer, int(got));
        close(outputPipe);
        outputPipe = -1;
    }
    rusage usage {};
    if (wait4(child, &status, options, &usage) == child) {
        peakKiB = usage.ru_maxrss;
        cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
            + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    child = -1;
}

bool ChildProcess::wait()
{
    if (child <= 0)
        return false;
    reap(0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void ChildProcess::terminate(int signal)
{
    if (child <= 0)
        return;
    kill(child, signal);
    reap(0);
}

long procStatusKiB(pid_t pid, const char *field)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

QMap<int, qint64> threadCpuTimes(pid_t pid)
{
    QMap<int, qint64> times;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &thread : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile file(tasks.filePath(thread + QStringLiteral("/schedstat")));
        if (file.open(QIODevice::ReadOnly))
            times.insert(thread.toInt(), file.readAll().split(' ').value(0).toLongLong());
    }
    return times;
}

double cpuSecondsBetween(const QMap<int, qint64> &before, const QMap<int, qint64> &after)
{
    qint64 nanoseconds = 0;
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        nanoseconds += it.value() - before.value(it.key(), 0);
    return double(nanoseconds) / 1e9;
}
