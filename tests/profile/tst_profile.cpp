// Configuration files on the emulated mouse: the round trip, the refusals, and the command line.
#include "buttons/buttondevice.h"
#include "device/devicecontext.h"
#include "device/deviceprotocol.h"
#include "lighting/lightingcommand.h"
#include "pointer/dpicommand.h"
#include "profile/profiledevice.h"
#include "profile/profilefile.h"
#include "profile/profileformat.h"
#include "programsession.h"

#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <grp.h>
#include <memory>
#include <poll.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

// 100 events, 50 key strokes over A..Z, with delays between them.
QVector<micro_Event> longMacro()
{
    QVector<micro_Event> events;
    for (int i = 0; i < MaxMacroEvents; ++i) {
        micro_Event event;
        event.usage = quint8(0x04 + (i / 2) % 26);
        event.up = quint8(i % 2);
        event.delay_ms = quint16(i == 0 ? 0 : 17 * i + 3);
        events.append(event);
    }
    return events;
}

// Far from the factory settings, written with the commands the pages send.
void writeNonDefaultState()
{
    writeButtonFunction(2, FuncType::Function, 1);
    writeButtonCombination(3, 0x05, 0x4C);
    writeButtonMacro(4, true, longMacro());
    writeButtonFunction(5, FuncType::Combination, 5);

    quint8 *buffer = deviceContext.commandBuffer;
    fillLightingCommand(buffer, Breathing, 6, QColor(0x12, 0x9a, 0xfe));
    sendCommandBuffer();
    DpiCommand dpi;
    const quint8 levels[Dpi::LevelCount] = { 7, 19, 63, 100, 143 };
    std::copy(std::begin(levels), std::end(levels), dpi.levels);
    dpi.currentLevel = 1;
    dpi.aim = 9;
    dpi.maxLevel = 2;
    dpi.writeTo(buffer);
    sendCommandBuffer();
    writeReportRateCommand(buffer, 2);
    sendCommandBuffer();
}

struct CommandResult
{
    int code = -1;
    QString out;
    QString err;
};

// What a command line prints while it waits, beside its one line of result.
QString withoutWaitNotices(const QString &text)
{
    QStringList lines = text.split('\n');
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const QString &line) { return line.startsWith("正在等待"); }),
                lines.end());
    return lines.join('\n');
}

// A process of another user (nobody) listening where this user's programs meet, as a process of someone else's
// would in a folder others can write: it answers every request as a window that exported an empty file. Needs
// root, which may bind there and then hand the sockets to the other user before they listen.
class ForeignListener
{
public:
    ~ForeignListener()
    {
        if (child > 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
    }

    QString start(const QStringList &paths)
    {
        const passwd *nobody = ::getpwnam("nobody");
        if (::geteuid() != 0 || !nobody)
            return "needs root and the user nobody";
        std::vector<int> sockets;
        for (const QString &path : paths) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_un address {};
            address.sun_family = AF_UNIX;
            qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
            if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
                return "cannot bind " + path;
            sockets.push_back(fd);
        }
        const QByteArray reply = "{\"code\":0,\"message\":\"\",\"file\":\"" + QByteArray("{}").toBase64() + "\"}\n";
        const uid_t uid = nobody->pw_uid;
        const gid_t gid = nobody->pw_gid;
        child = ::fork();
        if (child == 0) {
            // System calls only, in the forked copy of a threaded process. The peer's credentials are those in effect
            // when it listens.
            if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
                ::_exit(1);
            pollfd polled[8] {};
            for (size_t i = 0; i < sockets.size(); ++i) {
                if (::listen(sockets[i], 16) != 0)
                    ::_exit(1);
                polled[i] = { sockets[i], POLLIN, 0 };
            }
            for (;;) {
                if (::poll(polled, nfds_t(sockets.size()), -1) <= 0)
                    continue;
                for (size_t i = 0; i < sockets.size(); ++i) {
                    if (!(polled[i].revents & POLLIN))
                        continue;
                    const int connection = ::accept(sockets[i], nullptr, nullptr);
                    if (connection < 0)
                        continue;
                    char byte = 0;
                    while (::read(connection, &byte, 1) == 1 && byte != '\n') { }
                    // Nothing to do when the other side has hung up first.
                    [[maybe_unused]] const ssize_t sent
                        = ::send(connection, reply.constData(), size_t(reply.size()), MSG_NOSIGNAL);
                    ::close(connection);
                }
            }
        }
        for (const int fd : sockets)
            ::close(fd);
        return child > 0 ? QString() : "cannot fork";
    }

private:
    pid_t child = -1;
};

} // namespace

class tst_Profile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    // Ends the session within its test function, which fails if the program reported anything to a sanitizer.
    void cleanup() { session.reset(); }
    void exportedFileRestoresTheMouseByteForByte();
    void badFileIsRefusedBeforeAnyWrite_data();
    void badFileIsRefusedBeforeAnyWrite();
    void failedImportIsUndone_data();
    void failedImportIsUndone();
    void commandLineExitCodes();
    void commandLinesTakeTurns_data();
    void commandLinesTakeTurns();
    void windowWaitsForCommandLine();
    void commandLineMeetsAWindowThatCannotAnswer_data();
    void commandLineMeetsAWindowThatCannotAnswer();
    void handedImportEndsEarly_data();
    void handedImportEndsEarly();

private:
    // `shell`: commands run in the program's shell before it starts (limits); `input`: its standard input.
    void startProgram(QProcess &program, const QStringList &arguments, const QString &shell = QString(),
                      const QByteArray &input = QByteArray());
    static CommandResult finish(QProcess &program);
    CommandResult runProgram(const QStringList &arguments, const QString &shell = QString(),
                             const QByteArray &input = QByteArray());
    // A file of the mouse as it is now, saved by the program itself; empty on failure.
    QString exportNow(const QString &name);
    // Where this session's programs meet.
    QString meetingPath(const QString &name) const;

    std::unique_ptr<ProgramSession> session;
    QTemporaryDir files;
    QByteArray validFile;
};

void tst_Profile::initTestCase()
{
    QVERIFY(files.isValid());
    deviceContext.library.setFileName(QStringLiteral(TARNO_BIN_DIR "/libtarno.so"));
    QVERIFY2(deviceContext.library.load(), qPrintable(deviceContext.library.errorString()));
    QCOMPARE(resolveEntryPoints(deviceContext), QString());
}

void tst_Profile::init()
{
    session = std::make_unique<ProgramSession>();
    qputenv("TARNO_EMU_DIR", session->emuDir().toLocal8Bit());
    QVERIFY(openDevice());
}

void tst_Profile::exportedFileRestoresTheMouseByteForByte()
{
    writeNonDefaultState();
    const QMap<QString, QString> before = session->dump();
    QCOMPARE(before.value("button4.macro").split(' ').size(), MaxMacroEvents);
    QCOMPARE(before.value("report_rate"), "2");

    const QString first = files.filePath("first.z31.json");
    QString error;
    QVERIFY2(ProfileFile::exportTo(first, &error), qPrintable(error));

    QCOMPARE(session->emu({ "reset" }), 0);
    QVERIFY(session->dump() != before);
    QVERIFY2(ProfileFile::importFrom(first, &error), qPrintable(error));
    QCOMPARE(session->dump(), before);

    const QString second = files.filePath("second.z31.json");
    QVERIFY2(ProfileFile::exportTo(second, &error), qPrintable(error));
    QCOMPARE(readAll(second), readAll(first));
    // What the file says in the program's own words.
    const QByteArray json = readAll(first);
    QVERIFY(json.contains("\"reportRate\": 500"));
    QVERIFY(json.contains("\"color\": \"#129afe\""));
    QVERIFY(json.contains("\"levelCount\": 3"));
    QVERIFY(QString::fromUtf8(json).contains(QRegularExpression("\"modifiers\": \\[\\s*\"CTRL\",\\s*\"ALT\"\\s*\\]")));
    QVERIFY(json.contains("\"name\": \"DELETE\""));
}

void tst_Profile::badFileIsRefusedBeforeAnyWrite_data()
{
    QTest::addColumn<QByteArray>("from");   // empty: the whole file is `to`
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("place");

    QTest::newRow("malformed JSON") << QByteArray() << QByteArray("{ \"format\": 1,\n  \"buttons\": [") << "第 2 行";
    QTest::newRow("not UTF-8") << QByteArray("\"1.0.0\"") << QByteArray("\"1.0.\xff\"") << "UTF-8";
    QTest::newRow("over 1 MiB") << QByteArray() << "{" + QByteArray(1024 * 1024, ' ') + "}"
                                << "1 MiB";
    QTest::newRow("unknown format") << QByteArray("\"format\": 1") << QByteArray("\"format\": 2") << "format";
    QTest::newRow("missing key") << QByteArray("},\n    \"reportRate\": 500") << QByteArray("}") << "reportRate";
    QTest::newRow("extra key") << QByteArray("\"format\": 1,") << QByteArray("\"format\": 1, \"name\": \"mine\",")
                               << "name";
    QTest::newRow("DPI off the step") << QByteArray("\"aim\": 500") << QByteArray("\"aim\": 525") << "dpi.aim";
    QTest::newRow("DPI too high") << QByteArray("            7200") << QByteArray("            7300")
                                  << "dpi.levels[4]";
    QTest::newRow("six levels") << QByteArray("\"levelCount\": 3") << QByteArray("\"levelCount\": 6")
                                << "dpi.levelCount";
    QTest::newRow("current level above count")
        << QByteArray("\"currentLevel\": 2") << QByteArray("\"currentLevel\": 4") << "dpi.currentLevel";
    QTest::newRow("report rate") << QByteArray("\"reportRate\": 500") << QByteArray("\"reportRate\": 300")
                                 << "reportRate";
    QTest::newRow("lighting mode") << QByteArray("\"breathing\"") << QByteArray("\"disco\"") << "lighting.mode";
    QTest::newRow("lighting speed") << QByteArray("\"speed\": 6") << QByteArray("\"speed\": 9") << "lighting.speed";
    QTest::newRow("colour") << QByteArray("\"#129afe\"") << QByteArray("\"blue\"") << "lighting.color";
    QTest::newRow("function code") << QByteArray("\"code\": 1,") << QByteArray("\"code\": 11,")
                                   << "buttons[0].function.code";
    QTest::newRow("unknown modifier") << QByteArray("\"CTRL\"") << QByteArray("\"HYPER\"")
                                      << "buttons[1].combination.modifiers[0]";
    QTest::newRow("unknown key name") << QByteArray("\"DELETE\"") << QByteArray("\"DEL\"")
                                      << "buttons[1].combination.key.name";
    QTest::newRow("unknown usage") << QByteArray("\"usage\": 76") << QByteArray("\"usage\": 1")
                                   << "buttons[1].combination.key.usage";
    QTest::newRow("delay beyond the wire")
        << QByteArray("\"delayMs\": 20,") << QByteArray("\"delayMs\": 65536,") << "buttons[2].macro.events[1].delayMs";
    QTest::newRow("101 macro events")
        << QByteArray("\"events\": [\n")
        << QByteArray("\"events\": [\n{ \"usage\": 4, \"name\": \"A\", \"action\": \"down\", \"delayMs\": 0 },\n")
        << "buttons[2].macro.events";
    QTest::newRow("button twice") << QByteArray("\"button\": 3,") << QByteArray("\"button\": 2,") << "buttons[1]";
    QTest::newRow("colour with a line break")
        << QByteArray("\"#129afe\"") << QByteArray("\"#129afe\\n\"") << "lighting.color 为 “#129afe\\u000a”";
    QTest::newRow("key twice") << QByteArray("\"format\": 1,") << QByteArray("\"format\": 2, \"format\": 1,")
                               << "重复了 “format”";
    QTest::newRow("key twice, spelt apart")
        << QByteArray("\"aim\": 500") << QByteArray("\"aim\": 500, \"\\u0061im\": 500") << "dpi 中重复了 “aim”";
    QTest::newRow("control character in a string")
        << QByteArray("\"DELETE\"") << QByteArray("\"DEL\1ETE\"") << "控制字符 \\u0001";
    QTest::newRow("NUL in a string") << QByteArray("\"DELETE\"") << QByteArray("\"DEL\0ETE\"", 9) << "控制字符 \\u0000";
    QTest::newRow("terminal escape") << QByteArray("\"breathing\"") << QByteArray("\"\\u001b]0;owned\\u0007\"")
                                     << "lighting.mode 为 “\\u001b]0;owned\\u0007”";
    QTest::newRow("900,000 characters") << QByteArray("\"breathing\"") << "\"" + QByteArray(900000, 'x') + "\""
                                        << "lighting.mode 为 “xxx";
    QTest::newRow("firmware not a version") << QByteArray("\"1.0.0\"") << QByteArray("\"1.0\"") << "firmware";
    QTest::newRow("firmware beyond a byte") << QByteArray("\"1.0.0\"") << QByteArray("\"1.256.0\"") << "firmware";
}

void tst_Profile::badFileIsRefusedBeforeAnyWrite()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, place);

    if (validFile.isEmpty()) {
        writeNonDefaultState();
        const QString path = files.filePath("valid.z31.json");
        QString error;
        QVERIFY2(ProfileFile::exportTo(path, &error), qPrintable(error));
        validFile = readAll(path);
    }
    QByteArray bad = to;
    if (!from.isEmpty()) {
        const int at = validFile.indexOf(from);
        QVERIFY2(at >= 0, from.constData());
        bad = validFile;
        bad.replace(at, from.size(), to);
    }
    const QString path = files.filePath("bad.z31.json");
    QVERIFY(writeFile(path, bad));

    session->clearCapture();
    QString error;
    QVERIFY(!ProfileFile::importFrom(path, &error));
    QVERIFY2(error.contains(place), qPrintable(error));
    QCOMPARE(session->capture(), QStringList());
    // What the file holds is quoted short and without characters that would steer a terminal.
    QVERIFY2(error.size() < 300, qPrintable(error.left(300)));
    for (const QChar c : error)
        QVERIFY2(c.unicode() >= 0x20, qPrintable(error));
}

void tst_Profile::failedImportIsUndone_data()
{
    QTest::addColumn<int>("refusedWrite");   // which WrtieConfig call the mouse refuses, from the import's start
    // The import first reads the factory mouse: its version (1 call, no macros); then the file's 100-event macro
    // of button 4 goes in 8 chunks.
    QTest::newRow("first macro chunk refused") << 2;
    QTest::newRow("last macro chunk refused") << 9;
}

void tst_Profile::failedImportIsUndone()
{
    QFETCH(int, refusedWrite);
    writeNonDefaultState();
    const QString path = files.filePath("undo.z31.json");
    QString error;
    QVERIFY2(ProfileFile::exportTo(path, &error), qPrintable(error));
    QCOMPARE(session->emu({ "reset" }), 0);
    const QMap<QString, QString> factory = session->dump();
    const std::optional<MouseProfile> profile = ProfileFile::load(path, &error);
    QVERIFY2(profile, qPrintable(error));

    QCOMPARE(session->emu({ "fail-config-write", QString::number(refusedWrite) }), 0);
    const ProfileWriteResult result = ProfileDevice::writeAndVerify(*profile);
    QCOMPARE(int(result.outcome), int(ProfileWriteResult::Restored));
    QVERIFY2(result.failure.contains("按键 4 的宏"), qPrintable(result.failure));
    QCOMPARE(session->dump(), factory);
    QVERIFY(ProfileDevice::describe(result).endsWith("鼠标已恢复为导入前的设置"));
}

void tst_Profile::startProgram(QProcess &program, const QStringList &arguments, const QString &shell,
                               const QByteArray &input)
{
    program.setProcessEnvironment(session->environment());
    program.setWorkingDirectory(session->workDir());
    if (shell.isEmpty())
        program.start(session->programPath(), arguments);
    else
        program.start("/bin/sh",
                      QStringList { "-c", shell + "; exec \"$0\" \"$@\"", session->programPath() } + arguments);
    program.write(input);
    program.closeWriteChannel();
}

CommandResult tst_Profile::finish(QProcess &program)
{
    CommandResult result;
    // A command line waits 30 s at most for anything.
    if (!program.waitForFinished(45000) || program.exitStatus() != QProcess::NormalExit)
        return result;
    result.code = program.exitCode();
    result.out = QString::fromLocal8Bit(program.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(program.readAllStandardError());
    return result;
}

CommandResult tst_Profile::runProgram(const QStringList &arguments, const QString &shell, const QByteArray &input)
{
    QProcess program;
    startProgram(program, arguments, shell, input);
    return finish(program);
}

QString tst_Profile::exportNow(const QString &name)
{
    const QString path = QDir(session->workDir()).filePath(name);
    return runProgram({ "--export", path }).code == 0 ? path : QString();
}

QString tst_Profile::meetingPath(const QString &name) const
{
    return session->environment().value("XDG_RUNTIME_DIR") + '/' + name;
}

void tst_Profile::commandLineExitCodes()
{
    // With a long macro, so that the file is larger than the disk below takes.
    writeNonDefaultState();
    const QMap<QString, QString> custom = session->dump();
    const QString file = QDir(session->workDir()).filePath("mouse.z31.json");
    const QString bad = QDir(session->workDir()).filePath("bad.z31.json");
    QVERIFY(writeFile(bad, "{ \"format\": 7 }"));

    CommandResult exported = runProgram({ "--export", file });
    QCOMPARE(exported.code, 0);
    QCOMPARE(exported.out.count('\n'), 1);
    QVERIFY(exported.out.contains(file));
    QCOMPARE(exported.err, QString());
    QVERIFY(readAll(file).contains("\"format\": 1"));

    const CommandResult imported = runProgram({ "--import", file });
    QCOMPARE(imported.code, 0);
    QCOMPARE(imported.out.count('\n'), 1);

    session->clearCapture();
    const CommandResult refused = runProgram({ "--import", bad });
    QCOMPARE(refused.code, 1);
    QCOMPARE(refused.out, QString());
    QCOMPARE(refused.err.count('\n'), 1);
    QVERIFY2(refused.err.contains("format"), qPrintable(refused.err));
    QCOMPARE(session->capture(), QStringList());

    // A mouse that stops answering fails the export after the retries and leaves the old file alone.
    const QByteArray saved = readAll(file);
    QCOMPARE(session->emu({ "fail-reads", "1000" }), 0);
    const CommandResult unanswered = runProgram({ "--export", file });
    QCOMPARE(unanswered.code, 1);
    QCOMPARE(unanswered.err.count('\n'), 1);
    QCOMPARE(readAll(file), saved);
    QCOMPARE(session->emu({ "fail-reads", "0" }), 0);

    // A disk that takes only the first 1024 bytes (a file size limit stands in for a full disk): the old file stays.
    const CommandResult full = runProgram({ "--export", file }, "trap '' XFSZ; ulimit -f 1");
    QCOMPARE(full.code, 1);
    QVERIFY2(full.err.contains("File too large"), qPrintable(full.err));
    QCOMPARE(readAll(file), saved);
    QCOMPARE(QDir(session->workDir()).entryList({ "*.z31.json*" }, QDir::Files),
             QStringList({ "bad.z31.json", "mouse.z31.json" }));

    // "-" is standard output and standard input.
    const CommandResult toPipe = runProgram({ "--export", "-" });
    QCOMPARE(toPipe.code, 0);
    QCOMPARE(toPipe.out.toUtf8(), saved);
    QCOMPARE(toPipe.err.count('\n'), 1);
    QCOMPARE(runProgram({ "--import", "-" }, QString(), saved).code, 0);
    QCOMPARE(runProgram({ "--import=-" }, QString(), "{ \"format\": 7 }").code, 1);

    // A macro chunk the mouse refuses (the second config write: the first reads the version): the mouse is put
    // back as it was.
    QCOMPARE(session->emu({ "reset" }), 0);
    const QMap<QString, QString> factory = session->dump();
    QVERIFY(saved.contains("\"macro\""));
    QCOMPARE(session->emu({ "fail-config-write", "2" }), 0);
    const CommandResult undone = runProgram({ "--import", file });
    QCOMPARE(undone.code, 1);
    QVERIFY2(undone.err.contains("鼠标已恢复为导入前的设置"), qPrintable(undone.err));
    QCOMPARE(session->dump(), factory);

    QCOMPARE(runProgram({ "--frobnicate" }).code, 2);
    QCOMPARE(runProgram({ "--export" }).code, 2);
    QCOMPARE(runProgram({ "--export", file, "--import", file }).code, 2);
    QCOMPARE(runProgram({ "--export", file, "more" }).code, 2);
    QCOMPARE(runProgram({ "--import=" }).code, 2);
    const CommandResult help = runProgram({ "--help" });
    QCOMPARE(help.code, 0);
    QVERIFY(help.out.contains("--import"));
    const CommandResult helpAll = runProgram({ "--help-all" });
    QCOMPARE(helpAll.code, 0);
    QVERIFY(helpAll.out.contains("--import"));
    QVERIFY(helpAll.out.contains("-platform"));
    const CommandResult version = runProgram({ "--version" });
    QCOMPARE(version.code, 0);
    QVERIFY(version.out.contains("1.0.9"));

    // An older install's "lang_zh_cn" (here one that words everything in English) is for the window alone: Qt's
    // translator can crash on a damaged one.
    QVERIFY(QFile::copy(TARNO_BIN_DIR "/../i18n/tarno_en.qm", QDir(session->workDir()).filePath("lang_zh_cn.qm")));
    const CommandResult simplified = runProgram({ "--import", bad });
    QCOMPARE(simplified.code, 1);
    QVERIFY2(simplified.err.startsWith("配置文件 bad.z31.json 有误"), qPrintable(simplified.err));

    // With the window running, the command line hands its work to the window: the same results, and the window is
    // the only program that talks to the mouse. Qt's own options go to the window. The window speaks English, the
    // command lines simplified Chinese: every line a command line prints is in its own language.
    QVERIFY(QFile::remove(QDir(session->workDir()).filePath("lang_zh_cn.qm")));
    const QString factoryFile = exportNow("factory.z31.json");
    QVERIFY(!factoryFile.isEmpty());
    QVERIFY(session->setLanguage("en"));
    QVERIFY(session->start({ "-style", "fusion" }));
    QVERIFY(session->waitForLog("language \"en\""));
    QVERIFY(session->setLanguage("zh_CN"));
    QVERIFY(session->waitForCaptureLine("ReadConfigData"));
    session->clearCapture();
    QVERIFY(QFile::remove(file));
    const CommandResult handedOut = runProgram({ "--export", file });
    QCOMPARE(handedOut.code, 0);
    QCOMPARE(handedOut.out, exported.out);
    QCOMPARE(withoutWaitNotices(handedOut.err), QString());
    QCOMPARE(readAll(file), readAll(factoryFile));
    const CommandResult handedToPipe = runProgram({ "--export", "-" });
    QCOMPARE(handedToPipe.code, 0);
    QCOMPARE(handedToPipe.out.toUtf8(), readAll(factoryFile));
    QCOMPARE(withoutWaitNotices(handedToPipe.err), toPipe.err);

    // The window reads the imported settings back for its pages: its settings read ends with the version.
    const auto lastCall = [this] {
        const QStringList lines = session->capture();
        return lines.isEmpty() ? QString() : lines.last();
    };
    const CommandResult handedIn = runProgram({ "--import", "-" }, QString(), saved);
    QCOMPARE(handedIn.code, 0);
    QCOMPARE(handedIn.out, "已从 标准输入 导入配置\n");
    QCOMPARE(session->dump(), custom);
    QVERIFY(session->waitFor([&] { return lastCall().startsWith("ReadConfigData 64 -> 1 57 d0"); }));
    QCOMPARE(runProgram({ "--import", factoryFile }).code, 0);
    QCOMPARE(session->dump(), factory);
    QVERIFY(session->waitFor([&] { return lastCall().startsWith("ReadConfigData 64 -> 1 57 d0"); }));
    QCOMPARE(session->emu({ "fail-config-write", "2" }), 0);
    const CommandResult handedUndone = runProgram({ "--import", "-" }, QString(), saved);
    QCOMPARE(handedUndone.code, 1);
    QCOMPARE(withoutWaitNotices(handedUndone.err), undone.err);
    QCOMPARE(session->dump(), factory);
    QCOMPARE(session->capture().filter(QRegularExpression("^OpenDevice")), QStringList());

    // A file that fails its checks never reaches the window.
    session->clearCapture();
    const CommandResult handedBad = runProgram({ "--import", bad });
    QCOMPARE(handedBad.code, 1);
    QCOMPARE(handedBad.err, simplified.err);
    QCOMPARE(session->capture(), QStringList());
}

void tst_Profile::commandLinesTakeTurns_data()
{
    QTest::addColumn<bool>("window");
    // The second command line under another name, as the self-update unpacks it beside the first.
    QTest::addColumn<bool>("renamed");
    QTest::newRow("alone") << false << false;
    QTest::newRow("alone, one under another name") << false << true;
    QTest::newRow("with the window") << true << false;
    QTest::newRow("with the window, one under another name") << true << true;
}

void tst_Profile::commandLinesTakeTurns()
{
    QFETCH(bool, window);
    QFETCH(bool, renamed);
    writeNonDefaultState();
    const QMap<QString, QString> custom = session->dump();
    const QString customFile = exportNow("custom.z31.json");
    QCOMPARE(session->emu({ "reset" }), 0);
    const QMap<QString, QString> factory = session->dump();
    const QString factoryFile = exportNow("factory.z31.json");
    QVERIFY(!customFile.isEmpty() && !factoryFile.isEmpty());
    if (window) {
        QVERIFY(session->start());
        QVERIFY(session->waitForCaptureLine("ReadConfigData"));
    }
    const QString otherName = QDir(session->programDir()).filePath("TARNO_CONNECT_PC_V9.9.9");
    QVERIFY(!renamed || QFile::copy(session->programPath(), otherName));

    // Each call takes a frame of full-speed USB: two imports started together would overlap by far.
    QCOMPARE(session->emu({ "latency", "1000" }), 0);
    session->clearCapture();
    QProcess first;
    QProcess second;
    startProgram(first, { "--import", customFile });
    if (renamed) {
        second.setProcessEnvironment(session->environment());
        second.setWorkingDirectory(session->workDir());
        second.start(otherName, { "--import", factoryFile });
    } else {
        startProgram(second, { "--import", factoryFile });
    }
    const CommandResult firstResult = finish(first);
    const CommandResult secondResult = finish(second);
    QCOMPARE(session->emu({ "latency", "0" }), 0);
    QCOMPARE(firstResult.code, 0);
    QCOMPARE(firstResult.out, "已从 " + customFile + " 导入配置\n");
    QCOMPARE(secondResult.code, 0);
    QCOMPARE(secondResult.out, "已从 " + factoryFile + " 导入配置\n");

    // One file's settings, never a mix of both.
    const QMap<QString, QString> after = session->dump();
    QVERIFY(after == custom || after == factory);
    const QStringList calls = session->capture();
    if (window) {
        QCOMPARE(calls.filter(QRegularExpression("^OpenDevice")), QStringList());
    } else {
        // One command line closes the mouse before the other opens it.
        QCOMPARE(calls.filter(QRegularExpression("^OpenDevice")).size(), 2);
        const int secondOpen = calls.lastIndexOf(QRegularExpression("OpenDevice .*"));
        QVERIFY(calls.indexOf("CloseDevice") < secondOpen);
        QCOMPARE(calls.indexOf("CloseDevice", secondOpen), calls.size() - 1);
    }
}

void tst_Profile::windowWaitsForCommandLine()
{
    // A command line that holds the mouse: here the test holds its lock.
    const QString lockPath = meetingPath("tarno-mouse.lock");
    QLockFile lock(lockPath);
    QVERIFY(lock.tryLock(0));

    // The window appears at once, without touching the mouse while the lock is held, and says that it waits for it.
    session->clearCapture();
    QVERIFY(session->start());
    QVERIFY(session->waitForLog("waiting for a command line to finish with the mouse"));
    QVERIFY(session->waitForLog("no-device page: waiting for the mouse"));
    QCOMPARE(session->capture(), QStringList());
    // A later command line hands its work to the window, which does it once the mouse is free.
    const QString file = QDir(session->workDir()).filePath("later.z31.json");
    QProcess later;
    startProgram(later, { "--export", file });
    QVERIFY(later.waitForStarted());
    QVERIFY(session->waitForLog("command line request: export"));
    lock.unlock();
    const CommandResult laterResult = finish(later);
    QCOMPARE(laterResult.code, 0);
    QVERIFY(readAll(file).contains("\"format\": 1"));
    const QString node = QDir(session->emuDir()).filePath("z31-hidraw");
    QCOMPARE(ProgramSession::settingsReadMismatch(session->capture(), node), QString());
    QCOMPARE(session->capture().filter(QRegularExpression("^OpenDevice")).size(), 1);

    // The window ends in the middle of an import handed to it (each call now waits 10 s): the mouse may hold part of
    // the file. It leaves its lock behind, which keeps no one from the mouse.
    QCOMPARE(session->emu({ "latency", "10000000" }), 0);
    QProcess importer;
    startProgram(importer, { "--import", file });
    QVERIFY(session->waitFor([&] { return session->log().count("read profile") == 2; }));
    session->process().kill();
    const CommandResult cut = finish(importer);
    QCOMPARE(cut.code, 3);
    QCOMPARE(withoutWaitNotices(cut.err), "程序窗口没有完成导入就退出了：鼠标上的设置可能不完整，请重新导入\n");
    QCOMPARE(session->emu({ "latency", "0" }), 0);
    QVERIFY(session->waitFor([&] { return session->process().state() == QProcess::NotRunning; }));
    QVERIFY(QFile::exists(lockPath));
    QCOMPARE(runProgram({ "--export", file }).code, 0);
    QVERIFY(!QFile::exists(lockPath));
}

void tst_Profile::commandLineMeetsAWindowThatCannotAnswer_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("says");   // in the result line or the line said while waiting
    // The window stops (a debugger, kill -STOP) with the mouse: the command line gives up on it and says why.
    QTest::newRow("stopped window") << "stop" << 1 << "正在等待：本程序的另一个进程正在使用鼠标";
    // More connections than the window may keep files open (soft limit 1024), all idle: the window stays reachable.
    QTest::newRow("1,100 idle connections") << "flood" << 0 << "已导出配置";
    // Someone else's process where this user's window would listen answers every request: nobody listens to it.
    QTest::newRow("listener of another user") << "foreign" << 0 << "已导出配置";
    // The system stopped between creating the lock file and writing it: no window could take the mouse.
    QTest::newRow("empty lock") << "empty lock" << 0 << "已导出配置";
}

void tst_Profile::commandLineMeetsAWindowThatCannotAnswer()
{
    QFETCH(QString, fault);
    QFETCH(int, code);
    QFETCH(QString, says);
    writeNonDefaultState();
    const QString expected = exportNow("expected.z31.json");
    QVERIFY(!expected.isEmpty());
    const QString program = QFileInfo(session->programPath()).fileName();
    ForeignListener foreign;
    std::vector<int> idle;
    const auto closeIdle = qScopeGuard([&idle] {
        for (const int fd : idle)
            ::close(fd);
    });
    rlimit files {};
    QCOMPARE(::getrlimit(RLIMIT_NOFILE, &files), 0);
    const rlimit testFiles = files;
    const auto restoreLimit = qScopeGuard([&testFiles] { ::setrlimit(RLIMIT_NOFILE, &testFiles); });

    if (fault == "stop") {
        QVERIFY(session->start());
        QVERIFY(session->waitForCaptureLine("ReadConfigData"));
        QCOMPARE(::kill(pid_t(session->process().processId()), SIGSTOP), 0);
    } else if (fault == "flood") {
        // The window gets the usual limit, the test room for the connections.
        if (files.rlim_max < 2048)
            QSKIP("the hard limit of open files leaves no room for 1,100 connections");
        files.rlim_cur = 1024;
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &files), 0);
        QVERIFY(session->start());
        QVERIFY(session->waitForCaptureLine("ReadConfigData"));
        files.rlim_cur = files.rlim_max;
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &files), 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(meetingPath("tarno-mouse")).constData(), sizeof address.sun_path);
        for (int i = 0; i < 1100; ++i) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            QVERIFY(fd >= 0);
            idle.push_back(fd);
            QCOMPARE(::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        }
    } else if (fault == "foreign") {
        const QString why = foreign.start({ meetingPath("tarno-mouse"), meetingPath(program) });
        if (!why.isEmpty())
            QSKIP(qPrintable(why));
    } else if (fault == "empty lock") {
        QFile empty(meetingPath("tarno-mouse.lock"));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        QVERIFY(session->start());
        QVERIFY(session->waitForCaptureLine("ReadConfigData", 15000));
    }

    session->clearCapture();
    const QString file = QDir(session->workDir()).filePath("meets.z31.json");
    const CommandResult result = runProgram({ "--export", file });
    QCOMPARE(result.code, code);
    QVERIFY2((result.out + result.err).contains(says), qPrintable(result.out + result.err));
    if (code == 0)
        QCOMPARE(readAll(file), readAll(expected));
    else
        QVERIFY(!QFile::exists(file));

    if (fault == "stop") {
        QCOMPARE(::kill(pid_t(session->process().processId()), SIGCONT), 0);
        // The stopped window's lock kept the command line from the mouse.
        QCOMPARE(session->capture().filter(QRegularExpression("^OpenDevice")), QStringList());
    } else if (fault == "flood" || fault == "foreign") {
        // A later start finds this user's window, or starts one where only someone else's process listened.
        QProcess again;
        startProgram(again, {});
        if (fault == "flood") {
            QCOMPARE(finish(again).err, program + " already running.\n");
        } else {
            QVERIFY(session->waitFor([&] {
                return !ProgramSession::xdotool(
                            { "search", "--onlyvisible", "--pid", QString::number(again.processId()) })
                            .isEmpty();
            }));
            again.kill();
            again.waitForFinished();
        }
    }
}

void tst_Profile::handedImportEndsEarly_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<bool>("written");   // whether the mouse ends up holding the file
    // Ctrl-C while the window waits for the mouse: it drops the request.
    QTest::newRow("SIGINT before the window writes") << "interrupt" << false;
    // The window quits while the import's last read-back is under way: it answers before it goes.
    QTest::newRow("window quits right after the import") << "quit" << true;
}

void tst_Profile::handedImportEndsEarly()
{
    QFETCH(QString, ending);
    QFETCH(bool, written);
    writeNonDefaultState();
    const QString customFile = exportNow("custom.z31.json");
    QCOMPARE(session->emu({ "reset" }), 0);
    const QMap<QString, QString> factory = session->dump();
    QVERIFY(!customFile.isEmpty());
    QLockFile lock(meetingPath("tarno-mouse.lock"));
    if (ending == "interrupt")
        QVERIFY(lock.tryLock(0));
    QVERIFY(session->start());

    QProcess importer;
    if (ending == "interrupt") {
        startProgram(importer, { "--import", customFile });
        QVERIFY(session->waitForLog("command line request: import"));
        QCOMPARE(::kill(pid_t(importer.processId()), SIGINT), 0);
        QVERIFY(importer.waitForFinished(10000));
        // It ends as Ctrl-C ends a program (a shell reports 130), after saying what becomes of the import.
        QCOMPARE(importer.exitStatus(), QProcess::CrashExit);
        QCOMPARE(importer.exitCode(), SIGINT);
        QVERIFY(QString::fromLocal8Bit(importer.readAllStandardError()).startsWith("已中断"));
        QVERIFY(session->waitForLog("request dropped"));
        lock.unlock();
        // Handed over behind the dropped one: once it is answered, the window is past it.
        QCOMPARE(runProgram({ "--export", QDir(session->workDir()).filePath("after.z31.json") }).code, 0);
    } else {
        QVERIFY(session->waitForCaptureLine("ReadConfigData"));
        // The read-back ends with button 9: from its first call on, at most two frames of 0.6 s remain (a library may
        // capture a call before or after its frame), within the 1.5 s that quitting waits for a call.
        QCOMPARE(session->emu({ "latency", "20000" }), 0);
        session->clearCapture();
        startProgram(importer, { "--import", customFile });
        const auto count = [this](const QString &prefix) {
            return session->capture().filter(QRegularExpression("^" + QRegularExpression::escape(prefix))).size();
        };
        const QString readButton8 = "WrtieControl 31 b0 08";
        const QString readButton9 = "WrtieControl 31 b0 09";
        QVERIFY(session->waitFor([&] { return count(readButton8) == 2; }, 30000));
        QCOMPARE(session->emu({ "latency", "600000" }), 0);
        QVERIFY(session->waitFor([&] { return count(readButton9) == 2; }, 30000));
        session->click(1155, 38);
        const CommandResult result = finish(importer);
        QCOMPARE(result.code, 0);
        QCOMPARE(session->emu({ "latency", "0" }), 0);
        QVERIFY2(session->waitForExit() == 0, qPrintable(session->log()));
    }
    QCOMPARE(session->dump() != factory, written);
}

QTEST_MAIN(tst_Profile)
#include "tst_profile.moc"
