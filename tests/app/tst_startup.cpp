#include "programsession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QtTest>

#include <pwd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

struct Dialog
{
    QString id;
    QString title;
};

// Waits for a visible window of the session's program that has its title; the program shows no other window.
Dialog waitForDialog(ProgramSession &session)
{
    Dialog found;
    session.waitFor([&] {
        const QStringList ids = ProgramSession::xdotool({ "search", "--onlyvisible", "--pid",
                                                          QString::number(session.process().processId()) })
                                    .split('\n', Qt::SkipEmptyParts);
        found.id = ids.value(0);
        found.title = found.id.isEmpty() ? QString() : ProgramSession::xdotool({ "getwindowname", found.id }).trimmed();
        return !found.title.isEmpty();
    });
    return found;
}

// Confirms the box with Enter until the program has gone (the box may not take keys the moment it maps).
// The key goes to the focus, never "key --window": that presses through the test extension while the box has the
// focus but sends the release to the box itself; when the box has closed in between, that send fails and ends
// xdotool with Return still held down in the X server, whose auto-repeat then closes the next box at once.
int confirmAndWaitForExit(ProgramSession &session, const QString &box)
{
    session.waitFor([&] {
        ProgramSession::xdotool({ "windowfocus", box, "key", "Return" });
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

// Where a program of this session listens for later starts.
QString instanceSocket(ProgramSession &session)
{
    return session.environment().value("XDG_RUNTIME_DIR") + '/' + QFileInfo(session.programPath()).fileName();
}

// A second user of this machine: another user id where the tests run as root, else the same one; either way with
// a home and a runtime folder of their own, and a copy of the X server's cookie.
struct OtherUser
{
    QTemporaryDir home;
    uid_t uid = ::getuid();
    gid_t gid = ::getgid();
    QProcessEnvironment env;

    explicit OtherUser(const QProcessEnvironment &base)
        : env(base)
    {
        const passwd *nobody = ::getpwnam("nobody");
        if (::geteuid() == 0 && nobody && !QStandardPaths::findExecutable("setpriv").isEmpty()) {
            uid = nobody->pw_uid;
            gid = nobody->pw_gid;
        }
        QDir(home.path()).mkpath("runtime");
        QDir(home.path()).mkpath("emu");
        QDir(home.path()).mkpath("work");
        env.insert("HOME", home.path());
        env.insert("XDG_RUNTIME_DIR", home.filePath("runtime"));
        env.insert("TARNO_EMU_DIR", home.filePath("emu"));
        env.insert("TARNO_DEVICE_NODES", home.filePath("emu/z31-hidraw"));
        QString cookie = base.value("XAUTHORITY");
        if (cookie.isEmpty())
            cookie = QDir::home().filePath(".Xauthority");
        if (QFile::exists(cookie) && QFile::copy(cookie, home.filePath("Xauthority")))
            env.insert("XAUTHORITY", home.filePath("Xauthority"));
        QFile::setPermissions(home.filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (const QString &path : { home.path(), home.filePath("runtime"), home.filePath("emu"), home.filePath("work"),
                                     home.filePath("Xauthority") }) {
            if (QFileInfo::exists(path) && ::chown(QFile::encodeName(path).constData(), uid, gid) != 0)
                qWarning("cannot hand %s to the other user", qPrintable(path));
        }
    }

    bool isAnotherId() const { return uid != ::getuid(); }

    void start(QProcess &process, const QString &program) const
    {
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(home.filePath("work"));
        if (isAnotherId()) {
            process.start("setpriv",
                          { "--reuid=" + QString::number(uid), "--regid=" + QString::number(gid), "--clear-groups",
                            program });
        } else {
            process.start(program, QStringList());
        }
    }
};

// A system tray in this X server, as desktops with one have (a bare X server has none). False when none came.
bool startTray(ProgramSession &session, QProcess &tray)
{
    tray.start(QStringLiteral("trayer"), { QStringLiteral("--edge"), QStringLiteral("top") });
    return tray.waitForStarted(5000) && session.waitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); });
}

bool isAccentGreen(QColor c)
{
    return qAbs(c.red() - 0x2b) < 12 && qAbs(c.green() - 0xac) < 12 && qAbs(c.blue() - 0x39) < 12;
}

bool hasVisibleMainWindow(const QProcess &process)
{
    const QStringList ids
        = ProgramSession::xdotool({ "search", "--onlyvisible", "--pid", QString::number(process.processId()) })
              .split('\n', Qt::SkipEmptyParts);
    for (const QString &id : ids) {
        if (ProgramSession::xdotool({ "getwindowgeometry", id }).contains("Geometry: 1200x750"))
            return true;
    }
    return false;
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
        // The capture file can be ahead of the program's standard error, which arrives through the event loop.
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
        // The window is up at once, before the reads end; on the contrary library they take 300 ms each to fail.
        QVERIFY(session.waitFor([&] {
            return session.capture().filter(QRegularExpression("^ReadConfigData 64 -> 0 ")).size() == 11;
        }, 30000));

        const QStringList lines = session.capture();
        QCOMPARE(lines.filter(QRegularExpression("^ReadData 32 -> 0 ")).size(), 33);
        QCOMPARE(lines.filter(QRegularExpression("^ReadConfigData 64 -> 0 ")).size(), 11);
        QCOMPARE(lines.count("CloseDevice"), 30);
        QVERIFY(session.waitForLog("255 0 0"));
    }

    void shouldRunOnceAndRaiseTheFirstWindow_data()
    {
        QTest::addColumn<bool>("atLogin");
        QTest::newRow("hidden with the close button") << false;
        // The login start: in the tray from the start, working in the program's folder.
        QTest::newRow("started hidden at login") << true;
    }
    void shouldRunOnceAndRaiseTheFirstWindow()
    {
        QFETCH(bool, atLogin);
        if (QStandardPaths::findExecutable(QStringLiteral("trayer")).isEmpty())
            QSKIP("needs a system tray: trayer is not installed (scripts/install-deps.sh --tests)");
        ProgramSession first;
        QProcess tray;
        const auto stopTray = qScopeGuard([&tray] {
            tray.kill();
            tray.waitForFinished(5000);
        });
        QVERIFY(startTray(first, tray));
        // An older version's executable, which the start's scan deletes from the folder it works in.
        const QString leftover = QDir(first.programDir()).filePath("TARNO_CONNECT_PC_V1.0.8.exe");
        QFile file(leftover);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        if (atLogin) {
            QVERIFY(first.launch({ "--hidden" }));
            QVERIFY(first.waitForCaptureLine("ReadConfigData"));
            QVERIFY(first.waitFor([&] { return !QFileInfo::exists(leftover); }));
            QVERIFY(!hasVisibleMainWindow(first.process()));
        } else {
            QVERIFY(first.start());
            QVERIFY(QFileInfo::exists(leftover));
            // Hide it to the tray with its close button.
            first.click(1155, 38);
            QVERIFY(first.waitFor([&] { return !hasVisibleMainWindow(first.process()); }));
        }

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
        QVERIFY(first.waitForWindow());
    }

    void shouldEndWhenClosedWithoutATray_data()
    {
        QTest::addColumn<int>("latencyUs");
        QTest::addColumn<bool>("colourClicks");
        QTest::newRow("mouse answering") << 0 << false;
        // Every call into the library takes 10 s: the program ends without waiting for the one under way.
        QTest::newRow("a call hangs in the library") << 10000000 << false;
        // Red, then blue, then closed at once: the mouse, answering in 300 ms, gets both before the program ends.
        QTest::newRow("right after two colour clicks") << 300000 << true;
    }
    void shouldEndWhenClosedWithoutATray()
    {
        QFETCH(int, latencyUs);
        QFETCH(bool, colourClicks);
        // Like many Linux desktops, a bare X server has no tray that could show the window again or quit (an earlier
        // test's tray may still be going away).
        ProgramSession session;
        QVERIFY(session.waitFor([] { return !QSystemTrayIcon::isSystemTrayAvailable(); }));
        QCOMPARE(session.emu({ "latency", QString::number(latencyUs) }), 0);
        QVERIFY(session.start());
        if (colourClicks) {
            const auto swatch = [](int id) { return QPoint(800 + 80 + 31 * (id - 1) + 9, 239); };
            // Once the settings are read, the lighting page, when its steady button (the factory mode) shows in the
            // accent colour.
            QVERIFY(session.waitForCaptureLine("ReadConfigData", 30000));
            const auto lightingPageShown = [&] {
                return ProgramSession::countPixels(session.grab(), QRect(40, 230, 130, 26), isAccentGreen) > 2000;
            };
            const auto openLightingPage = [&] {
                session.click(600, 675);
                return session.waitFor(lightingPageShown, 1500);
            };
            QVERIFY(session.waitFor(openLightingPage, 15000));
            // The swatches' panel slides in after the page.
            QVERIFY(session.waitUntilStill());
            session.click(swatch(1).x(), swatch(1).y());
            session.click(swatch(5).x(), swatch(5).y());
        }
        session.click(1155, 38);
        QCOMPARE(session.waitForExit(5000), 0);
        if (colourClicks) {
            const QMap<QString, QString> memory = session.dump();
            const QStringList colour
                = { memory.value("lighting.red"), memory.value("lighting.green"), memory.value("lighting.blue") };
            QVERIFY2(colour == QStringList({ "0", "0", "255" }),
                     qPrintable(colour.join(' ') + " after\n"
                                + session.capture().filter("WrtieControl 31 a1").join('\n')));
        }
    }

    void shouldTakeOverStaleEndpoint()
    {
        ProgramSession session;
        // What a crashed instance leaves behind: a socket file nobody listens on.
        const QString name = QFileInfo(session.programPath()).fileName();
        const QByteArray path = instanceSocket(session).toLocal8Bit();
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

    void shouldRunOneInstancePerUser()
    {
        ProgramSession first;
        QVERIFY(first.start());
        // Only its owner may reach the first user's instance.
        const QFileInfo socket(instanceSocket(first));
        QVERIFY(socket.exists());
        QCOMPARE(socket.ownerId(), uint(::getuid()));
        QCOMPARE(socket.permissions()
                     & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser | QFile::WriteUser
                         | QFile::ExeUser),
                 QFile::Permissions());

        // The same executable, started by another user.
        OtherUser user(first.environment());
        if (user.isAnotherId()) {
            QFile::setPermissions(QFileInfo(first.programDir()).path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther);
            QFile::setPermissions(first.programDir(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                      | QFile::ExeOther);
        }
        QProcess other;
        user.start(other, first.programPath());
        QVERIFY(other.waitForStarted(10000));
        QVERIFY(first.waitFor([&] { return hasVisibleMainWindow(other); }, 15000));
        QCOMPARE(other.state(), QProcess::Running);

        // A second start by that user still finds that user's instance.
        QProcess again;
        user.start(again, first.programPath());
        QVERIFY(again.waitForFinished(10000));
        QCOMPARE(again.exitCode(), 0);
        const QString name = QFileInfo(first.programPath()).fileName();
        QCOMPARE(QString::fromLocal8Bit(again.readAllStandardError()), name + " already running.\n");
        QVERIFY(!QString::fromLocal8Bit(other.readAllStandardError()).contains("already running"));

        other.kill();
        QVERIFY(other.waitForFinished(5000));
        QCOMPARE(first.process().state(), QProcess::Running);
    }

    void shouldStartWithoutAScreen()
    {
        ProgramSession session;
        // A frame buffer that does not exist: Qt starts with no screen at all.
        session.environment().insert("QT_QPA_PLATFORM", "linuxfb:fb=/nonexistent");
        session.environment().insert("QT_QPA_FB_DISABLE_INPUT", "1");
        QVERIFY(startProcess(session));
        QVERIFY(session.waitForLog("no screen: the window waits for one"));
        QCOMPARE(ProgramSession::settingsReadMismatch(session.capture(), QDir(session.emuDir()).filePath("z31-hidraw")),
                 QString());

        // Its event loop runs: a later start reaches it.
        QProcess second;
        second.setProcessEnvironment(session.environment());
        second.start(session.programPath(), QStringList());
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(session.waitForLog("no screen to show the window on"));
        QCOMPARE(session.process().state(), QProcess::Running);
    }

    void shouldRefuseMissingLibrary()
    {
        ProgramSession session;
        QVERIFY(QFile::remove(session.programDir() + "/libtarno.so"));
        QVERIFY(startProcess(session));
        const Dialog box = waitForDialog(session);
        QVERIFY2(!box.id.isEmpty(), qPrintable(session.log()));
        bool numeric = false;
        box.title.toInt(&numeric);
        QVERIFY(numeric);
        const int exitCode = confirmAndWaitForExit(session, box.id);
        QVERIFY2(exitCode == 0, qPrintable(session.log()));
        QVERIFY(session.log().contains("libtarno.so"));
        QVERIFY(session.capture().isEmpty());
    }

    void shouldRefuseLibraryWithoutAnEntryPoint()
    {
        ProgramSession session;
        QVERIFY(QFile::remove(session.programDir() + "/libtarno.so"));
        QVERIFY(QFile::copy(TARNO_MISSING_ENTRY_LIBRARY, session.programDir() + "/libtarno.so"));
        QVERIFY(startProcess(session));
        const Dialog box = waitForDialog(session);
        QVERIFY2(!box.id.isEmpty(), qPrintable(session.log()));
        QCOMPARE(box.title, "0");
        const int exitCode = confirmAndWaitForExit(session, box.id);
        QVERIFY2(exitCode == 0, qPrintable(session.log()));
        QVERIFY(session.log().contains("WrtieConfig"));
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
