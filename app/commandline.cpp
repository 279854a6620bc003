#include "app/commandline.h"

#include "app/handover.h"
#include "app/meetingplace.h"
#include "app/mouseaccess.h"
#include "app/mouselock.h"
#include "device/devicecontext.h"
#include "device/deviceprotocol.h"
#include "platform/console.h"
#include "platform/devicelibrary.h"
#include "platform/interrupt.h"
#include "profile/profiledevice.h"
#include "profile/profilefile.h"
#include "profile/profileformat.h"
#include "ui/languageswitcher.h"
#include "update/appversion.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>

#include <cstdio>
#include <cstring>

namespace {

// The file name that stands for standard output (--export) or standard input (--import).
const QString StandardStream = QStringLiteral("-");

// Qt's documented options for the window (QGuiApplication, QApplication, X11), each with one dash or two.
struct QtOption
{
    const char *name;
    bool takesValue;   // as the next argument, unless given as -name=value
};
constexpr QtOption qtOptions[] = {
    { "platform", true },        { "platformpluginpath", true },
    { "platformtheme", true },   { "plugin", true },
    { "qwindowgeometry", true }, { "qwindowicon", true },
    { "qwindowtitle", true },    { "geometry", true },
    { "display", true },         { "session", true },
    { "style", true },           { "stylesheet", true },
    { "qmljsdebugger", false },  { "reverse", false },
    { "widgetcount", false },
};

// How many arguments from `i` on make one Qt option (1 or 2); 0 when argv[i] is not one.
int qtOptionLength(int argc, char *argv[], int i)
{
    const char *argument = argv[i];
    if (argument[0] != '-')
        return 0;
    const char *name = argument + (argument[1] == '-' ? 2 : 1);
    const char *equals = std::strchr(name, '=');
    const size_t length = equals ? size_t(equals - name) : std::strlen(name);
    for (const QtOption &option : qtOptions) {
        if (std::strlen(option.name) == length && std::strncmp(option.name, name, length) == 0)
            return option.takesValue && !equals && i + 1 < argc ? 2 : 1;
    }
    return 0;
}

QString qtOptionNames()
{
    QStringList names;
    for (const QtOption &option : qtOptions)
        names << QLatin1Char('-') + QLatin1String(option.name);
    return names.join(QStringLiteral(", "));
}

// What a file could put in a message stays text: control characters (a terminal takes some as commands) are
// shown escaped, and a NUL does not end the line early.
QByteArray terminalSafe(const QString &text)
{
    QString safe;
    for (const QChar c : text) {
        const ushort code = c.unicode();
        if ((code < 0x20 && code != '\n') || (code >= 0x7F && code <= 0x9F))
            safe += QStringLiteral("\\u%1").arg(code, 4, 16, QLatin1Char('0'));
        else
            safe += c;
    }
    return safe.toLocal8Bit();
}

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = terminalSafe(text);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

void printLine(FILE *stream, const QString &text)
{
    print(stream, text + QLatin1Char('\n'));
}

int fail(const QString &text, int code = CommandLine::Failure)
{
    printLine(stderr, text);
    return code;
}

QString loadDeviceLibrary()
{
    deviceContext.library.setFileName(deviceLibraryFileName());
    if (!deviceContext.library.load())
        return CommandLineText::tr("无法加载设备库：%1").arg(deviceContext.library.errorString());
    const QString missing = resolveEntryPoints(deviceContext);
    if (!missing.isEmpty())
        return CommandLineText::tr("设备库缺少入口 %1").arg(missing);
    return QString();
}

void closeChannels()
{
    deviceContext.CloseConfigDevice();
    deviceContext.CloseDevice();
}

// The file as the result line names it.
QString shownName(const QString &path, bool exporting)
{
    if (path != StandardStream)
        return path;
    return exporting ? CommandLineText::tr("标准输出") : CommandLineText::tr("标准输入");
}

std::optional<MouseProfile> loadProfile(const QString &path, QString *error)
{
    if (path != StandardStream)
        return ProfileFile::load(path, error);
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly)) {
        *error = CommandLineText::tr("无法读取 %1：%2").arg(shownName(path, false), input.errorString());
        return std::nullopt;
    }
    return ProfileFile::load(input, shownName(path, false), error);
}

// The exported file, written where asked.
bool saveExport(const QString &path, const QByteArray &json, QString *error)
{
    if (path != StandardStream)
        return ProfileFile::save(path, json, error);
    QFile output;
    if (!output.open(stdout, QIODevice::WriteOnly) || output.write(json) != json.size() || !output.flush()) {
        *error = CommandLineText::tr("无法写入 %1：%2").arg(shownName(path, true), output.errorString());
        return false;
    }
    return true;
}

// The work done here, by the holder of the lock. An import interrupted before it writes the mouse writes nothing.
HandOver::Reply runHere(const std::optional<MouseProfile> &profile)
{
    const QString error = loadDeviceLibrary();
    if (!error.isEmpty())
        return { CommandLine::Failure, error, {} };
    if (!openDevice())
        return { CommandLine::Failure, HandOver::noMouseText(), {} };
    const HandOver::Reply reply = profile
        ? HandOver::importReply(
            ProfileDevice::writeAndVerify(*profile, [] { return InterruptWatcher::exitCode() == 0; }))
        : HandOver::exportReply(ProfileFile::exportJob()(deviceContext).value<ProfileExport>());
    closeChannels();
    return reply;
}

// The result line and exit code, wherever the work was done.
int report(const HandOver::Reply &reply, bool exporting, const QString &path)
{
    if (reply.code != CommandLine::Success)
        return fail(reply.message, reply.code);
    // Ctrl-C came while the mouse was read: the file is left as it was.
    if (exporting && InterruptWatcher::exitCode())
        return fail(CommandLineText::tr("已中断，没有写入文件"), InterruptWatcher::exitCode());
    if (!exporting) {
        printLine(stdout, CommandLineText::tr("已从 %1 导入配置").arg(shownName(path, false)));
        return CommandLine::Success;
    }
    QString error;
    if (!saveExport(path, reply.file, &error))
        return fail(error);
    // Standard output may be the file itself.
    printLine(path == StandardStream ? stderr : stdout,
              CommandLineText::tr("已导出配置到 %1").arg(shownName(path, true)));
    return CommandLine::Success;
}

} // namespace

bool CommandLine::wanted(int argc, char *argv[])
{
    for (int i = 1; i < argc;) {
        const int length = qtOptionLength(argc, argv, i);
        if (length == 0)
            return true;
        i += length;
    }
    return false;
}

int CommandLine::run(int argc, char *argv[])
{
    // Without a terminal there is nowhere to print to; the exit code still tells the result.
    useParentConsole();
    // Standard error carries the one line of result, and Qt's own warnings are no part of it; QT_LOGGING_RULES can
    // still turn them and the debug log on.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false\n*.warning=false"));
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(AppVersion::own().text());
    // The window's language, saved or the desktop's; the window words what it does for this command line in it too.
    LanguageSwitcher languages(LanguageSwitcher::LocalFile::Skip);
    languages.applySaved();

    QCommandLineParser parser;
    parser.setApplicationDescription(CommandLineText::tr("保存或恢复 Z31 鼠标的全部设置。不带参数时打开程序窗口。"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption exportOption(QStringLiteral("export"),
                                          CommandLineText::tr("把鼠标的全部设置导出到配置文件（- 为标准输出）"),
                                          CommandLineText::tr("文件"));
    const QCommandLineOption importOption(QStringLiteral("import"),
                                          CommandLineText::tr("从配置文件导入鼠标的全部设置（- 为标准输入）"),
                                          CommandLineText::tr("文件"));
    parser.addOption(exportOption);
    parser.addOption(importOption);

    // Qt's options belong to the window; here they are passed over.
    QStringList arguments { QCoreApplication::arguments().value(0) };
    for (int i = 1; i < argc;) {
        const int length = qtOptionLength(argc, argv, i);
        if (length == 0)
            arguments << QString::fromLocal8Bit(argv[i]);
        i += qMax(length, 1);
    }
    if (!parser.parse(arguments))
        return fail(parser.errorText(), BadUsage);
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        QString text = parser.helpText();
        if (parser.isSet(QStringLiteral("help-all")))
            text += QLatin1Char('\n')
                + CommandLineText::tr("不带 --export 或 --import 时，程序窗口接受 Qt 的选项：%1").arg(qtOptionNames())
                + QLatin1Char('\n');
        print(stdout, text);
        return Success;
    }
    if (parser.isSet(version)) {
        printLine(stdout,
                  QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion());
        return Success;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(CommandLineText::tr("多余的参数：%1").arg(parser.positionalArguments().join(QLatin1Char(' '))),
                    BadUsage);
    const bool exporting = parser.isSet(exportOption);
    const bool importing = parser.isSet(importOption);
    if (exporting == importing || parser.values(exportOption).size() > 1 || parser.values(importOption).size() > 1)
        return fail(CommandLineText::tr("请只给出一个 --export 文件 或 --import 文件（--help 显示用法）"), BadUsage);
    const QString path = exporting ? parser.value(exportOption) : parser.value(importOption);
    if (path.isEmpty())
        return fail(CommandLineText::tr("文件名为空（--help 显示用法）"), BadUsage);

    // The file is checked before anything is said to the mouse.
    std::optional<MouseProfile> profile;
    if (importing) {
        QString error;
        profile = loadProfile(path, &error);
        if (!profile)
            return fail(error);
    }

    // One program of this user's talks to the mouse at a time: a running window takes the work; without one, this
    // process does it while it holds the per-user lock, which a window holds for its whole run.
    const MeetingPlace place = MeetingPlace::find();
    if (!place.isPrivate())
        return fail(place.problem());
    MouseLock lock(place.mouseLockPath());
    InterruptWatcher interrupts;
    const HandOver::Request request { importing ? HandOver::Request::Import : HandOver::Request::Export,
                                      profile ? ProfileFormat::toJson(*profile) : QByteArray(), languages.current() };
    MouseAccess access(place.handOverEndpoint(), lock, request, interrupts,
                       [](const QString &line) { printLine(stderr, line); });
    switch (access.run()) {
    case MouseAccess::Outcome::Answered:
        return report(access.reply(), exporting, path);
    case MouseAccess::Outcome::Own:
        return report(runHere(profile), exporting, path);
    case MouseAccess::Outcome::Busy:
        return fail(CommandLineText::tr("本程序的另一个进程正在使用鼠标，%1 秒后仍未结束：请稍后再试")
                        .arg(MouseAccess::LockWaitMs / 1000));
    case MouseAccess::Outcome::NoLock:
        return fail(CommandLineText::tr("无法创建锁文件 %1").arg(QDir::toNativeSeparators(place.mouseLockPath())));
    case MouseAccess::Outcome::NoAnswer:
        if (exporting)
            return fail(
                CommandLineText::tr("程序窗口 %1 秒内没有完成导出：没有写入文件").arg(HandOver::AnswerWaitMs / 1000));
        return fail(CommandLineText::tr("程序窗口 %1 秒内没有完成导入：它若已开始写入鼠标，会写完这份配置，否则不写入")
                        .arg(HandOver::AnswerWaitMs / 1000));
    case MouseAccess::Outcome::WindowLeft:
        if (exporting)
            return fail(CommandLineText::tr("程序窗口没有完成导出就退出了"));
        return fail(CommandLineText::tr("程序窗口没有完成导入就退出了：鼠标上的设置可能不完整，请重新导入"),
                    NotRestored);
    case MouseAccess::Outcome::Interrupted:
        break;
    }
    if (exporting)
        return fail(CommandLineText::tr("已中断，没有写入文件"), InterruptWatcher::exitCode());
    if (access.handedOver())
        return fail(CommandLineText::tr("已中断：程序窗口若已开始写入鼠标，会写完这份配置，否则不写入"),
                    InterruptWatcher::exitCode());
    return fail(CommandLineText::tr("已中断，没有写入鼠标"), InterruptWatcher::exitCode());
}
