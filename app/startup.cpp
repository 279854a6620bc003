#include "app/startup.h"

#include "app/commandline.h"
#include "app/handover.h"
#include "app/mouselock.h"
#include "app/qsingleapplication.h"
#include "device/devicecontext.h"
#include "device/mouse.h"
#include "device/mouselink.h"
#include "platform/autostart.h"
#include "platform/devicelibrary.h"
#include "platform/interrupt.h"
#include "style/style.h"
#include "ui/languageswitcher.h"
#include "ui/mainwindow.h"

#include <QDebug>
#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScopeGuard>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <utility>

namespace {

// Looking for the mouse takes no answer from it: the first frame can wait for it, briefly, to show the right page.
constexpr int OpenWaitMs = 1000;
// Quitting waits this long for a library call to return, then ends without it.
constexpr int QuitWaitMs = 1500;
// ... and this long for the answers to command lines to leave.
constexpr int AnswerFlushMs = 500;
// How often the link looks again whether a command line has finished with the mouse.
constexpr int LockRetryMs = 100;

void showLoadFailure(int errorCode, const QString &text)
{
    QMessageBox::information(nullptr, QString::number(errorCode), text, QMessageBox::Ok, QMessageBox::NoButton);
}

// Qt cannot create a window while there is no screen (no display attached, a remote session being
// reconnected): the program goes on in the tray and shows the window with the first screen that appears.
void showMainWindow(TARNO_Gaming &window)
{
    if (QGuiApplication::primaryScreen()) {
        window.show();
        return;
    }
    qDebug() << "no screen: the window waits for one";
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(qApp, &QGuiApplication::screenAdded, &window, [&window, connection] {
        QObject::disconnect(*connection);
        window.centreOnPrimaryScreen();
        window.show();
    });
}

// Whether a mouse was found within OpenWaitMs; a later answer still reaches the window.
bool openMouse(Mouse &mouse)
{
    QEventLoop wait;
    bool found = false;
    const QMetaObject::Connection connection = QObject::connect(&mouse, &Mouse::openFinished, &wait, [&](bool f) {
        found = f;
        wait.quit();
    });
    QTimer::singleShot(OpenWaitMs, &wait, &QEventLoop::quit);
    mouse.open();
    wait.exec();
    QObject::disconnect(connection);
    return found;
}

// The link's first job: a command line that holds the mouse (or a window of another executable name) finishes
// first; `waiting` hears when the wait begins and ends. Later command lines find this window and hand their work
// to it. Without a usable lock file the window goes on: it must not lose the mouse over it.
void takeMouseLock(MouseLock &lock, const std::atomic<bool> &quitting, const std::function<void(bool)> &waiting)
{
    bool told = false;
    while (!quitting && !lock.tryLock(LockRetryMs)) {
        if (lock.error() != QLockFile::LockFailedError) {
            qDebug() << "no lock file for the mouse:" << lock.error();
            break;
        }
        if (!std::exchange(told, true)) {
            qDebug() << "waiting for a command line to finish with the mouse";
            waiting(true);
        }
    }
    if (told)
        waiting(false);
}

// Takes the login start's option out of the arguments; whether it was there.
bool takeHiddenOption(int &argc, char *argv[])
{
    const QByteArray option = Autostart::hiddenOption().toLatin1();
    char **end = std::remove_if(argv + 1, argv + argc, [&option](const char *argument) { return option == argument; });
    const bool found = end != argv + argc;
    argc = int(end - argv);
    argv[argc] = nullptr;
    return found;
}

} // namespace

int runTarno(int argc, char *argv[])
{
    const bool startHidden = takeHiddenOption(argc, argv);
    if (CommandLine::wanted(argc, argv)) {
        const int code = CommandLine::run(argc, argv);
        // After Ctrl-C, now that nothing is left half done, the process ends as the signal would have ended it.
        std::fflush(stdout);
        std::fflush(stderr);
        InterruptWatcher::endAsInterrupted();
        return InterruptWatcher::exitCode() ? InterruptWatcher::exitCode() : code;
    }
    // The fixed 1200 x 750 layout scales with the screen (2400 x 1500 at 200 %), drawn from the @2x pictures.
    // Windows gives the user's own setting (125 %, 150 %, ...): used as it is, so that 150 % is 1800 x 1125
    // rather than 200 % (taller than a 1080-line screen) or 100 % (unreadably small). X11 derives the factor
    // from the measured DPI (1.04 for 100 dpi, 1.47 for a 15-inch 1080p panel): rounded to whole pixels there.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
#ifdef Q_OS_WIN
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
#else
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
#endif
    // The pictures of the window's first frame, decoded on the other cores while Qt connects to the screen; on a
    // screen at 200 %, their @2x versions once Qt has given the scale.
    Style::PreloadedPictures pictures({ QStringLiteral(":/img/side"), QStringLiteral(":/img/mouse_off") });
    QSingleApplication app(argc, argv);
    const auto dropPictures = qScopeGuard([&pictures] { pictures.clear(); });
    if (!app.meetingPlace().isPrivate()) {
        LanguageSwitcher languages(LanguageSwitcher::LocalFile::Skip);
        languages.applySaved();
        fprintf(stderr, "%s\n", app.meetingPlace().problem().toLocal8Bit().constData());
        return 1;
    }
    if (app.isRunning())
        return 0;
    pictures.matchScreen();
    // Started at login, in whatever folder the session gives: the program works in its own, as when started from
    // its shortcut (downloads and updates land there).
    if (startHidden)
        QDir::setCurrent(QCoreApplication::applicationDirPath());

    // The saved language, else the desktop's: its translation and fonts are in place before any widget exists.
    LanguageSwitcher languages;
    languages.applySaved();

    deviceContext.library.setFileName(deviceLibraryFileName());
    if (!deviceContext.library.load()) {
        const int code = lastLibraryLoadError();
        qDebug() << deviceContext.library.errorString();
        showLoadFailure(code, QStringLiteral("Load TARNO.dll fail!"));
        return 0;
    }
    // A library without one of the entry points cannot be driven safely: say which one and stop.
    const QString missing = resolveEntryPoints(deviceContext);
    if (!missing.isEmpty()) {
        qDebug() << "entry point not found:" << missing;
        showLoadFailure(0, QStringLiteral("Load TARNO.dll fail!\n%1 not found").arg(missing));
        return 0;
    }

    // Held for the whole run, by every executable name.
    MouseLock mouseLock(app.meetingPlace().mouseLockPath());
    // On the window's thread: the window waits for the mouse, or has it. Set once the window exists.
    QObject lockNotices;
    std::function<void(bool)> showWaiting;
    // Every call into the library runs on the link's thread: a slow or silent mouse never holds up the window.
    MouseLink link(deviceContext);
    link.request([&mouseLock, &lockNotices, &showWaiting](DeviceContext &device) {
        takeMouseLock(mouseLock, device.abandoned, [&lockNotices, &showWaiting](bool waiting) {
            QMetaObject::invokeMethod(
                &lockNotices,
                [&showWaiting, waiting] {
                    if (showWaiting)
                        showWaiting(waiting);
                },
                Qt::QueuedConnection);
        });
        return QVariant(true);
    });
    Mouse mouse(link);
    TARNO_Gaming window(mouse, nullptr, TARNO_Gaming::PageBuilding::AfterFirstFrame);
    showWaiting = [&window, &app](bool waiting) {
        window.showWaitingForMouse(waiting);
        // The window of another name that held the mouse has gone: its command lines come here now.
        if (!waiting)
            app.claimHandOverEndpoint();
    };
    app.setMainWindow(&window);
    window.useLanguages(&languages);
    // Export and import from the command line, while the window runs.
    WindowHandOver handOver(mouse);
    QObject::connect(&handOver, &WindowHandOver::imported, &window, &TARNO_Gaming::readDeviceSettings);
    app.setRequestHandler(
        [&handOver](const QByteArray &line, QLocalSocket *connection) { handOver.handle(line, connection); });
    app.claimHandOverEndpoint();

    // The settings are read after this, and fill the pages when the mouse answers.
    if (!openMouse(mouse))
        window.showNoDeviceLayout();
    // Without a tray to show it from, a login start shows the window all the same.
    if (!startHidden || !window.stayInTray())
        showMainWindow(window);

    const int result = app.exec();
    app.setMainWindow(nullptr);
    window.hide();
    const bool stopped = link.shutdown(QuitWaitMs);
    // What the link finished for command lines is answered, also when it ended after the event loop did.
    handOver.answerBeforeQuit();
    app.setRequestHandler({});
    app.closeEndpoints(AnswerFlushMs);
    if (!stopped) {
        // A call hangs in the library: nothing may be unloaded or destroyed under it.
        qDebug() << "quit without waiting for the device library";
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(result);
    }
    return result;
}
