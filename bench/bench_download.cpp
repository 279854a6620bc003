// Downloads of a 200 MiB file from nginx on loopback over HTTPS: the update service (in a process of its own, as
// the program's worker) against curl on the same server, file and folder, alternately in each iteration.
// Figures: throughput, and the peak resident memory of each process; the service's growth while downloading.
#include "childprocess.h"
#include "testserver.h"

#include "update/update.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include "benchmain.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

constexpr qint64 FileSize = 200LL * 1024 * 1024;
constexpr double MiB = 1024.0 * 1024.0;
const QString FirmwareName = QStringLiteral("Z31_USB.bin");
const char FetchOption[] = "--fetch-firmware";

// The child's side: the update service on its own thread, as the main window runs it, fetching the firmware
// into the current folder. Prints how much its resident memory grew meanwhile.
int fetchFirmware(int argc, char **argv)
{
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QCoreApplication app(argc, argv);
    QThread thread;
    auto *update = new Update;
    update->moveToThread(&thread);
    QObject::connect(&thread, &QThread::finished, update, &QObject::deleteLater);
    QObject::connect(update, &Update::signalGetFWUpdateFinished, &app, [&app] { app.exit(0); });
    thread.start();
    const long residentBefore = procStatusKiB(getpid(), "VmRSS");
    QMetaObject::invokeMethod(update, &Update::downloadFW, Qt::QueuedConnection);
    QTimer::singleShot(300000, &app, [&app] { app.exit(1); });
    const int result = app.exec();
    QMetaObject::invokeMethod(update, &Update::stop, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
    std::printf("growth_kib=%ld\n", procStatusKiB(getpid(), "VmHWM") - residentBefore);
    return result;
}

// nginx with the file, started once for the whole run.
struct Server
{
    TestAuthority authority;
    NginxServer nginx;
    QTemporaryDir www;
    QString problem;

    Server()
    {
        if (!authority.create(QStringLiteral("Tarno Bench Authority")) || !www.isValid()) {
            problem = authority.error();
            return;
        }
        QDir(www.path()).mkpath(QStringLiteral("download/Z31"));
        QFile file(www.filePath(QStringLiteral("download/Z31/") + FirmwareName));
        if (!file.open(QIODevice::WriteOnly)) {
            problem = file.errorString();
            return;
        }
        QByteArray block(1024 * 1024, '\0');
        quint32 state = 1;
        for (qint64 written = 0; written < FileSize; written += block.size()) {
            for (char &byte : block) {
                state = state * 1664525u + 1013904223u;
                byte = char(state >> 24);
            }
            if (file.write(block) != block.size()) {
                problem = file.errorString();
                return;
            }
        }
        file.close();
        if (!nginx.start(www.path(), authority))
            problem = nginx.error();
    }
};

struct Run
{
    double seconds = 0;
    long peakKiB = 0;
    QByteArray output;
};

bool timedRun(const QString &program, const QStringList &arguments, const QMap<QString, QString> &environment,
              const QString &folder, Run &run)
{
    ChildProcess child;
    const auto start = std::chrono::steady_clock::now();
    if (!child.start(program, arguments, environment, folder))
        return false;
    const bool ok = child.wait();
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakKiB = child.peakResidentKiB();
    run.output = child.output();
    return ok && QFileInfo(QDir(folder).filePath(FirmwareName)).size() == FileSize;
}

void downloadAgainstCurl(benchmark::State &state)
{
    static Server server;
    if (!server.problem.isEmpty())
        return state.SkipWithError(server.problem.toUtf8().constData());
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    if (curl.isEmpty())
        return state.SkipWithError("curl is not installed");
    const QString self = QCoreApplication::applicationFilePath();
    const QMap<QString, QString> environment {
        { QStringLiteral("TARNO_UPDATE_URL"), server.nginx.baseUrl() },
        { QStringLiteral("SSL_CERT_FILE"), server.authority.caPath() },
    };
    const QString url = server.nginx.baseUrl() + FirmwareName;

    double serviceSeconds = 0, curlSeconds = 0;
    long servicePeak = 0, curlPeak = 0, serviceGrowth = 0;
    for (auto _ : state) {
        QTemporaryDir serviceFolder, curlFolder;
        Run service, peer;
        // Alternate which one goes first, so that neither always meets the warmer page cache.
        const bool serviceFirst = state.iterations() % 2 == 0;
        auto runService = [&] {
            return timedRun(self, { QString::fromLatin1(FetchOption) }, environment, serviceFolder.path(), service);
        };
        auto runCurl = [&] {
            return timedRun(curl, { QStringLiteral("-sS"), QStringLiteral("--fail"), QStringLiteral("--cacert"),
                                    server.authority.caPath(), QStringLiteral("-o"), FirmwareName, url },
                            {}, curlFolder.path(), peer);
        };
        const bool ok = serviceFirst ? runService() && runCurl() : runCurl() && runService();
        if (!ok)
            return state.SkipWithError("a download failed");
        state.SetIterationTime(service.seconds);
        serviceSeconds += service.seconds;
        curlSeconds += peer.seconds;
        servicePeak = std::max(servicePeak, service.peakKiB);
        curlPeak = std::max(curlPeak, peer.peakKiB);
        serviceGrowth = std::max(serviceGrowth, service.output.mid(service.output.indexOf('=') + 1).trimmed().toLong());
    }
    const double megabytes = FileSize / MiB * double(state.iterations());
    state.SetBytesProcessed(state.iterations() * FileSize);
    state.counters["service_MiBps"] = megabytes / serviceSeconds;
    state.counters["curl_MiBps"] = megabytes / curlSeconds;
    state.counters["throughput_ratio"] = curlSeconds / serviceSeconds;
    state.counters["service_peak_MiB"] = servicePeak / 1024.0;
    state.counters["curl_peak_MiB"] = curlPeak / 1024.0;
    state.counters["peak_ratio"] = double(servicePeak) / double(curlPeak);
    state.counters["service_growth_MiB"] = serviceGrowth / 1024.0;
}
BENCHMARK(downloadAgainstCurl)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && qstrcmp(argv[1], FetchOption) == 0)
        return fetchFirmware(argc, argv);
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QCoreApplication app(argc, argv);
    return runBenchmarks(argc, argv);
}
