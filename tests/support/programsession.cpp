#include "programsession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QTextStream>
#include <QUuid>
#include <QWidget>
#include <QWindow>

namespace {

// A bus address that nothing can listen on: a path below a device file cannot exist.
const char noSessionBus[] = "unix:path=/dev/null/no-session-bus";

QString binPath(const QString &name)
{
    return QStringLiteral(TARNO_BIN_DIR "/") + name;
}

bool copyFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        return false;
    return QFile::setPermissions(to, QFile::permissions(from));
}

} // namespace

ProgramSession::ProgramSession(bool plugged)
    : programName(QStringLiteral("TARNO_CONNECT_PC_") + QUuid::createUuid().toString(QUuid::Id128).left(12))
{
    QDir(root.path()).mkpath(QStringLiteral("emu"));
    QDir(root.path()).mkpath(QStringLiteral("work"));
    QDir(root.path()).mkpath(QStringLiteral("program"));
    QDir(root.path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(root.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    copyFile(binPath(QStringLiteral("TARNO_CONNECT_PC")), programPath());
    // The program always loads libtarno.so; which build of the device library it gets is the test run's choice.
    const QString library = qEnvironmentVariable("TARNO_TEST_DEVICE_LIBRARY", QStringLiteral("libtarno.so"));
    if (!copyFile(binPath(library), programDir() + QStringLiteral("/libtarno.so")))
        qWarning("cannot copy the device library %s", qPrintable(library));

    env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TARNO_EMU_DIR"), emuDir());
    env.insert(QStringLiteral("TARNO_DEVICE_NODES"), emuDir() + QStringLiteral("/z31-hidraw"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root.filePath(QStringLiteral("runtime")));
    // The user's settings (the interface language) in a fresh folder: simplified Chinese unless a test says.
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), root.filePath(QStringLiteral("config")));
    setLanguage(QStringLiteral("zh_CN"));
    // Nothing listens there: the update check fails at once instead of going out to the network.
    env.insert(QStringLiteral("TARNO_UPDATE_URL"), QStringLiteral("https://127.0.0.1:9/download/Z31/"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // Probing GLX loads the software GL driver, which Qt unloads at exit with memory still held: a leak report.
    env.insert(QStringLiteral("QT_XCB_GL_INTEGRATION"), QStringLiteral("none"));
    // No session bus can answer there. Without an address the tray's bus connection would fork a bus launcher,
    // whose child can deadlock in a sanitizer's allocator and keep the single-instance socket.
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromLatin1(noSessionBus));
    // Reports go to files of their own (PATH.PID): also those of command lines and of processes killed later.
    for (const char *name : { "ASAN_OPTIONS", "UBSAN_OPTIONS", "TSAN_OPTIONS", "LSAN_OPTIONS" }) {
        const QString variable = QString::fromLatin1(name);
        const QString options = env.value(variable);
        env.insert(variable,
                   (options.isEmpty() ? QString() : options + QLatin1Char(':')) + QStringLiteral("log_path=")
                       + root.filePath(QStringLiteral("sanitizer/report")));
    }
    QDir(root.path()).mkpath(QStringLiteral("sanitizer"));
    QObject::connect(&program, &QProcess::readyReadStandardError,
                     [this] { stderrText += program.readAllStandardError(); });

    emu({ plugged ? QStringLiteral("plug") : QStringLiteral("unplug") });
    emu({ QStringLiteral("capture"), root.filePath(QStringLiteral("capture.txt")) });
}

ProgramSession::~ProgramSession()
{
    if (program.state() != QProcess::NotRunning) {
        program.kill();
        program.waitForFinished(5000);
    }
    const QString reports = sanitizerReports();
    if (!reports.isEmpty())
        QTest::qFail(qPrintable(QStringLiteral("sanitizer report:\n") + reports), __FILE__, __LINE__);
}

QString ProgramSession::emuDir() const
{
    return root.filePath(QStringLiteral("emu"));
}

QString ProgramSession::workDir() const
{
    return root.filePath(QStringLiteral("work"));
}

QString ProgramSession::programDir() const
{
    return root.filePath(QStringLiteral("program"));
}

QString ProgramSession::programPath() const
{
    return programDir() + QLatin1Char('/') + programName;
}

bool ProgramSession::setLanguage(const QString &code)
{
    QSettings settings(root.filePath(QStringLiteral("config/TARNO/TARNO_CONNECT.ini")), QSettings::IniFormat);
    settings.setValue(QStringLiteral("language"), code);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QProcessEnvironment &ProgramSession::environment()
{
    return env;
}

int ProgramSession::emu(const QStringList &arguments, QString *output) const
{
    QProcess tool;
    QProcessEnvironment toolEnv = QProcessEnvironment::systemEnvironment();
    toolEnv.insert(QStringLiteral("TARNO_EMU_DIR"), emuDir());
    tool.setProcessEnvironment(toolEnv);
    tool.start(binPath(QStringLiteral("tarno-emu")), arguments);
    if (!tool.waitForFinished(10000))
        return -1;
    if (output)
        *output = QString::fromLocal8Bit(tool.readAllStandardOutput());
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}

QMap<QString, QString> ProgramSession::dump() const
{
    QString text;
    QMap<QString, QString> values;
    if (emu({ QStringLiteral("dump") }, &text) != 0)
        return values;
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals > 0)
            values.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return values;
}

QStringList ProgramSession::capture() const
{
    QFile file(root.filePath(QStringLiteral("capture.txt")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void ProgramSession::clearCapture() const
{
    QFile file(root.filePath(QStringLiteral("capture.txt")));
    if (file.exists() && !file.resize(0))
        qWarning("cannot clear the capture file");
}

bool ProgramSession::start(const QStringList &arguments, int timeoutMs)
{
    return launch(arguments) && waitForWindow(timeoutMs);
}

bool ProgramSession::launch(const QStringList &arguments)
{
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(workDir());
    program.start(programPath(), arguments);
    return program.waitForStarted(10000);
}

bool ProgramSession::waitForWindow(int timeoutMs)
{
    if (!waitFor([this] { return !findMainWindow().isEmpty(); }, timeoutMs))
        return false;
    window = findMainWindow().toULong();
    return window != 0;
}

QProcess &ProgramSession::process()
{
    return program;
}

QString ProgramSession::log()
{
    if (program.isOpen())
        stderrText += program.readAllStandardError();
    return QString::fromLocal8Bit(stderrText);
}

QString ProgramSession::sanitizerReports()
{
    QString reports;
    // A report still being written is read once it is whole: each ends with its summary.
    waitFor(
        [&] {
            reports.clear();
            bool whole = true;
            const QDir folder(root.filePath(QStringLiteral("sanitizer")));
            const QFileInfoList files = folder.entryInfoList(QDir::Files, QDir::Name);
            for (const QFileInfo &info : files) {
                QFile file(info.filePath());
                if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
                    continue;
                const QString report = QString::fromLocal8Bit(file.readAll());
                whole = whole && report.contains(QStringLiteral("SUMMARY: "));
                reports += info.fileName() + QStringLiteral(":\n") + report;
            }
            return whole;
        },
        10000);
    // In case a sanitizer was told to write to standard error after all.
    static const QRegularExpression marker(QStringLiteral(
        "(ERROR|WARNING): (AddressSanitizer|LeakSanitizer|ThreadSanitizer)|runtime error:|SUMMARY: \\w+Sanitizer"));
    const QString text = log();
    const QRegularExpressionMatch match = marker.match(text);
    if (match.hasMatch())
        reports += QStringLiteral("standard error:\n")
            + text.mid(text.lastIndexOf(QLatin1Char('\n'), match.capturedStart()) + 1);
    return reports;
}

int ProgramSession::waitForExit(int timeoutMs)
{
    if (!waitFor([this] { return program.state() == QProcess::NotRunning; }, timeoutMs))
        return -1;
    return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
}

unsigned long ProgramSession::windowId() const
{
    return window;
}

QString ProgramSession::findMainWindow()
{
    if (program.state() != QProcess::Running)
        return QString();
    const QStringList ids = xdotool({ QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                      QStringLiteral("--pid"), QString::number(program.processId()) })
                                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // 1200 x 750, or that times the screen's scale factor (2400 x 1500 at 200 %).
    const QRegularExpression size(QStringLiteral("Geometry: (\\d+)x(\\d+)"));
    for (const QString &id : ids) {
        const QRegularExpressionMatch match = size.match(xdotool({ QStringLiteral("getwindowgeometry"), id }));
        const int width = match.captured(1).toInt();
        if (match.hasMatch() && width >= 1200 && width * 750 == match.captured(2).toInt() * 1200) {
            scale = width / 1200.0;
            return id;
        }
    }
    return QString();
}

QString ProgramSession::device(int logical) const
{
    return QString::number(qRound(logical * scale));
}

void ProgramSession::click(int x, int y, int button)
{
    // One xdotool run keeps the move and the click in order.
    xdotool({ QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window), device(x), device(y),
              QStringLiteral("click"), QString::number(button) });
}

void ProgramSession::press(int x, int y)
{
    xdotool({ QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window), device(x), device(y),
              QStringLiteral("mousedown"), QStringLiteral("1") });
}

void ProgramSession::moveTo(int x, int y)
{
    // No --sync: it waits for a motion event that never comes when the pointer is already there.
    xdotool({ QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window), device(x), device(y) });
}

void ProgramSession::release(int button)
{
    xdotool({ QStringLiteral("mouseup"), QString::number(button) });
}

void ProgramSession::key(const QString &keys)
{
    xdotool({ QStringLiteral("key"), keys });
}

void ProgramSession::keyDown(const QString &key)
{
    xdotool({ QStringLiteral("keydown"), key });
}

void ProgramSession::keyUp(const QString &key)
{
    xdotool({ QStringLiteral("keyup"), key });
}

void ProgramSession::typeText(const QString &text)
{
    xdotool({ QStringLiteral("type"), text });
}

void ProgramSession::focus()
{
    xdotool({ QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(window) });
}

bool ProgramSession::showsWindow(QSize size)
{
    const QStringList ids = xdotool({ QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                      QStringLiteral("--pid"), QString::number(program.processId()) })
                                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QString geometry
        = QStringLiteral("Geometry: %1x%2").arg(qRound(size.width() * scale)).arg(qRound(size.height() * scale));
    for (const QString &id : ids) {
        if (xdotool({ QStringLiteral("getwindowgeometry"), id }).contains(geometry))
            return true;
    }
    return false;
}

bool ProgramSession::keyboardGrabbed()
{
    // A window of our own tries to take the keyboard.
    QWidget probe;
    probe.setGeometry(1700, 1000, 10, 10);
    probe.show();
    if (!QTest::qWaitForWindowExposed(&probe))
        return false;
    QWindow *window = probe.windowHandle();
    const bool free = window->setKeyboardGrabEnabled(true);
    if (free)
        window->setKeyboardGrabEnabled(false);
    return !free;
}

QImage ProgramSession::grab()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || !window)
        return QImage();
    return screen->grabWindow(WId(window)).toImage();
}

QString ProgramSession::saveScreenshot(const QString &name)
{
    const QString path = QDir::temp().filePath(name + QStringLiteral(".png"));
    if (!grab().save(path))
        return QString();
    return path;
}

bool ProgramSession::waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    return QTest::qWaitFor(condition, timeoutMs);
}

bool ProgramSession::waitForLog(const QString &phrase, int timeoutMs)
{
    return waitFor([&] { return log().contains(phrase); }, timeoutMs);
}

bool ProgramSession::waitUntilStill(int stillMs, int timeoutMs)
{
    QImage last = grab();
    QElapsedTimer unchanged;
    unchanged.start();
    return waitFor([&] {
        const QImage now = grab();
        if (now != last) {
            last = now;
            unchanged.restart();
        }
        return unchanged.elapsed() >= stillMs;
    }, timeoutMs);
}

bool ProgramSession::waitForCaptureLine(const QString &prefix, int timeoutMs)
{
    return waitFor([&] {
        const QStringList lines = capture();
        for (const QString &line : lines) {
            if (line.startsWith(prefix))
                return true;
        }
        return false;
    }, timeoutMs);
}

QString ProgramSession::settingsReadMismatch(const QStringList &lines, const QString &node)
{
    const QString zeros = QStringLiteral(" 00").repeated(30);
    // Whole lines for what the program writes; reads only by their start, since they carry the mouse's state.
    const QStringList expected = {
        QStringLiteral("OpenDevice 3044 9d09 -> ") + node,
        QStringLiteral("WrtieControl 31 a0") + zeros,  QStringLiteral("ReadData 32 -> 1 4d a0 "),
        QStringLiteral("WrtieControl 31 c2") + zeros,  QStringLiteral("ReadData 32 -> 1 4d c2 "),
        QStringLiteral("WrtieControl 31 c4") + zeros,  QStringLiteral("ReadData 32 -> 1 4d c4 "),
        QStringLiteral("OpenConfigDevice 3044 9d09"), QStringLiteral("WrtieConfig 1 d0 -> 0"),
        QStringLiteral("ReadConfigData 64 -> 1 57 d0 "),
    };
    for (int i = 0; i < expected.size(); ++i) {
        const QString line = lines.value(i);
        const bool read = expected.at(i).startsWith(QStringLiteral("Read"));
        if (read ? !line.startsWith(expected.at(i)) : line != expected.at(i))
            return QStringLiteral("line %1: \"%2\", expected \"%3\"").arg(i).arg(line, expected.at(i));
    }
    return QString();
}

int ProgramSession::countPixels(const QImage &image, const QRect &area, const std::function<bool(QColor)> &matches)
{
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (matches(image.pixelColor(x, y)))
                ++count;
        }
    }
    return count;
}

QString ProgramSession::xdotool(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    if (!tool.waitForFinished(10000))
        return QString();
    return QString::fromLocal8Bit(tool.readAllStandardOutput());
}
