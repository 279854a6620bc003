// A 96 KiB firmware update of the whole program, driven through its dialog as a user does it, with the emulated
// mouse at 1000 us per library call (full-speed USB): from the click on the start button to the finish packet
// at the library, against the floor of one 1 ms frame per packet of the same transfer. The program downloads the
// image from nginx on loopback, as it would from the maker's server, and runs in the X server of $DISPLAY
// (scripts/bench.sh runs this under xvfb-run). Each iteration uses a fresh mouse and a fresh program.
#include "childprocess.h"
#include "programinstall.h"
#include "testserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPoint>
#include <QProcess>
#include <QTemporaryDir>

#include "benchmain.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

namespace {

constexpr int ImageSize = 96 * 1024;
// Start, prepare, region, the data packets, end of data, record, finish.
constexpr int ExpectedPackets = 3 + (ImageSize + 55) / 56 + 3;
const QString BinDir = QStringLiteral(TARNO_BIN_DIR);
// Window-relative positions: the settings button and the firmware row; in the dialog, its start button.
const QPoint SettingsButton(1085, 38);
const QPoint FirmwareButton(850, 337);
const QPoint StartButton(400, 443);

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray firmwareImage()
{
    QByteArray image("Z31F\x01\x02\x04", 7);
    quint32 state = 0x12345678;
    while (image.size() < ImageSize) {
        state = state * 1664525u + 1013904223u;
        image.append(char(state >> 24));
    }
    return image;
}

QString xdotool(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    tool.waitForFinished(10000);
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

// The first visible window of the process with this geometry ("800x500"), or an empty string.
QString windowOfSize(qint64 pid, const QString &size)
{
    const QStringList ids = xdotool({ QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                      QStringLiteral("--pid"), QString::number(pid) })
                                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &id : ids) {
        if (xdotool({ QStringLiteral("getwindowgeometry"), id }).contains(QStringLiteral("Geometry: ") + size))
            return id;
    }
    return QString();
}

void moveTo(const QString &window, const QPoint &at)
{
    xdotool({ QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("--window"), window,
              QString::number(at.x()), QString::number(at.y()) });
}

void click(const QString &window, const QPoint &at)
{
    moveTo(window, at);
    xdotool({ QStringLiteral("click"), QStringLiteral("1") });
}

bool waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// nginx serving the image, started once for the whole run.
struct Server
{
    TestAuthority authority;
    QTemporaryDir www;
    NginxServer nginx;
    QString problem;

    Server()
    {
        const QString folder = www.filePath(QStringLiteral("download/Z31/"));
        if (!authority.create(QStringLiteral("Tarno Bench Authority")))
            problem = authority.error();
        else if (!writeFile(folder + QStringLiteral("TarnoConnectUpdate.txt"), "x1\n\n10009\n1.2.4\n")
                 || !writeFile(folder + QStringLiteral("Z31_USB.bin"), firmwareImage())
                 || !writeFile(folder + QStringLiteral("FWUpdateContent.txt"), "bench"))
            problem = QStringLiteral("cannot write the served files");
        else if (!nginx.start(www.path(), authority))
            problem = nginx.error();
    }
};

Server &server()
{
    static Server instance;
    return instance;
}

// Follows the capture file as the library appends to it, reading only what is new.
class CaptureTail
{
public:
    explicit CaptureTail(const QString &path)
        : file(path)
    { }

    // Waits for a line starting with `prefix`; counts the lines starting with `counted`. Polls every 10 ms until
    // `expected` - 50 of those are there, then every 0.25 ms: the measuring must not take the CPU from the program.
    bool waitForLine(const QByteArray &prefix, const QByteArray &counted, int expected, int timeoutMs, int &count)
    {
        QElapsedTimer timer;
        timer.start();
        QByteArray pending;
        while (timer.elapsed() < timeoutMs) {
            if (!file.isOpen() && !file.open(QIODevice::ReadOnly))
                return false;
            pending += file.readAll();
            int end;
            while ((end = pending.indexOf('\n')) >= 0) {
                const QByteArray line = pending.left(end);
                pending.remove(0, end + 1);
                count += line.startsWith(counted);
                if (line.startsWith(prefix))
                    return true;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(count < expected - 50 ? 10000 : 250));
        }
        return false;
    }

private:
    QFile file;
};

void flashThroughDialog(benchmark::State &state)
{
    Server &from = server();
    if (!from.problem.isEmpty())
        return state.SkipWithError(from.problem.toUtf8().constData());
    double seconds = 0;
    double best = 1e9;
    int packets = 0;
    for (auto _ : state) {
        ProgramInstall install(BinDir, QStringLiteral("flash"));
        const QString capturePath = install.filePath(QStringLiteral("capture.txt"));
        if (!install.problem().isEmpty() || install.emu({ QStringLiteral("capture"), capturePath }) != 0)
            return state.SkipWithError("cannot install the program");
        QMap<QString, QString> environment = install.environment();
        environment.insert(QStringLiteral("TARNO_UPDATE_URL"), from.nginx.baseUrl());
        environment.insert(QStringLiteral("SSL_CERT_FILE"), from.authority.caPath());
        environment.insert(QStringLiteral("QT_XCB_GL_INTEGRATION"), QStringLiteral("none"));
        ChildProcess program;
        QString window;
        if (!program.start(install.program(), {}, environment, install.workDir())
            || !waitFor([&] { return !(window = windowOfSize(program.pid(), "1200x750")).isEmpty(); }, 20000))
            return state.SkipWithError("the program showed no window (is DISPLAY set?)");
        const QString image = QDir(install.workDir()).filePath(QStringLiteral("Z31_USB.bin"));
        if (!waitFor([&] { return QFileInfo(image).size() == ImageSize; }, 30000))
            return state.SkipWithError("the image was not downloaded");
        click(window, SettingsButton);
        QString dialog;
        // The button opens the dialog once the offer has been made; a click beside an open dialog would close it.
        for (int attempt = 0; attempt < 30 && dialog.isEmpty(); ++attempt) {
            click(window, FirmwareButton);
            waitFor([&] { return !(dialog = windowOfSize(program.pid(), "800x500")).isEmpty(); }, 1000);
        }
        if (dialog.isEmpty())
            return state.SkipWithError("no firmware dialog");
        if (install.emu({ QStringLiteral("latency"), QStringLiteral("1000") }) != 0 || !QFile(capturePath).resize(0))
            return state.SkipWithError("cannot prepare the mouse");
        moveTo(dialog, StartButton);

        CaptureTail capture(capturePath);
        int written = 0;
        const auto start = std::chrono::steady_clock::now();
        xdotool({ QStringLiteral("click"), QStringLiteral("1") });
        if (!capture.waitForLine("WrtieConfig 63 d7", "WrtieConfig 63 ", ExpectedPackets, 60000, written))
            return state.SkipWithError("the transfer did not reach its finish packet");
        const double run = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        program.terminate();
        state.SetIterationTime(run);
        seconds += run;
        best = std::min(best, run);
        packets = written;
    }
    const double floorMs = setFloorCounters(state, seconds, packets);
    // Other load on the machine only ever adds time: the best run shows the program's own pace.
    state.counters["best_ms"] = best * 1000;
    state.counters["best_ratio_to_floor"] = best * 1000 / floorMs;
}
BENCHMARK(flashThroughDialog)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}   // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return runBenchmarks(argc, argv);
}
