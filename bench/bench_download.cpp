// Downloads of a 200 MiB file from nginx on loopback over HTTPS: the update service (bench_download_service, in a
// process of its own, as the program's worker) against curl and against Qt's own floor (bench_download_floor: the
// same fetch without resuming or hashing), on the same server and file, each going first in turn.
// Figures: throughput and processor time, and the peak resident memory of each process; the service's growth while
// downloading.
#include "childprocess.h"
#include "testserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "benchmain.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>

namespace {

constexpr qint64 FileSize = 200LL * 1024 * 1024;
constexpr double MiB = 1024.0 * 1024.0;
const QString FirmwareName = QStringLiteral("Z31_USB.bin");
const QString ServiceProgram = QStringLiteral(TARNO_BIN_DIR "/bench_download_service");
const QString FloorProgram = QStringLiteral(TARNO_BIN_DIR "/bench_download_floor");

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
    double cpuSeconds = 0;
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
    run.cpuSeconds = child.cpuSeconds();
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
    const QMap<QString, QString> environment {
        { QStringLiteral("TARNO_UPDATE_URL"), server.nginx.baseUrl() },
        { QStringLiteral("SSL_CERT_FILE"), server.authority.caPath() },
    };
    const QString url = server.nginx.baseUrl() + FirmwareName;

    double serviceSeconds = 0, curlSeconds = 0, floorSeconds = 0, serviceCpu = 0, curlCpu = 0;
    long servicePeak = 0, curlPeak = 0, serviceGrowth = 0;
    for (auto _ : state) {
        QTemporaryDir serviceFolder, curlFolder, floorFolder;
        Run service, peer, floor;
        auto runService = [&] { return timedRun(ServiceProgram, {}, environment, serviceFolder.path(), service); };
        auto runCurl = [&] {
            return timedRun(curl,
                            { QStringLiteral("-sS"), QStringLiteral("--fail"), QStringLiteral("--cacert"),
                              server.authority.caPath(), QStringLiteral("-o"), FirmwareName, url },
                            {}, curlFolder.path(), peer);
        };
        auto runFloor = [&] {
            return timedRun(FloorProgram, { url, FirmwareName }, environment, floorFolder.path(), floor);
        };
        // Each goes first in turn, so that none always meets the warmer page cache.
        const std::function<bool()> runs[] = { runService, runCurl, runFloor };
        const int first = int(state.iterations() % 3);
        for (int i = 0; i < 3; ++i) {
            if (!runs[(first + i) % 3]())
                return state.SkipWithError("a download failed");
        }
        state.SetIterationTime(service.seconds);
        serviceSeconds += service.seconds;
        curlSeconds += peer.seconds;
        floorSeconds += floor.seconds;
        serviceCpu += service.cpuSeconds;
        curlCpu += peer.cpuSeconds;
        servicePeak = std::max(servicePeak, service.peakKiB);
        curlPeak = std::max(curlPeak, peer.peakKiB);
        serviceGrowth = std::max(serviceGrowth, service.output.mid(service.output.indexOf('=') + 1).trimmed().toLong());
    }
    const double megabytes = FileSize / MiB * double(state.iterations());
    state.SetBytesProcessed(state.iterations() * FileSize);
    state.counters["service_MiBps"] = megabytes / serviceSeconds;
    state.counters["curl_MiBps"] = megabytes / curlSeconds;
    state.counters["floor_MiBps"] = megabytes / floorSeconds;
    state.counters["throughput_ratio"] = curlSeconds / serviceSeconds;
    state.counters["floor_ratio"] = floorSeconds / serviceSeconds;
    state.counters["floor_curl_ratio"] = curlSeconds / floorSeconds;
    state.counters["cpu_ratio"] = serviceCpu / curlCpu;
    state.counters["service_peak_MiB"] = servicePeak / 1024.0;
    state.counters["curl_peak_MiB"] = curlPeak / 1024.0;
    state.counters["peak_ratio"] = double(servicePeak) / double(curlPeak);
    state.counters["service_growth_MiB"] = serviceGrowth / 1024.0;
}
BENCHMARK(downloadAgainstCurl)->Iterations(6)->UseManualTime()->Unit(benchmark::kMillisecond);

}   // namespace

int main(int argc, char **argv)
{
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QCoreApplication app(argc, argv);
    return runBenchmarks(argc, argv);
}
