// Whole-process figures of the real program on the emulated mouse, in the X server of $DISPLAY (scripts/bench.sh
// runs this under xvfb-run):
// - start-up: from exec to the first frame of its window (the first drawing the X server reports on it after it
//   is mapped), and resident memory once it has settled, against a bare Qt window of the same size and flags
//   started the same way, and against that window showing one line of text (the cost of loading the CJK fonts);
//   with Qt's GLX probe and with QT_XCB_GL_INTEGRATION=none, and without GL at 200 % (QT_SCALE_FACTOR=2);
// - idle: CPU used on the buttons page, on the pointer page (five DPI polls a second), on the lighting page with
//   the pictured strip in each animated mode (breathing, cycle, shooting, frenzy) at the highest speed and steady,
//   and while hidden by the close button (from the lighting page, breathing), against the bare window.
// - liveness: the longest a window-manager ping waits for the window's answer during each of six actions, with
//   the mouse answering and with it plugged in but silent (the contrary library's reads time out after 300 ms).
// - under Wine: the installed Windows program's start-up and resident memory against the bare window with its line
//   of text, built for Windows the same way, both from the install folder that $TARNO_BENCH_WINE_DIR names (in
//   $WINEPREFIX).
// Updates are pointed at a dead loopback port, so the network plays no part.
#include "childprocess.h"
#include "pingwatch.h"
#include "programinstall.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPoint>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>

#include "benchmain.h"

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <chrono>
#include <thread>
#include <sys/select.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int WindowWidth = 1200;
constexpr int WindowHeight = 750;
constexpr double IdleSeconds = 10;
constexpr double AnimationSeconds = 3;   // longer than any page's appearance
constexpr double StripFrameMs = 100;   // the frame period of the pictured strip while it breathes (RampFrameMs)
const QString BinDir = QStringLiteral(TARNO_BIN_DIR);

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Watches the X server for the next top-level window of the main window's size (times `scale`): when it is mapped
// and when it is first drawn on.
class WindowWatch
{
public:
    explicit WindowWatch(int scale)
        : width(WindowWidth * scale)
        , height(WindowHeight * scale)
    {
        // Xvfb refuses a connection now and then (EAGAIN) when clients come and go quickly.
        for (int attempt = 0; attempt < 50 && !display; ++attempt) {
            display = XOpenDisplay(nullptr);
            if (!display)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        int error = 0;
        if (!display || !XDamageQueryExtension(display, &damageEventBase, &error))
            return;
        XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
        // Every new top-level window is watched, and some cannot be (Wine's input-only ones), or are gone already.
        XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
        XSync(display, False);
        usable = true;
    }
    ~WindowWatch()
    {
        if (display)
            XCloseDisplay(display);
    }
    bool ok() const { return usable; }

    // Waits until the window has been mapped and drawn on; false at the deadline. Wine creates the window at another
    // size and then sets it, and creates other windows of the size that it never maps: every new top-level window
    // is watched, and the first of the size to be mapped is the one.
    bool waitForFirstFrame(Clock::time_point start, double deadlineSeconds)
    {
        while (secondsSince(start) < deadlineSeconds) {
            if (!XPending(display) && !waitForEvents(0.05))
                continue;
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify && !window) {
                // Watched from creation: the first drawing cannot slip in before the watch.
                const Window created = event.xcreatewindow.window;
                damages[created] = XDamageCreate(display, created, XDamageReportNonEmpty);
                if (event.xcreatewindow.width == width && event.xcreatewindow.height == height)
                    sized.insert(created);
            } else if (event.type == ConfigureNotify && !window && damages.contains(event.xconfigure.window)
                       && event.xconfigure.width == width && event.xconfigure.height == height) {
                sized.insert(event.xconfigure.window);
                XWindowAttributes attributes {};
                if (XGetWindowAttributes(display, event.xconfigure.window, &attributes)
                    && attributes.map_state != IsUnmapped) {
                    window = event.xconfigure.window;
                    mapSeconds = secondsSince(start);
                }
            } else if (event.type == MapNotify && !window && sized.contains(event.xmap.window)) {
                window = event.xmap.window;
                mapSeconds = secondsSince(start);
            } else if (event.type == damageEventBase + XDamageNotify) {
                const auto *notify = reinterpret_cast<const XDamageNotifyEvent *>(&event);
                XDamageSubtract(display, notify->damage, None, None);
                if (notify->drawable == window && window) {
                    frameSeconds = secondsSince(start);
                    return true;
                }
            }
        }
        return false;
    }

    Window windowId() const { return window; }
    double mapSeconds = 0;
    double frameSeconds = 0;

private:
    bool waitForEvents(double seconds)
    {
        const int fd = ConnectionNumber(display);
        fd_set read;
        FD_ZERO(&read);
        FD_SET(fd, &read);
        timeval timeout { 0, long(seconds * 1e6) };
        return select(fd + 1, &read, nullptr, nullptr, &timeout) > 0;
    }

    const int width;
    const int height;
    Display *display = nullptr;
    int damageEventBase = 0;
    Window window = 0;
    QMap<Window, Damage> damages;
    QSet<Window> sized;   // of the main window's size
    bool usable = false;
};

// Waits until the process has used under 5 ms of CPU in half a second (its start-up and animations are over).
bool waitUntilQuiet(pid_t pid, double deadlineSeconds = 20)
{
    const Clock::time_point start = Clock::now();
    QMap<int, qint64> before = threadCpuTimes(pid);
    while (secondsSince(start) < deadlineSeconds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const QMap<int, qint64> now = threadCpuTimes(pid);
        if (now.isEmpty())
            return false;
        if (cpuSecondsBetween(before, now) < 0.005)
            return true;
        before = now;
    }
    return false;
}

// CPU seconds per second over the next `seconds`.
double cpuShare(pid_t pid, double seconds)
{
    const QMap<int, qint64> before = threadCpuTimes(pid);
    const Clock::time_point start = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    return cpuSecondsBetween(before, threadCpuTimes(pid)) / secondsSince(start);
}

bool click(Window window, int x, int y)
{
    return QProcess::execute(QStringLiteral("xdotool"),
                             { QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window),
                               QString::number(x), QString::number(y), QStringLiteral("click"), QStringLiteral("1") })
        == 0;
}

bool xdotool(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

bool isMapped(Window window)
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XWindowAttributes attributes {};
    const bool mapped = XGetWindowAttributes(display, window, &attributes) && attributes.map_state != IsUnmapped;
    XCloseDisplay(display);
    return mapped;
}

// As a user's install, with updates pointed at a dead local port.
struct Install : ProgramInstall
{
    explicit Install(const QString &library = QStringLiteral("libtarno.so"))
        : ProgramInstall(BinDir, QStringLiteral("bench"), library)
    { }

    QMap<QString, QString> environment(bool glProbe, int scale) const
    {
        QMap<QString, QString> environment = ProgramInstall::environment();
        environment.insert(QStringLiteral("TARNO_UPDATE_URL"), QStringLiteral("https://127.0.0.1:9/download/Z31/"));
        environment.insert(QStringLiteral("QT_XCB_GL_INTEGRATION"), glProbe ? QString() : QStringLiteral("none"));
        environment.insert(QStringLiteral("QT_SCALE_FACTOR"), scale == 1 ? QString() : QString::number(scale));
        return environment;
    }
};

// How a window is started: with Qt's GLX probe or without GL, at 100 % or scaled by a whole factor.
struct Launch
{
    bool glProbe = false;
    int scale = 1;
    QStringList arguments;
};

struct Started
{
    double mapSeconds = 0;
    double frameSeconds = 0;
    double residentMiB = 0;
    Window window = 0;
};

// Starts `program` and waits for its first frame and for it to settle.
bool startAndSettle(ChildProcess &child, const QString &program, const Install &install, const Launch &launch,
                    Started &started)
{
    WindowWatch watch(launch.scale);
    if (!watch.ok())
        return false;
    const Clock::time_point start = Clock::now();
    if (!child.start(program, launch.arguments, install.environment(launch.glProbe, launch.scale), install.workDir())
        || !watch.waitForFirstFrame(start, 30) || !waitUntilQuiet(child.pid()))
        return false;
    started = { watch.mapSeconds, watch.frameSeconds, procStatusKiB(child.pid(), "VmRSS") / 1024.0,
                watch.windowId() };
    return true;
}

Install &install()
{
    static Install instance;
    return instance;
}

// Args: 1 with Qt's GLX probe, 0 with QT_XCB_GL_INTEGRATION=none; the scale factor (QT_SCALE_FACTOR).
void startUp(benchmark::State &state)
{
    const Install &setup = install();
    if (!setup.problem().isEmpty())
        return state.SkipWithError(setup.problem().toUtf8().constData());
    const Launch launch { state.range(0) != 0, int(state.range(1)), {} };
    Launch withText = launch;
    withText.arguments = QStringList { QStringLiteral("--text") };
    const QString bareWindow = BinDir + QStringLiteral("/bench_bare_window");
    double frame = 0, bareFrame = 0, textFrame = 0, map = 0, resident = 0, bareResident = 0, textResident = 0;
    for (auto _ : state) {
        Started program, bare, text;
        ChildProcess programProcess, bareProcess, textProcess;
        if (!startAndSettle(programProcess, setup.program(), setup, launch, program))
            return state.SkipWithError("the program showed no window (is DISPLAY set?)");
        programProcess.terminate();
        if (!startAndSettle(bareProcess, bareWindow, setup, launch, bare))
            return state.SkipWithError("the bare window did not show");
        bareProcess.terminate();
        if (!startAndSettle(textProcess, bareWindow, setup, withText, text))
            return state.SkipWithError("the bare window with text did not show");
        textProcess.terminate();
        state.SetIterationTime(program.frameSeconds);
        frame += program.frameSeconds;
        map += program.mapSeconds;
        bareFrame += bare.frameSeconds;
        textFrame += text.frameSeconds;
        resident = std::max(resident, program.residentMiB);
        bareResident = std::max(bareResident, bare.residentMiB);
        textResident = std::max(textResident, text.residentMiB);
    }
    const double runs = double(state.iterations());
    state.counters["map_ms"] = map * 1000 / runs;
    state.counters["bare_frame_ms"] = bareFrame * 1000 / runs;
    state.counters["frame_ratio"] = frame / bareFrame;
    state.counters["text_frame_ms"] = textFrame * 1000 / runs;
    state.counters["text_frame_ratio"] = frame / textFrame;
    state.counters["rss_MiB"] = resident;
    state.counters["bare_rss_MiB"] = bareResident;
    state.counters["rss_ratio"] = resident / bareResident;
    state.counters["text_rss_MiB"] = textResident;
    state.counters["text_rss_ratio"] = resident / textResident;
}
BENCHMARK(startUp)->Args({ 0, 1 })->Args({ 1, 1 })->Args({ 0, 2 })->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// The mouse breathes at speed 8, so that the program shows it so from the start (the buttons page unaffected).
bool setBreathingFast(const Install &setup)
{
    QFile memory(setup.filePath(QStringLiteral("emu/memory")));
    const QByteArray lines = "lighting.mode=2\nlighting.speed=8\n";
    return memory.open(QIODevice::WriteOnly | QIODevice::Append) && memory.write(lines) == lines.size();
}

void idleCpu(benchmark::State &state)
{
    const Install &setup = install();
    if (!setup.problem().isEmpty())
        return state.SkipWithError(setup.problem().toUtf8().constData());
    if (!setBreathingFast(setup))
        return state.SkipWithError("cannot write the emulated mouse's memory");
    const QString trayer = QStandardPaths::findExecutable(QStringLiteral("trayer"));
    for (auto _ : state) {
        // A desktop with a system tray, to which the close button hides the window (a bare X server has none, and
        // there the close button ends the program).
        ChildProcess tray;
        if (!tray.start(trayer, { QStringLiteral("--edge"), QStringLiteral("top") }))
            return state.SkipWithError("trayer is missing (package trayer)");
        ChildProcess programProcess, bareProcess;
        Started program, bare;
        if (!startAndSettle(bareProcess, BinDir + QStringLiteral("/bench_bare_window"), setup, Launch(), bare))
            return state.SkipWithError("the bare window did not show");
        state.counters["bare_cpu_pct"] = 100 * cpuShare(bareProcess.pid(), IdleSeconds);
        bareProcess.terminate();

        if (!startAndSettle(programProcess, setup.program(), setup, Launch(), program))
            return state.SkipWithError("the program showed no window (is DISPLAY set?)");
        const double buttons = cpuShare(programProcess.pid(), IdleSeconds);
        if (!click(program.window, 660, 675))   // the pointer page's navigation button
            return state.SkipWithError("xdotool failed");
        std::this_thread::sleep_for(std::chrono::duration<double>(AnimationSeconds));
        const double pointer = cpuShare(programProcess.pid(), IdleSeconds);
        if (!click(program.window, 600, 675))   // the lighting page's navigation button
            return state.SkipWithError("xdotool failed");
        std::this_thread::sleep_for(std::chrono::duration<double>(AnimationSeconds));
        const double breathing = cpuShare(programProcess.pid(), IdleSeconds);
        // The other animated modes, at the same speed, then the still strip.
        double modeCpu[4] = {};
        const QPoint modeButtons[4] = { { 255, 283 }, { 105, 283 }, { 255, 243 }, { 105, 243 } };
        for (int mode = 0; mode < 4; ++mode) {
            if (!click(program.window, modeButtons[mode].x(), modeButtons[mode].y()))
                return state.SkipWithError("xdotool failed");
            std::this_thread::sleep_for(std::chrono::duration<double>(AnimationSeconds));
            modeCpu[mode] = cpuShare(programProcess.pid(), IdleSeconds);
        }
        const double steady = modeCpu[3];
        // Breathing again, so that the tray figure shows the strip's effect stopped with the window hidden.
        if (!click(program.window, 105, 323))   // the breathing mode's button
            return state.SkipWithError("xdotool failed");
        if (!click(program.window, 1155, 38))   // the close button: the program goes on in the tray
            return state.SkipWithError("xdotool failed");
        std::this_thread::sleep_for(std::chrono::duration<double>(AnimationSeconds));
        if (isMapped(program.window))
            return state.SkipWithError("the close button did not hide the window");
        const double hidden = cpuShare(programProcess.pid(), IdleSeconds);
        programProcess.terminate();
        tray.terminate();

        state.SetIterationTime(8 * IdleSeconds);
        state.counters["buttons_cpu_pct"] = 100 * buttons;
        state.counters["breathing_cpu_pct"] = 100 * breathing;
        state.counters["cycle_cpu_pct"] = 100 * modeCpu[0];
        state.counters["shooting_cpu_pct"] = 100 * modeCpu[1];
        state.counters["frenzy_cpu_pct"] = 100 * modeCpu[2];
        state.counters["steady_cpu_pct"] = 100 * steady;
        // What one frame of the strip costs beyond the steady strip's idle.
        state.counters["strip_frame_ms"] = 1000 * (breathing - steady) * StripFrameMs / 1000;
        state.counters["pointer_cpu_pct"] = 100 * pointer;
        state.counters["hidden_cpu_pct"] = 100 * hidden;
        // What one DPI poll costs beyond the buttons page's idle.
        state.counters["poll_cpu_ms"] = 1000 * (pointer - buttons) / 5;
    }
}
BENCHMARK(idleCpu)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// The capture file's length once it has stopped growing for a second (the action's traffic is over), at most
// `deadlineSeconds` from now.
qint64 waitUntilCaptureStill(const QString &capture, double deadlineSeconds)
{
    const Clock::time_point start = Clock::now();
    qint64 size = QFileInfo(capture).size();
    Clock::time_point changed = Clock::now();
    while (secondsSince(start) < deadlineSeconds && secondsSince(changed) < 1) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const qint64 now = QFileInfo(capture).size();
        if (now != size) {
            size = now;
            changed = Clock::now();
        }
    }
    return size;
}

enum Action { StartUp, PlugIn, ButtonDialog, FactoryReset, PointerPage, Export };

// Does what the user does for `action` in the window (start-up and plug-in happen by themselves).
bool act(Action action, Window window, const Install &setup)
{
    const QString id = QString::number(window);
    switch (action) {
    case StartUp:
        return true;
    case PlugIn:
        return setup.emu({ QStringLiteral("plug") }) == 0;
    case ButtonDialog:
        return click(window, 397, 219);   // button 2
    case FactoryReset:
        // "恢复默认设置", then the pop-up's first button, which has the keyboard.
        return click(window, 105, 40) && xdotool({ QStringLiteral("key"), QStringLiteral("Return") });
    case PointerPage:
        return click(window, 660, 675);
    case Export:
        // A name in the file dialog that "导出配置" opened (see prepare()).
        return xdotool({ QStringLiteral("type"), setup.filePath(QStringLiteral("work/bench.z31.json")) })
            && xdotool({ QStringLiteral("key"), QStringLiteral("Return") });
    }
    return false;
}

// What comes before the action: for an export, the settings page's "导出配置" and its file dialog, whose
// opening is Qt's own work whatever the mouse does.
bool prepare(Action action, Window window, pid_t pid)
{
    if (action != Export)
        return true;
    return click(window, 1085, 38) && click(window, 755, 487) && waitUntilQuiet(pid);
}

// The longest a ping waited during `action`, in ms; -1 when the run failed.
double longestPingDuring(Action action, bool silent)
{
    Install setup(QStringLiteral("libtarno-contrary.so"));
    const QString capture = setup.filePath(QStringLiteral("capture.txt"));
    const QStringList silence { QStringLiteral("fail-reads"), QStringLiteral("1000000") };
    if (!setup.problem().isEmpty() || setup.emu({ QStringLiteral("capture"), capture }) != 0
        || (action == PlugIn && setup.emu({ QStringLiteral("unplug") }) != 0)
        || (silent && action == StartUp && setup.emu(silence) != 0))
        return -1;
    ChildProcess program;
    Started started;
    if (!startAndSettle(program, setup.program(), setup, Launch(), started)
        || (silent && action != StartUp && setup.emu(silence) != 0))
        return -1;
    if (!prepare(action, started.window, program.pid()))
        return -1;
    PingWatch pings(started.window);
    if (!pings.valid() || !act(action, started.window, setup))
        return -1;
    waitUntilCaptureStill(capture, 60);
    const double longest = pings.longestMs();
    program.terminate();
    return longest;
}

// Arg: the action.
void pingsDuringAction(benchmark::State &state)
{
    const auto action = Action(state.range(0));
    for (auto _ : state) {
        const double answering = longestPingDuring(action, false);
        const double silent = longestPingDuring(action, true);
        if (answering < 0 || silent < 0)
            return state.SkipWithError("the program or xdotool failed");
        state.SetIterationTime(silent / 1000);
        state.counters["answering_ms"] = answering;
        state.counters["silent_ms"] = silent;
    }
}
BENCHMARK(pingsDuringAction)->DenseRange(StartUp, Export)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// The installed Windows program and the bare window beside it, each started under Wine as its shortcut would
// start it, on an emulated mouse of this machine's (the Windows library reaches it through the Z: drive).
void wineStartUp(benchmark::State &state)
{
    const QString folder = qEnvironmentVariable("TARNO_BENCH_WINE_DIR");
    if (folder.isEmpty() || !QFileInfo::exists(folder + QStringLiteral("/bench_bare_window.exe")))
        return state.SkipWithError("no Windows install: TARNO_BENCH_WINE_DIR (scripts/bench.sh sets it)");
    const Install &setup = install();
    QMap<QString, QString> environment = setup.environment(false, 1);
    QString emuDir = environment.value(QStringLiteral("TARNO_EMU_DIR"));
    environment.insert(QStringLiteral("TARNO_EMU_DIR"), QStringLiteral("Z:") + emuDir.replace('/', '\\'));
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    // The X platform's settings would reach the Windows program too, which has its own platform plugin.
    for (const QString &name : { QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("QT_XCB_GL_INTEGRATION") })
        environment.insert(name, QString());
    const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
    const QString wineserver = QStandardPaths::findExecutable(QStringLiteral("wineserver"));
    const auto startUnderWine = [&](ChildProcess &child, const QStringList &program, Started &started) {
        WindowWatch watch(1);
        const Clock::time_point start = Clock::now();
        if (!watch.ok()
            || !child.start(wine, QStringList { folder + QLatin1Char('/') + program.first() } + program.mid(1),
                            environment, folder)
            || !watch.waitForFirstFrame(start, 60) || !waitUntilQuiet(child.pid()))
            return false;
        started = { watch.mapSeconds, watch.frameSeconds, procStatusKiB(child.pid(), "VmRSS") / 1024.0,
                    watch.windowId() };
        return true;
    };
    double frame = 0, bareFrame = 0, map = 0, bareMap = 0, resident = 0, bareResident = 0;
    for (auto _ : state) {
        Started program, bare;
        ChildProcess programProcess, bareProcess;
        // Wine passes SIGTERM on to the program as a console's close, which a window does not heed. After each
        // kill Wine's server is let go down, so that both start as the first program in a session does: one
        // started while it is still tidying up after the last would wait about 2 s for it.
        const bool programFirst = state.iterations() % 2 == 0;
        for (const bool startProgram : { programFirst, !programFirst }) {
            ChildProcess &child = startProgram ? programProcess : bareProcess;
            // The bare window with its line of text: Wine maps a translucent window only once something is drawn.
            const QStringList command = startProgram
                ? QStringList { QStringLiteral("TARNO_CONNECT_PC.exe") }
                : QStringList { QStringLiteral("bench_bare_window.exe"), QStringLiteral("--text") };
            if (!startUnderWine(child, command, startProgram ? program : bare))
                return state.SkipWithError("a window did not show under Wine");
            child.terminate(SIGKILL);
            QProcess::execute(wineserver, { QStringLiteral("-w") });
        }
        state.SetIterationTime(program.frameSeconds);
        frame += program.frameSeconds;
        bareFrame += bare.frameSeconds;
        map += program.mapSeconds;
        bareMap += bare.mapSeconds;
        resident = std::max(resident, program.residentMiB);
        bareResident = std::max(bareResident, bare.residentMiB);
    }
    state.counters["bare_frame_ms"] = bareFrame * 1000 / double(state.iterations());
    state.counters["map_ms"] = map * 1000 / double(state.iterations());
    state.counters["bare_map_ms"] = bareMap * 1000 / double(state.iterations());
    state.counters["frame_ratio"] = frame / bareFrame;
    state.counters["rss_MiB"] = resident;
    state.counters["bare_rss_MiB"] = bareResident;
    state.counters["rss_ratio"] = resident / bareResident;
}
BENCHMARK(wineStartUp)->Iterations(4)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return runBenchmarks(argc, argv);
}
