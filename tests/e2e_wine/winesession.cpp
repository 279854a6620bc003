#include "winesession.h"

#include "programsession.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QTextCodec>

namespace {

const QString ProgramName = QStringLiteral("TARNO_CONNECT_PC.exe");

} // namespace

WineSession::WineSession()
{
    prefix = root.filePath(QStringLiteral("prefix"));
    for (const char *folder : { "emu", "work" })
        QDir(root.path()).mkpath(QLatin1String(folder));
    env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("WINEPREFIX"), prefix);
    env.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    // No downloads of Wine's .NET and browser components while the prefix is made.
    env.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("mscoree,mshtml="));
    // Wine takes the ANSI code page from LC_ALL: 936 (GBK), as on a Chinese Windows.
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("zh_CN.UTF-8"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("zh_CN.UTF-8"));
    env.insert(QStringLiteral("TARNO_EMU_DIR"), windowsPath(emuDir()));
    // Nothing listens there: the update check fails at once instead of going out to the network.
    env.insert(QStringLiteral("TARNO_UPDATE_URL"), QStringLiteral("https://127.0.0.1:9/download/Z31/"));
    QObject::connect(&program, &QProcess::readyReadStandardError,
                     [this] { stderrText += program.readAllStandardError(); });
}

WineSession::~WineSession()
{
    stopAll();
}

bool WineSession::install(const QString &setup, const QStringList &options, QString *error)
{
    if (run({ QStringLiteral("wineboot"), QStringLiteral("-i") }, nullptr, 180000) != 0) {
        *error = QStringLiteral("wineboot failed");
        return false;
    }
    QString output;
    const int code = run(QStringList { setup } + options, &output, 120000);
    // The installer starts the uninstaller's copy and ends before it; wait for every program of the prefix.
    run({ QStringLiteral("wineserver"), QStringLiteral("-w") }, nullptr, 60000);
    QDirIterator users(prefix + QStringLiteral("/drive_c/users"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (users.hasNext()) {
        const QString folder = users.next() + QStringLiteral("/AppData/Local/Programs/TARNO CONNECT");
        if (QFileInfo::exists(folder + QLatin1Char('/') + ProgramName))
            installed = folder;
    }
    if (installed.isEmpty())
        *error = QStringLiteral("the installer (exit code %1) left no %2:\n%3").arg(code).arg(ProgramName, output);
    return !installed.isEmpty();
}

QString WineSession::installDir() const
{
    return installed;
}

QString WineSession::windowsPath(const QString &path)
{
    return QStringLiteral("Z:") + QDir::cleanPath(QFileInfo(path).absoluteFilePath()).replace('/', '\\');
}

QString WineSession::appDataDir() const
{
    return QFileInfo(installed + QStringLiteral("/../../../Roaming")).absoluteFilePath();
}

QString WineSession::emuDir() const
{
    return root.filePath(QStringLiteral("emu"));
}

QString WineSession::workDir() const
{
    return root.filePath(QStringLiteral("work"));
}

QProcessEnvironment &WineSession::environment()
{
    return env;
}

bool WineSession::setLanguage(const QString &code)
{
    QSettings settings(appDataDir() + QStringLiteral("/TARNO/TARNO_CONNECT.ini"), QSettings::IniFormat);
    settings.setValue(QStringLiteral("language"), code);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

int WineSession::run(const QStringList &arguments, QString *output, int timeoutMs, const QString &workDir)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(workDir.isEmpty() ? root.path() : workDir);
    process.setProcessChannelMode(QProcess::MergedChannels);
    const bool wineCommand
        = arguments.value(0) == QLatin1String("wineboot") || arguments.value(0) == QLatin1String("wineserver");
    if (wineCommand)
        process.start(arguments.value(0), arguments.mid(1));
    else
        process.start(QStringLiteral("wine"), arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return -1;
    }
    // Windows programs print in the ANSI code page: 936 here.
    if (output)
        *output = QTextCodec::codecForName("GB18030")->toUnicode(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

int WineSession::emu(const QStringList &arguments)
{
    return run(QStringList { installed + QStringLiteral("/tarno-emu.exe") } + arguments);
}

QMap<QString, QString> WineSession::dump() const
{
    QProcess tool;
    QProcessEnvironment toolEnv = QProcessEnvironment::systemEnvironment();
    toolEnv.insert(QStringLiteral("TARNO_EMU_DIR"), emuDir());
    tool.setProcessEnvironment(toolEnv);
    tool.start(QStringLiteral(TARNO_BIN_DIR "/tarno-emu"), { QStringLiteral("dump") });
    QMap<QString, QString> values;
    if (!tool.waitForFinished(10000) || tool.exitCode() != 0)
        return values;
    const QStringList lines = QString::fromUtf8(tool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    for (const QString &line : lines)
        values.insert(line.section('=', 0, 0), line.section('=', 1));
    return values;
}

QString WineSession::capturePath() const
{
    return root.filePath(QStringLiteral("capture.txt"));
}

QStringList WineSession::capture() const
{
    QFile file(capturePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts);
}

void WineSession::clearCapture() const
{
    QFile file(capturePath());
    if (file.exists() && !file.resize(0))
        qWarning("cannot clear the capture file");
}

bool WineSession::start(const QStringList &arguments, int timeoutMs)
{
    program.setProcessEnvironment(env);
    // As the Start menu's shortcut starts it: in its own folder.
    program.setWorkingDirectory(installed);
    stderrText.clear();
    program.start(QStringLiteral("wine"), QStringList { installed + QLatin1Char('/') + ProgramName } + arguments);
    if (!program.waitForStarted(10000))
        return false;
    if (!waitFor([this] { return !findMainWindow().isEmpty(); }, timeoutMs))
        return false;
    window = findMainWindow().toULong();
    return window != 0;
}

QProcess &WineSession::process()
{
    return program;
}

QString WineSession::log()
{
    stderrText += program.readAllStandardError();
    return QString::fromUtf8(stderrText);
}

QString WineSession::findMainWindow()
{
    if (program.state() != QProcess::Running)
        return QString();
    const QStringList ids = ProgramSession::xdotool({ QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                      QStringLiteral("--pid"), QString::number(program.processId()) })
                                .split('\n', Qt::SkipEmptyParts);
    for (const QString &id : ids) {
        if (ProgramSession::xdotool({ QStringLiteral("getwindowgeometry"), id }).contains(QStringLiteral("1200x750")))
            return id;
    }
    return QString();
}

bool WineSession::windowShown()
{
    return !findMainWindow().isEmpty();
}

void WineSession::click(int x, int y)
{
    ProgramSession::xdotool({ QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window),
                              QString::number(x), QString::number(y), QStringLiteral("click"), QStringLiteral("1") });
}

QImage WineSession::grab()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen && window ? screen->grabWindow(WId(window)).toImage() : QImage();
}

QString WineSession::saveScreenshot(const QString &folder, const QString &name)
{
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    return QDir().mkpath(folder) && grab().save(path) ? path : QString();
}

bool WineSession::waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    return QTest::qWaitFor(condition, timeoutMs);
}

bool WineSession::waitForCaptureLine(const QString &prefix, int timeoutMs)
{
    return waitFor(
        [&] {
            const QStringList lines = capture();
            return std::any_of(lines.begin(), lines.end(),
                               [&](const QString &line) { return line.startsWith(prefix); });
        },
        timeoutMs);
}

void WineSession::stopAll()
{
    if (program.state() != QProcess::NotRunning) {
        program.kill();
        program.waitForFinished(5000);
    }
    QProcess::execute(QStringLiteral("env"),
                      { QStringLiteral("WINEPREFIX=") + prefix, QStringLiteral("wineserver"), QStringLiteral("-k") });
}
