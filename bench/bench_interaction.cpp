// From the user's input to the command reaching the mouse's library: a DPI slider released, a lighting mode
// clicked, a report rate clicked. Each against one frame at 60 Hz, the time in which a user would see a reply.
// Timed from the release event's delivery to the library's entry point, on the mouse link's own thread as in the
// program; the emulated library's own work (it saves the mouse's memory) is not counted.
#include "emulatedmouse.h"

#include "device/devicecontext.h"
#include "device/deviceprotocol.h"
#include "device/devicesettings.h"
#include "device/mouse.h"
#include "device/mouselink.h"
#include "lighting/leds_widget.h"
#include "lighting/lightingcommand.h"
#include "lighting/usercolorsettings.h"
#include "pointer/dpileft.h"
#include "pointer/pointer_widget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QButtonGroup>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>

#include "benchmain.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double FrameMs = 1000.0 / 60;

WrtieControlFn libraryControlWrite = nullptr;
Clock::time_point reachedLibrary;
std::atomic<bool> reached { false };

int timedControlWrite(int length, const unsigned char *data)
{
    reachedLibrary = Clock::now();
    reached.store(true, std::memory_order_release);
    return libraryControlWrite(length, data);
}

MouseLink *activeLink = nullptr;

// Lets the library finish the command (it saves the mouse's memory) before the next one is timed.
void drainLink()
{
    QEventLoop idle;
    activeLink->ask(&idle, [](DeviceContext &) { return QVariant(true); }, [&idle](const QVariant &) { idle.quit(); });
    idle.exec();
}

// The command travels to the link's thread: wait for it there, a second at most.
bool waitUntilReached()
{
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(1);
    while (!reached.load(std::memory_order_acquire)) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

// The mouse, its entry points with the control write timed, and its settings read as start-up reads them.
struct Session
{
    EmulatedMouse mouse;
    QTemporaryDir colourFolder;
    std::unique_ptr<MouseLink> link;
    std::unique_ptr<Mouse> device;

    Session()
    {
        if (!mouse.error().isEmpty())
            return;
        setUserColorFile(colourFolder.filePath(QStringLiteral("user_color.ini")));
        readSettingsBlocks(deviceSettings);
        libraryControlWrite = deviceContext.WrtieControl;
        deviceContext.WrtieControl = timedControlWrite;
        link = std::make_unique<MouseLink>(deviceContext);
        device = std::make_unique<Mouse>(*link);
        activeLink = link.get();
    }
    ~Session()
    {
        activeLink = nullptr;
        device.reset();
        link.reset();
        deviceContext.WrtieControl = libraryControlWrite;
    }
};

QPoint handleCentre(const QSlider *slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.subControls = QStyle::SC_All;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider).center();
}

// Runs `prepare`, then times `release` up to the library's entry; ends the benchmark when nothing is sent.
bool timeRelease(benchmark::State &state, double &totalMs, const std::function<void()> &prepare,
                 const std::function<void()> &release)
{
    prepare();
    reached = false;
    const Clock::time_point start = Clock::now();
    release();
    if (!waitUntilReached()) {
        state.SkipWithError("nothing reached the library");
        return false;
    }
    drainLink();
    const double seconds = std::chrono::duration<double>(reachedLibrary - start).count();
    state.SetIterationTime(seconds);
    totalMs += seconds * 1000;
    return true;
}

void reportAgainstFrame(benchmark::State &state, double totalMs)
{
    state.counters["ratio_to_frame"] = totalMs / double(state.iterations()) / FrameMs;
}

void sliderReleaseToCommand(benchmark::State &state)
{
    Session session;
    if (!session.mouse.error().isEmpty())
        return state.SkipWithError(session.mouse.error().toUtf8().constData());
    pointer_Widget page(*session.device);
    page.resize(1200, 750);
    page.showDeviceDpi(deviceSettings);
    QSlider *slider = page.levelEditor->levelSlider[2];

    double totalMs = 0;
    int step = 20;
    for (auto _ : state) {
        QPoint handle;
        step = -step;
        const bool timed = timeRelease(
            state, totalMs,
            [&] {
                handle = handleCentre(slider);
                QTest::mousePress(slider, Qt::LeftButton, {}, handle);
                handle += QPoint(step, 0);
                QTest::mouseMove(slider, handle);
            },
            [&] { QTest::mouseRelease(slider, Qt::LeftButton, {}, handle); });
        if (!timed)
            return;
    }
    reportAgainstFrame(state, totalMs);
}
BENCHMARK(sliderReleaseToCommand)->Iterations(300)->UseManualTime()->Unit(benchmark::kMicrosecond);

void clickToCommand(benchmark::State &state, QButtonGroup *group, int firstId, int secondId)
{
    double totalMs = 0;
    bool first = false;
    for (auto _ : state) {
        first = !first;
        QAbstractButton *button = group->button(first ? firstId : secondId);
        const bool timed = timeRelease(
            state, totalMs, [&] { QTest::mousePress(button, Qt::LeftButton); },
            [&] { QTest::mouseRelease(button, Qt::LeftButton); });
        if (!timed)
            return;
    }
    reportAgainstFrame(state, totalMs);
}

void modeClickToCommand(benchmark::State &state)
{
    Session session;
    if (!session.mouse.error().isEmpty())
        return state.SkipWithError(session.mouse.error().toUtf8().constData());
    leds_Widget page(*session.device);
    page.resize(1200, 750);
    page.showDeviceLighting(deviceSettings);
    clickToCommand(state, page.modeGroup, Breathing, Steady);
}
BENCHMARK(modeClickToCommand)->Iterations(300)->UseManualTime()->Unit(benchmark::kMicrosecond);

void reportRateClickToCommand(benchmark::State &state)
{
    Session session;
    if (!session.mouse.error().isEmpty())
        return state.SkipWithError(session.mouse.error().toUtf8().constData());
    pointer_Widget page(*session.device);
    page.resize(1200, 750);
    page.showDeviceDpi(deviceSettings);
    // 125 and 1000 reports a second.
    clickToCommand(state, page.reportRateGroup, 8, 1);
}
BENCHMARK(reportRateClickToCommand)->Iterations(300)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QApplication app(argc, argv);
    return runBenchmarks(argc, argv);
}
