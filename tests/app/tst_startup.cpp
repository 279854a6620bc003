#include "programsession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Waits for a visible window of `process` other than the main window; returns its id.
QString waitForDialog(ProgramSession &session)
{
    QString found;
    session.waitFor([&] {
        const QStringList ids = ProgramSession::xdotool({ "search", "--onlyvisible", "--pid",
                                                          QString::number(session.process().processId()) })
                                    .split('\n', Qt::SkipEmptyParts);
        found = ids.isEmpty() ? QString() : ids.first();
        return !found.isEmpty();
    });
    return found;
}

// Confirms the box with Enter until the program has gone (the box may not take keys the moment it maps).
int confirmAndWaitForExit(ProgramSession &session, const QString &box)
{
    session.waitFor([&] {
        ProgramSession::xdotool({ "key", "--window", box, "Return" });
        return session.process().state() == QProcess::NotRunning;
    });
    return session.waitForExit();
}

bool startProcess(ProgramSession &session)
{
    QProcess &program = session.process();
    program.setProcessEnvironment(session.environment());
    program.setWorkingDirectory(session.workDir());
    program.start(session.programPath(), QStringList());
    return program.waitForStarted(10000);
}

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void shouldReadAllSettingsAtStartWithMousePresent()
    {
        ProgramSession session;
        QVERIFY(session.start());
        QVERIFY(session.waitForCaptureLine("ReadConfigData"));

        const QString node = QDir(session.emuDir()).filePath("z31-hidraw");
        QCOMPARE(ProgramSession::settingsReadMismatch(session.capture(), node), QString());
        // The log arrives through a pipe of its own and may lag behind the capture file.
        QVERIFY(session.waitForLog(node));
    }

    void shouldOpenNothingMoreWithMouseAbsent()
    {
        ProgramSession session(false);
        QVERIFY(session.start());
        QVERIFY(session.waitForCaptureLine("OpenDevice"));
        QCOMPARE(session.capture().first(), "OpenDevice 3044 9d09 -> null");
        QCOMPARE(session.capture().size(), 1);
    }

    void shouldRetryEveryQueryWhenMouseNeverAnswers()
    {
        ProgramSession session;
        session.emu({ "fail-reads", "1000" });
        QVERIFY(session.start());
        QVERIFY(session.waitFor([&] { return session.capture().count("CloseConfigDevice") == 10; }));

        const QStringList lines = session.capture();
        QCOMPARE(lines.filter(QRegularExpression("^ReadData 32 -> 0 ")).size(), 33);
        QCOMPARE(lines.filter(QRegularExpression("^ReadConfigData 64 -> 0 ")).size(), 11);
        QCOMPARE(lines.count("CloseDevice"), 30);
        QVERIFY(session.waitForLog("255 0 0"));
    }

    void shouldRunOnceAndRaiseTheFirstWindow()
    {
        ProgramSession first;
        QVERIFY(first.start());
        // Hide it to the tray with its close button.
        first.click(1155, 38);
        QVERIFY(first.waitFor([&] {
            return !ProgramSession::xdotool({ "search", "--onlyvisible", "--pid",
                                              QString::number(first.process().processId()) })
                        .contains(QString::number(first.windowId()));
        }));

        QProcess second;
        second.setProcessEnvironment(first.environment());
        second.setWorkingDirectory(first.workDir());
        second.start(first.programPath(), QStringList());
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        const QString name = QFileInfo(first.programPath()).fileName();
        QCOMPARE(QString::fromLocal8Bit(second.readAllStandardError()), name + " already running.\n");

        QVERIFY(first.waitForLog("w is not null"));
        QVERIFY(first.waitFor([&] {
            return ProgramSession::xdotool({ "search", "--onlyvisible", "--pid",
                                             QString::number(first.process().processId()) })
                .contains(QString::number(first.windowId()));
        }));
    }

    void shouldTakeOverStaleEndpoint()
    {
        ProgramSession session;
        // What a crashed instance leaves behind: a socket file nobody listens on.
        const QString name = QFileInfo(session.programPath()).fileName();
        const QByteArray path = QDir::temp().filePath(name).toLocal8Bit();
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        ::close(fd);
        QVERIFY(QFileInfo::exists(QString::fromLocal8Bit(path)));

        QVERIFY(session.start());

        QProcess second;
        second.setProcessEnvironment(session.environment());
        second.start(session.programPath(), QStringList());
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(QString::fromLocal8Bit(second.readAllStandardError()), name + " already running.\n");
    }

    void shouldRefuseMissingLibrary()
    {
        ProgramSession session;
        QVERIFY(QFile::remove(session.programDir() + "/libtarno.so"));
        QVERIFY(startProcess(session));
        const QString box = waitForDialog(session);
        QVERIFY(!box.isEmpty());
        bool numeric = false;
        ProgramSession::xdotool({ "getwindowname", box }).trimmed().toInt(&numeric);
        QVERIFY(numeric);
        QCOMPARE(confirmAndWaitForExit(session, box), 0);
        QVERIFY(session.log().contains("libtarno.so"));
        QVERIFY(session.capture().isEmpty());
    }

    void shouldRefuseLibraryWithoutAnEntryPoint()
    {
        ProgramSession session;
        QVERIFY(QFile::remove(session.programDir() + "/libtarno.so"));
        QVERIFY(QFile::copy(TARNO_MISSING_ENTRY_LIBRARY, session.programDir() + "/libtarno.so"));
        QVERIFY(startProcess(session));
        const QString box = waitForDialog(session);
        QVERIFY(!box.isEmpty());
        QCOMPARE(ProgramSession::xdotool({ "getwindowname", box }).trimmed(), "0");
        QCOMPARE(confirmAndWaitForExit(session, box), 0);
        QVERIFY(session.log().contains("WrtieConfig"));
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
