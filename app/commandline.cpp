#include "app/commandline.h"

#include "app/qsingleapplication.h"
#include "device/devicecontext.h"
#include "device/deviceprotocol.h"
#include "platform/console.h"
#include "platform/devicelibrary.h"
#include "profile/profiledevice.h"
#include "profile/profilefile.h"
#include "ui/languageswitcher.h"
#include "update/appversion.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLoggingCategory>

#include <cstdio>

namespace {

// The texts of this mode, in one translation context.
class CommandLineText
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

void printLine(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
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

} // namespace

bool CommandLine::wanted(int argc, char *argv[])
{
    Q_UNUSED(argv)
    return argc > 1;
}

int CommandLine::run(int argc, char *argv[])
{
    // Without a terminal there is nowhere to print to; the exit code still tells the result.
    useParentConsole();
    QCoreApplication app(argc, argv);
    // Standard error carries the one line of result; QT_LOGGING_RULES can still turn the debug log on.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QCoreApplication::setApplicationVersion(AppVersion::own().text());
    // The window's language, saved or the desktop's, so that the result reads as the window would say it.
    LanguageSwitcher languages;
    languages.applySaved();

    QCommandLineParser parser;
    parser.setApplicationDescription(CommandLineText::tr("保存或恢复 Z31 鼠标的全部设置。不带参数时打开程序窗口。"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption exportOption(QStringLiteral("export"),
                                          CommandLineText::tr("把鼠标的全部设置导出到配置文件"),
                                          CommandLineText::tr("文件"));
    const QCommandLineOption importOption(QStringLiteral("import"), CommandLineText::tr("从配置文件导入鼠标的全部设置"),
                                          CommandLineText::tr("文件"));
    parser.addOption(exportOption);
    parser.addOption(importOption);

    if (!parser.parse(QCoreApplication::arguments()))
        return fail(parser.errorText(), BadUsage);
    if (parser.isSet(help)) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
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

    // The window listens on the single-instance socket while it runs; two programs must never talk to the mouse.
    if (QSingleApplication::isInstanceRunning())
        return fail(CommandLineText::tr("程序窗口正在运行：请先从托盘菜单退出程序，再导入或导出配置"));

    const QString path = exporting ? parser.value(exportOption) : parser.value(importOption);
    QString error;
    // The file is checked before anything is said to the mouse.
    std::optional<MouseProfile> profile;
    if (importing) {
        profile = ProfileFile::load(path, &error);
        if (!profile)
            return fail(error);
    }

    error = loadDeviceLibrary();
    if (!error.isEmpty())
        return fail(error);
    if (!openDevice())
        return fail(CommandLineText::tr("没有找到鼠标"));
    deviceContext.deviceConnected = 1;

    if (exporting) {
        const bool done = ProfileFile::exportTo(path, &error);
        closeChannels();
        if (!done)
            return fail(error);
        printLine(stdout, CommandLineText::tr("已导出配置到 %1").arg(path));
        return Success;
    }
    const ProfileWriteResult result = ProfileDevice::writeAndVerify(*profile);
    closeChannels();
    switch (result.outcome) {
    case ProfileWriteResult::Written:
        printLine(stdout, CommandLineText::tr("已从 %1 导入配置").arg(path));
        return Success;
    case ProfileWriteResult::NotRestored:
        return fail(ProfileDevice::describe(result), NotRestored);
    case ProfileWriteResult::NotWritten:
    case ProfileWriteResult::Restored:
        break;
    }
    return fail(ProfileDevice::describe(result));
}
