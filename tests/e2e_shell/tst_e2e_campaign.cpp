// A seeded fault campaign: the real program on the emulated mouse, driven at random by what a user does and by
// what goes wrong around it (the mouse unplugged at any moment, also during a call, re-enumerated, slow, failing
// reads or a config write, silent, answering garbage on the contrary library; the program killed). After every
// step it checks what must always hold. A failure names its seed and step, which replay it:
//   TARNO_CAMPAIGN_SEED=S TARNO_CAMPAIGN_STEPS=N xvfb-run -a build/bin/tst_e2e_campaign
// TARNO_CAMPAIGN_MINUTES=M runs rounds of successive seeds for M minutes and counts (scripts/soak.sh);
// TARNO_CAMPAIGN_VERBOSE prints every step as it goes.
#include "pingwatch.h"
#include "programsession.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSystemTrayIcon>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int PingLimitMs = 250;
// What the window shows must equal the mouse once it has been healthy this long, and nothing else happened.
constexpr int SettleMs = 3000;
constexpr int CommandLineLimitMs = 120000;
constexpr int StepsPerRound = 100;

// Where the user clicks, in the window's own pixels.
QPoint navButton(int page)
{
    return { 540 + 60 * (page - 1), 675 };
}
const QPoint modeButtons[] = { { 105, 243 }, { 105, 283 }, { 105, 323 }, { 255, 243 }, { 255, 283 }, { 255, 323 } };
const QRect modeArea(40, 230, 280, 106);
const QRect pickerSquare(878, 308, 184, 122);
const QRect hueBand(878, 442, 184, 28);
QPoint swatch(int id)
{
    return { 889 + 31 * (id - 1), 239 };
}
QPoint speedStep(int step)
{
    return { 41 + 40 * (step - 1), 425 };
}
QPoint levelCountButton(int index)
{
    return { 120 + 47 * index, 239 };
}
QPoint levelHandle(int level, int value)
{
    return { 107 + (value - 1) * 208 / 143, 291 + 50 * (level - 1) };
}
QPoint aimHandle(int value)
{
    return { 885 + (value - 1) * 270 / 143, 379 };
}
// Report-rate codes 8, 4, 2, 1 (125, 250, 500, 1000 a second).
const QPoint rateButtons[] = { { 945, 243 }, { 1095, 243 }, { 945, 285 }, { 1095, 285 } };
const QRect rateArea(880, 230, 280, 68);
const QPoint resetButton(105, 40);
const QPoint closeButton(1155, 38);
// The buttons page's circles and where each opens its dialog.
struct Circle
{
    int button;
    QPoint centre;
    QPoint dialog;
};
const Circle circles[] = {
    { 2, { 397, 219 }, { 416, 196 } }, { 3, { 831, 361 }, { 464, 242 } }, { 4, { 825, 313 }, { 470, 290 } },
    { 5, { 397, 287 }, { 416, 264 } }, { 6, { 397, 317 }, { 416, 294 } }, { 7, { 797, 287 }, { 816, 264 } },
    { 8, { 371, 225 }, { 390, 202 } }, { 9, { 423, 225 }, { 442, 202 } },
};
// In a button dialog, relative to it.
QPoint dialogPage(int page)
{
    return { 65 + 102 * page, 300 };
}
QPoint listEntry(int row)
{
    return { 120, 67 + 34 * row };
}
const QPoint recordButton(272, 118);
const QPoint recorderEdit(272, 210);
// The macro editor, over the middle of the window.
const QPoint macroEditorSave(785, 584);
// A click here closes a button dialog.
const QPoint outsideDialogs(1000, 600);

QString tail(const QStringList &lines, int count)
{
    return lines.mid(std::max(0, int(lines.size()) - count)).join(QStringLiteral("\n  "));
}

QStringList withoutDpiPolls(const QStringList &calls)
{
    static const QRegularExpression poll(QStringLiteral("^(WrtieControl 31 c2|ReadData 32 -> . 4d c2)"));
    QStringList kept;
    for (const QString &call : calls) {
        if (!poll.match(call).hasMatch())
            kept << call;
    }
    return kept;
}

bool isAccent(QColor c)
{
    return qAbs(c.red() - 0x2b) < 16 && qAbs(c.green() - 0xac) < 16 && qAbs(c.blue() - 0x39) < 16;
}

// The last line the window wrote of what it shows (ui/shownsettings.h).
struct Shown
{
    QMap<QString, QString> values;

    static Shown last(const QString &log)
    {
        Shown shown;
        const int at = log.lastIndexOf(QStringLiteral("shown page="));
        if (at < 0)
            return shown;
        const QString line = log.mid(at, log.indexOf(QLatin1Char('\n'), at) - at);
        for (const QString &field : line.split(QLatin1Char(' '), Qt::SkipEmptyParts).mid(1)) {
            const int equals = field.indexOf(QLatin1Char('='));
            shown.values.insert(field.left(equals), field.mid(equals + 1));
        }
        return shown;
    }
    bool valid() const { return values.size() == 9; }
    int number(const QString &name) const { return values.value(name).toInt(); }
    QStringList list(const QString &name) const { return values.value(name).split(QLatin1Char(',')); }
    QString line() const
    {
        QStringList fields;
        for (auto it = values.begin(); it != values.end(); ++it)
            fields << it.key() + QLatin1Char('=') + it.value();
        return fields.join(QLatin1Char(' '));
    }
};

// A valid configuration file with random content, as a user would keep one.
QByteArray randomProfile(quint32 seed, const QString &firmware)
{
    QRandomGenerator random(seed);
    const char *functions[] = { "disabled", "left-click", "right-click", "middle-click", "back",        "forward",
                                "dpi-up",   "dpi-down",   "aim",         "scroll-left",  "scroll-right" };
    const char *presets[]
        = { "alt-f4", "win-d", "ctrl-tab", "ctrl-shift-tab", "ctrl-x", "ctrl-v", "ctrl-z", "ctrl-y", "ctrl-c" };
    const auto key = [&random] {
        const int letter = random.bounded(26);
        return QJsonObject { { "name", QString(QChar('A' + letter)) }, { "usage", 4 + letter } };
    };
    QJsonArray buttons;
    for (int button = 2; button <= 9; ++button) {
        QJsonObject entry { { "button", button } };
        const int kind = random.bounded(20);
        if (kind < 12) {
            const int code = random.bounded(11);
            entry.insert("function", QJsonObject { { "code", code }, { "name", functions[code] } });
        } else if (kind < 16) {
            const int code = 1 + random.bounded(9);
            entry.insert("combination", QJsonObject { { "code", code }, { "name", presets[code - 1] } });
        } else if (kind < 18) {
            entry.insert("combination",
                         QJsonObject {
                             { "code", 0 }, { "key", key() }, { "modifiers", QJsonArray { "CTRL", "SHIFT" } } });
        } else {
            QJsonArray events;
            for (int press = 1 + random.bounded(3); press > 0; --press) {
                QJsonObject down = key();
                QJsonObject up = down;
                down.insert("action", "down");
                down.insert("delayMs", random.bounded(300));
                up.insert("action", "up");
                up.insert("delayMs", random.bounded(300));
                events << down << up;
            }
            entry.insert("macro", QJsonObject { { "events", events }, { "recordDelay", random.bounded(2) == 1 } });
        }
        buttons << entry;
    }
    const char *modes[] = { "off", "steady", "breathing", "cycle", "shooting", "frenzy" };
    QJsonArray levels;
    for (int level = 0; level < 5; ++level)
        levels << 100 + 50 * random.bounded(144);
    const int levelCount = 1 + random.bounded(5);
    const int rates[] = { 125, 250, 500, 1000 };
    const QJsonObject profile {
        { "format", 1 },
        { "firmware", firmware },
        { "buttons", buttons },
        { "lighting",
          QJsonObject { { "mode", modes[random.bounded(6)] },
                        { "speed", 1 + random.bounded(8) },
                        { "color", QColor::fromRgb(random.generate() & 0xFFFFFF).name() } } },
        { "dpi",
          QJsonObject { { "levels", levels },
                        { "levelCount", levelCount },
                        { "currentLevel", 1 + random.bounded(levelCount) },
                        { "aim", 100 + 50 * random.bounded(144) } } },
        { "reportRate", rates[random.bounded(4)] },
    };
    return QJsonDocument(profile).toJson(QJsonDocument::Indented);
}

// One step's random numbers, drawn before it runs, so that a seed gives the same plan however the program behaves.
struct Draw
{
    quint32 values[4];
    int pick(int index, int count) const { return int(values[index] % quint32(count)); }
};

class Campaign;
struct Move
{
    int weight;
    QString (Campaign::*run)(const Draw &draw);
};

class Campaign
{
public:
    Campaign(quint32 seed, int steps)
        : seed(seed)
        , steps(steps)
    { }

    // The first violation, with the seed and step that replay it; empty when every step kept every promise.
    QString run();

    int stepsTaken = 0;
    int faultsInjected = 0;
    double longestPingMs = 0;

private:
    // What the user does.
    QString openPage(const Draw &draw);
    QString chooseMode(const Draw &draw);
    QString chooseColour(const Draw &draw);
    QString changeSpeed(const Draw &draw);
    QString chooseLevelCount(const Draw &draw);
    QString dragLevel(const Draw &draw);
    QString dragAim(const Draw &draw);
    QString chooseReportRate(const Draw &draw);
    QString assignButton(const Draw &draw);
    QString editMacro(const Draw &draw);
    QString factoryReset(const Draw &draw);
    QString exportFile(const Draw &draw);
    QString importFile(const Draw &draw);
    QString hideToTray(const Draw &draw);
    // What goes wrong.
    QString unplug(const Draw &draw);
    QString reenumerate(const Draw &draw);
    QString unplugDuringCall(const Draw &draw);
    QString slowDown(const Draw &draw);
    QString failReads(const Draw &draw);
    QString failConfigWrite(const Draw &draw);
    QString silence(const Draw &draw);
    QString killProgram(const Draw &draw);

    static const Move moves[];

    bool startProgram(quint32 choice);
    void emu(const QString &command, const QString &argument = QString());
    // Runs `heal` before the step `after` + 1 steps from now.
    void later(int after, const QString &what, std::function<void()> heal);
    void healDue(bool all);
    void faultEnded();
    bool healthy();
    void changed() { ++changes; }
    // Opens the page unless it is shown; true when its controls are in place.
    bool onPage(int page);
    bool openButtonDialog(const Circle &circle);
    Shown shown() { return Shown::last(session->log().mid(logStart)); }
    QString startCommandLine(const QStringList &arguments, const QString &file, bool isImport);
    QString finishCommandLine(int limitMs);

    QString check();
    QString checkShown();
    QString settleMismatch(bool plugged);
    QString checkFiles();

    const quint32 seed;
    const int steps;
    const bool verbose = qEnvironmentVariableIsSet("TARNO_CAMPAIGN_VERBOSE");
    int step = 0;
    std::unique_ptr<ProgramSession> session;
    std::unique_ptr<PingWatch> pings;
    QProcess tray;
    int logStart = 0;

    // The mouse's faults, and since when none has been in the way.
    bool plugged = true;
    bool slow = false;
    bool silent = false;
    bool readsFailing = false;
    QElapsedTimer calmSince;
    bool hidden = false;
    struct Heal
    {
        int atStep;
        QString what;
        std::function<void()> heal;
    };
    QList<Heal> heals;

    // A command line handed to the window, and what its file held before it.
    struct CommandLine
    {
        std::unique_ptr<QProcess> process;
        QElapsedTimer clock;
        QString file;
        bool isImport = false;
        bool existed = false;
        QByteArray before;
        int changesAtStart = 0;
    } commandLine;
    // Changes the user made; the last import's document and how many changes had been made when it began (one
    // made while it runs may reach the mouse after it).
    int changes = 0;
    QJsonObject lastImport;
    int changesAtImport = -1;
    // Files the user named and what each must hold.
    QMap<QString, QByteArray> namedFiles;
    QStringList history;
};

// What a step does, and how often: about two steps in three are the user's.
const Move Campaign::moves[] = {
    { 8, &Campaign::openPage },
    { 6, &Campaign::chooseMode },
    { 6, &Campaign::chooseColour },
    { 4, &Campaign::changeSpeed },
    { 5, &Campaign::chooseLevelCount },
    { 5, &Campaign::dragLevel },
    { 3, &Campaign::dragAim },
    { 6, &Campaign::chooseReportRate },
    { 4, &Campaign::assignButton },
    { 2, &Campaign::editMacro },
    { 3, &Campaign::factoryReset },
    { 4, &Campaign::exportFile },
    { 4, &Campaign::importFile },
    { 2, &Campaign::hideToTray },
    // What goes wrong.
    { 5, &Campaign::unplug },
    { 4, &Campaign::reenumerate },
    { 4, &Campaign::unplugDuringCall },
    { 4, &Campaign::slowDown },
    { 4, &Campaign::failReads },
    { 3, &Campaign::failConfigWrite },
    { 3, &Campaign::silence },
    { 2, &Campaign::killProgram },
};

QString Campaign::run()
{
    QRandomGenerator random(seed);
    int totalWeight = 0;
    for (const Move &move : moves)
        totalWeight += move.weight;

    session = std::make_unique<ProgramSession>();
    session->environment().insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tarno.shown.debug=true"));
    // Closing hides the window to a tray, from where a second start shows it again.
    tray.start(QStringLiteral("trayer"), { QStringLiteral("--edge"), QStringLiteral("top") });
    if (!tray.waitForStarted(5000) || !session->waitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }))
        return QStringLiteral("no system tray (trayer)");
    calmSince.start();
    if (!startProgram(random.generate()))
        return QStringLiteral("seed %1: the program did not start\n%2").arg(seed).arg(session->log());

    QString violation;
    for (step = 1; step <= steps && violation.isEmpty(); ++step) {
        int roll = random.bounded(totalWeight);
        const Move *move = moves;
        while (roll >= move->weight)
            roll -= (move++)->weight;
        Draw draw;
        for (quint32 &value : draw.values)
            value = random.generate();

        healDue(false);
        if (pings)
            pings->reset();
        const QString done = (this->*move->run)(draw);
        history << QStringLiteral("%1: %2").arg(step).arg(done);
        stepsTaken = step;
        violation = check();
        if (verbose)
            qInfo().noquote() << history.constLast() << "|" << shown().line();
    }
    if (violation.isEmpty()) {
        // The end: every fault healed, the last command line done, and then everything must agree.
        history << QStringLiteral("end: faults healed");
        healDue(true);
        violation = finishCommandLine(CommandLineLimitMs);
        if (violation.isEmpty())
            violation = check();
    }
    tray.kill();
    tray.waitForFinished(5000);
    if (violation.isEmpty())
        return QString();
    const QString shot = session->saveScreenshot(QStringLiteral("campaign-%1-%2").arg(seed).arg(stepsTaken));
    return QStringLiteral("seed %1, step %2: %3\nreplay: TARNO_CAMPAIGN_SEED=%1 TARNO_CAMPAIGN_STEPS=%2%4\n"
                          "steps:\n  %5\nscreenshot: %6\nmouse calls but DPI polls (last 30):\n  %7\nprogram's log "
                          "(last 40 lines):\n  %8")
        .arg(seed)
        .arg(stepsTaken)
        .arg(violation)
        .arg(qEnvironmentVariableIsEmpty("TARNO_TEST_DEVICE_LIBRARY")
                 ? QString()
                 : QStringLiteral(" TARNO_TEST_DEVICE_LIBRARY=") + qEnvironmentVariable("TARNO_TEST_DEVICE_LIBRARY"))
        .arg(tail(history, 25), shot)
        .arg(tail(withoutDpiPolls(session->capture()), 30))
        .arg(tail(session->log().split(QLatin1Char('\n')), 40));
}

bool Campaign::startProgram(quint32 choice)
{
    // The contrary library fills the buffer of a read that failed: with noise, zeros or its last reply.
    const QString garbage[] = { QStringLiteral("random"), QStringLiteral("zeros"), QStringLiteral("previous") };
    session->environment().insert(QStringLiteral("TARNO_CONTRARY_GARBAGE"), garbage[choice % 3]);
    pings.reset();
    logStart = session->log().size();
    hidden = false;
    // The pages are built once the window has drawn its first frame.
    if (!session->start() || !session->waitFor([this] { return shown().valid(); }, 30000))
        return false;
    // A fresh start reads the mouse as a plug-in does.
    calmSince.restart();
    pings = std::make_unique<PingWatch>(session->windowId());
    return pings->valid();
}

void Campaign::emu(const QString &command, const QString &argument)
{
    QStringList arguments { command };
    if (!argument.isEmpty())
        arguments << argument;
    if (session->emu(arguments) != 0)
        qWarning("tarno-emu %s failed", qPrintable(arguments.join(QLatin1Char(' '))));
}

void Campaign::later(int after, const QString &what, std::function<void()> heal)
{
    heals.append({ step + after, what, std::move(heal) });
}

void Campaign::healDue(bool all)
{
    for (int i = 0; i < heals.size();) {
        if (all || heals.at(i).atStep <= step) {
            const Heal heal = heals.takeAt(i);
            heal.heal();
            history << QStringLiteral("%1: healed: %2").arg(step).arg(heal.what);
        } else {
            ++i;
        }
    }
}

void Campaign::faultEnded()
{
    if (plugged && !slow && !silent && !readsFailing)
        calmSince.restart();
}

bool Campaign::healthy()
{
    if (readsFailing) {
        // Failing reads end once the program has made that many.
        QString status;
        session->emu({ QStringLiteral("status") }, &status);
        if (status.contains(QStringLiteral("fail_reads=0\n"))) {
            readsFailing = false;
            faultEnded();
        }
    }
    return plugged && !slow && !silent && !readsFailing;
}

bool Campaign::onPage(int page)
{
    if (!plugged || hidden)
        return false;
    if (shown().number(QStringLiteral("page")) != page) {
        const QPoint at = navButton(page);
        session->click(at.x(), at.y());
    }
    // The page's panels slide in: its checked buttons show in full at their places once they are there.
    const QRect area = page == 2 ? modeArea : rateArea;
    return session->waitFor([&] { return ProgramSession::countPixels(session->grab(), area, isAccent) > 2000; }, 3000);
}

QString Campaign::openPage(const Draw &draw)
{
    const int page = 1 + draw.pick(0, 3);
    const QPoint at = navButton(page);
    session->click(at.x(), at.y());
    return QStringLiteral("page %1").arg(page);
}

QString Campaign::chooseMode(const Draw &draw)
{
    onPage(2);
    const QPoint at = modeButtons[draw.pick(0, 6)];
    session->click(at.x(), at.y());
    changed();
    return QStringLiteral("lighting mode button at %1,%2").arg(at.x()).arg(at.y());
}

QString Campaign::chooseColour(const Draw &draw)
{
    onPage(2);
    QPoint at;
    switch (draw.pick(0, 3)) {
    case 0:
        at = swatch(1 + draw.pick(1, 6));
        break;
    case 1:
        at = pickerSquare.topLeft() + QPoint(draw.pick(1, pickerSquare.width()), draw.pick(2, pickerSquare.height()));
        break;
    default:
        at = hueBand.topLeft() + QPoint(draw.pick(1, hueBand.width()), draw.pick(2, hueBand.height()));
        break;
    }
    session->click(at.x(), at.y());
    changed();
    return QStringLiteral("colour at %1,%2").arg(at.x()).arg(at.y());
}

QString Campaign::changeSpeed(const Draw &draw)
{
    onPage(2);
    const int steps = 1 + draw.pick(1, 3);
    const QPoint at = speedStep(1 + draw.pick(0, 8));
    for (int click = 0; click < steps; ++click)
        session->click(at.x() + click % 2, at.y());
    changed();
    return QStringLiteral("%1 clicks on the speed slider at %2").arg(steps).arg(at.x());
}

QString Campaign::chooseLevelCount(const Draw &draw)
{
    onPage(3);
    const int index = draw.pick(0, 5);
    const QPoint at = levelCountButton(index);
    session->click(at.x(), at.y());
    changed();
    return QStringLiteral("%1 DPI levels").arg(index + 1);
}

QString Campaign::dragLevel(const Draw &draw)
{
    onPage(3);
    const int level = 1 + draw.pick(0, 5);
    const QStringList values = shown().list(QStringLiteral("dpi"));
    const QPoint from = levelHandle(level, values.value(level - 1).toInt());
    const int to = 102 + draw.pick(1, 218);
    session->press(from.x(), from.y());
    session->moveTo((from.x() + to) / 2, from.y());
    session->moveTo(to, from.y());
    session->release();
    changed();
    return QStringLiteral("DPI level %1 dragged from %2 to %3").arg(level).arg(from.x()).arg(to);
}

QString Campaign::dragAim(const Draw &draw)
{
    onPage(3);
    const QPoint from = aimHandle(shown().number(QStringLiteral("aim")));
    const int to = 880 + draw.pick(0, 280);
    session->press(from.x(), from.y());
    session->moveTo((from.x() + to) / 2, from.y());
    session->moveTo(to, from.y());
    session->release();
    changed();
    return QStringLiteral("aim DPI dragged from %1 to %2").arg(from.x()).arg(to);
}

QString Campaign::chooseReportRate(const Draw &draw)
{
    onPage(3);
    const int choice = draw.pick(0, 4);
    session->click(rateButtons[choice].x(), rateButtons[choice].y());
    changed();
    return QStringLiteral("report rate %1").arg(QStringList { "125", "250", "500", "1000" }.at(choice));
}

bool Campaign::openButtonDialog(const Circle &circle)
{
    if (!plugged || hidden)
        return false;
    const QPoint page = navButton(1);
    session->click(page.x(), page.y());
    // The page's circles fade in: click until the dialog, a window of its own, shows.
    int attempt = 0;
    return session->waitFor(
        [&] {
            session->click(circle.centre.x() + attempt++ % 2, circle.centre.y());
            return session->waitFor([this] { return session->showsWindow({ 334, 334 }); }, 1000);
        },
        4000);
}

QString Campaign::assignButton(const Draw &draw)
{
    const Circle &circle = circles[draw.pick(0, 8)];
    if (!openButtonDialog(circle))
        return QStringLiteral("button %1: no dialog").arg(circle.button);
    // A list page of the dialog, then one of its entries.
    const int listPage = draw.pick(1, 2);
    const QPoint pageButton = circle.dialog + dialogPage(listPage);
    session->click(pageButton.x(), pageButton.y());
    const QPoint entry = circle.dialog + listEntry(draw.pick(2, 6));
    session->click(entry.x(), entry.y());
    session->click(outsideDialogs.x(), outsideDialogs.y());
    changed();
    return QStringLiteral("button %1: %2 list, row %3")
        .arg(circle.button)
        .arg(listPage == 0 ? "function" : "combination")
        .arg(draw.pick(2, 6));
}

QString Campaign::editMacro(const Draw &draw)
{
    const Circle &circle = circles[draw.pick(0, 8)];
    if (!openButtonDialog(circle))
        return QStringLiteral("button %1: no dialog").arg(circle.button);
    const QPoint macroPage = circle.dialog + dialogPage(2);
    session->click(macroPage.x(), macroPage.y());
    const QPoint record = circle.dialog + recordButton;
    session->click(record.x(), record.y());
    QString done = QStringLiteral("button %1: no recording").arg(circle.button);
    if (session->waitFor([] { return ProgramSession::keyboardGrabbed(); }, 3000)) {
        ProgramSession::xdotool({ QStringLiteral("key"), QStringLiteral("a"), QStringLiteral("b") });
        session->click(record.x() + 1, record.y());
        const QPoint edit = circle.dialog + recorderEdit;
        session->click(edit.x(), edit.y());
        const bool save = draw.pick(1, 2) == 0;
        if (session->waitFor([this] { return session->showsWindow({ 500, 472 }); }, 3000)) {
            if (save)
                session->click(macroEditorSave.x(), macroEditorSave.y());
            else
                session->key(QStringLiteral("Escape"));
            done = QStringLiteral("button %1: macro recorded, edited and %2")
                       .arg(circle.button)
                       .arg(save ? "saved" : "left");
        } else {
            done = QStringLiteral("button %1: macro recorded, no editor").arg(circle.button);
        }
    }
    session->waitFor([this] { return !session->showsWindow({ 500, 472 }); }, 3000);
    session->click(outsideDialogs.x(), outsideDialogs.y());
    changed();
    return done;
}

QString Campaign::factoryReset(const Draw &draw)
{
    session->click(resetButton.x(), resetButton.y());
    const bool confirm = draw.pick(0, 4) != 0;
    // The confirmation pop-up takes the keyboard; its first button restores.
    session->key(confirm ? QStringLiteral("Return") : QStringLiteral("Escape"));
    changed();
    return confirm ? QStringLiteral("factory reset") : QStringLiteral("factory reset cancelled");
}

QString Campaign::startCommandLine(const QStringList &arguments, const QString &file, bool isImport)
{
    const QString before = finishCommandLine(CommandLineLimitMs);
    if (!before.isEmpty())
        return before;
    CommandLine &line = commandLine;
    line.file = file;
    line.isImport = isImport;
    line.changesAtStart = changes;
    QFile existing(file);
    line.existed = existing.open(QIODevice::ReadOnly);
    line.before = line.existed ? existing.readAll() : QByteArray();
    line.process = std::make_unique<QProcess>();
    line.process->setProcessEnvironment(session->environment());
    line.process->setWorkingDirectory(session->workDir());
    line.process->start(session->programPath(), arguments);
    line.clock.start();
    return QString();
}

QString Campaign::exportFile(const Draw &draw)
{
    // A few names, so that exports also replace earlier files.
    const QString file = QDir(session->workDir()).filePath(QStringLiteral("export-%1.z31.json").arg(draw.pick(0, 3)));
    const QString failure = startCommandLine({ QStringLiteral("--export"), file }, file, false);
    return failure.isEmpty() ? QStringLiteral("export to %1").arg(QFileInfo(file).fileName()) : failure;
}

QString Campaign::importFile(const Draw &draw)
{
    const QString firmware = session->dump().value(QStringLiteral("firmware.version"));
    const QString file = QDir(session->workDir()).filePath(QStringLiteral("import-%1.z31.json").arg(step));
    QFile out(file);
    const QByteArray content = randomProfile(draw.values[1], firmware);
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size())
        return QStringLiteral("cannot write %1").arg(file);
    out.close();
    namedFiles.insert(file, content);
    const QString failure = startCommandLine({ QStringLiteral("--import"), file }, file, true);
    return failure.isEmpty() ? QStringLiteral("import of %1").arg(QFileInfo(file).fileName()) : failure;
}

QString Campaign::hideToTray(const Draw &draw)
{
    if (hidden)
        return QStringLiteral("hide: already hidden");
    session->click(closeButton.x(), closeButton.y());
    hidden = true;
    // A second start shows the running window again.
    later(draw.pick(0, 3), QStringLiteral("shown again by a second start"), [this] {
        QProcess second;
        second.setProcessEnvironment(session->environment());
        second.setWorkingDirectory(session->workDir());
        second.start(session->programPath(), QStringList());
        second.waitForFinished(20000);
        hidden = false;
    });
    return QStringLiteral("hidden to the tray");
}

QString Campaign::unplug(const Draw &draw)
{
    if (!plugged)
        return QStringLiteral("unplug: already unplugged");
    emu(QStringLiteral("unplug"));
    plugged = false;
    later(draw.pick(0, 4), QStringLiteral("plugged in"), [this] {
        emu(QStringLiteral("plug"));
        plugged = true;
        faultEnded();
    });
    ++faultsInjected;
    return QStringLiteral("unplugged");
}

QString Campaign::reenumerate(const Draw &draw)
{
    if (!plugged)
        return QStringLiteral("re-enumeration: unplugged");
    const int times = 1 + draw.pick(0, 2);
    for (int i = 0; i < times; ++i) {
        emu(QStringLiteral("unplug"));
        emu(QStringLiteral("plug"));
    }
    faultEnded();
    ++faultsInjected;
    return QStringLiteral("re-enumerated %1 times").arg(times);
}

QString Campaign::unplugDuringCall(const Draw &draw)
{
    if (!plugged)
        return QStringLiteral("unplug during a call: unplugged");
    // Slow calls, something that calls the mouse, and the unplug once a call has ended and the next one runs.
    const int latencyMs = 80 + draw.pick(0, 170);
    emu(QStringLiteral("latency"), QString::number(latencyMs * 1000));
    const int calls = session->capture().size();
    QString what;
    switch (draw.pick(1, 3)) {
    case 0:
        what = exportFile(draw);
        break;
    case 1:
        what = factoryReset(Draw { { 1, 0, 0, 0 } });
        break;
    default:
        what = chooseReportRate(draw);
        break;
    }
    session->waitFor([&] { return session->capture().size() > calls; }, 5000);
    emu(QStringLiteral("unplug"));
    plugged = false;
    slow = true;
    later(draw.pick(2, 3), QStringLiteral("plugged in, latency 0"), [this] {
        emu(QStringLiteral("latency"), QStringLiteral("0"));
        emu(QStringLiteral("plug"));
        plugged = true;
        slow = false;
        faultEnded();
    });
    ++faultsInjected;
    return QStringLiteral("latency %1 ms, %2, unplugged during a call").arg(latencyMs).arg(what);
}

QString Campaign::slowDown(const Draw &draw)
{
    if (slow)
        return QStringLiteral("latency: already slow");
    const int latencyMs = QList<int> { 20, 80, 150, 300 }.at(draw.pick(0, 4));
    emu(QStringLiteral("latency"), QString::number(latencyMs * 1000));
    slow = true;
    later(1 + draw.pick(1, 3), QStringLiteral("latency 0"), [this] {
        emu(QStringLiteral("latency"), QStringLiteral("0"));
        slow = false;
        faultEnded();
    });
    ++faultsInjected;
    return QStringLiteral("latency %1 ms").arg(latencyMs);
}

QString Campaign::failReads(const Draw &draw)
{
    if (silent)
        return QStringLiteral("failing reads: silent already");
    const int count = 1 + draw.pick(0, 15);
    emu(QStringLiteral("fail-reads"), QString::number(count));
    readsFailing = true;
    later(3, QStringLiteral("failing reads cancelled"), [this] {
        if (!silent)
            emu(QStringLiteral("fail-reads"), QStringLiteral("0"));
        readsFailing = false;
        faultEnded();
    });
    ++faultsInjected;
    return QStringLiteral("the next %1 reads fail").arg(count);
}

QString Campaign::failConfigWrite(const Draw &draw)
{
    const int which = 1 + draw.pick(0, 3);
    emu(QStringLiteral("fail-config-write"), QString::number(which));
    later(1 + draw.pick(1, 3), QStringLiteral("config writes succeed"),
          [this] { emu(QStringLiteral("fail-config-write"), QStringLiteral("0")); });
    ++faultsInjected;
    return QStringLiteral("config write %1 from now fails").arg(which);
}

QString Campaign::silence(const Draw &draw)
{
    if (silent)
        return QStringLiteral("silent: already");
    emu(QStringLiteral("fail-reads"), QStringLiteral("1000000"));
    silent = true;
    later(1 + draw.pick(0, 3), QStringLiteral("the mouse answers"), [this] {
        emu(QStringLiteral("fail-reads"), QStringLiteral("0"));
        silent = false;
        readsFailing = false;
        faultEnded();
    });
    ++faultsInjected;
    return QStringLiteral("silent mouse");
}

QString Campaign::killProgram(const Draw &draw)
{
    pings.reset();
    session->process().kill();
    session->process().waitForFinished(5000);
    if (!startProgram(draw.values[0]))
        return QStringLiteral("killed; did not start again, or showed no pages");
    ++faultsInjected;
    return QStringLiteral("killed and started again");
}

QString Campaign::check()
{
    QProcess &program = session->process();
    if (program.state() != QProcess::Running)
        return QStringLiteral("the program has ended (%1, code %2)")
            .arg(program.exitStatus() == QProcess::NormalExit ? "exit" : "crash")
            .arg(program.exitCode());
    const QString reports = session->sanitizerReports();
    if (!reports.isEmpty())
        return QStringLiteral("sanitizer report:\n") + reports;
    if (pings) {
        const double longest = pings->longestMs();
        longestPingMs = std::max(longestPingMs, longest);
        if (longest > PingLimitMs)
            return QStringLiteral("the window left a window-manager ping unanswered for %1 ms").arg(longest, 0, 'f', 1);
    }
    QString violation = finishCommandLine(0);
    if (violation.isEmpty())
        violation = checkShown();
    return violation;
}

QString Campaign::checkShown()
{
    if (plugged && !healthy())
        return QString();
    // The window may still be catching up with the step: what it shows must agree within 3 s, and until the mouse
    // has been healthy for 3 s.
    const qint64 deadline = std::max<qint64>(SettleMs, SettleMs - calmSince.elapsed());
    QElapsedTimer waited;
    waited.start();
    QString mismatch;
    session->waitFor(
        [&] {
            mismatch = settleMismatch(plugged);
            return mismatch.isEmpty() || waited.elapsed() > deadline;
        },
        int(deadline) + 10000);
    if (mismatch.isEmpty())
        return QString();
    return QStringLiteral("%1 s after the step, %2 s after the mouse's last fault: %3")
        .arg(waited.elapsed() / 1000.0, 0, 'f', 1)
        .arg(calmSince.elapsed() / 1000.0, 0, 'f', 1)
        .arg(mismatch);
}

QString Campaign::settleMismatch(bool plugged)
{
    const Shown window = shown();
    if (!window.valid())
        return QStringLiteral("the window shows no pages");
    const int page = window.number(QStringLiteral("page"));
    if (!plugged)
        return page == 0 ? QString() : QStringLiteral("the window shows page %1 without a mouse").arg(page);
    if (page == 0)
        return QStringLiteral("the window shows no mouse, with the mouse plugged in");
    if (window.number(QStringLiteral("silent")) != 0)
        return QStringLiteral("the window says the mouse does not answer, and it does");

    const QMap<QString, QString> mouse = session->dump();
    QStringList held { mouse.value("lighting.mode"), mouse.value("lighting.speed"), mouse.value("lighting.red"),
                       mouse.value("lighting.green"), mouse.value("lighting.blue") };
    QStringList levels;
    for (int level = 1; level <= 5; ++level)
        levels << mouse.value(QStringLiteral("dpi.level%1").arg(level));
    QStringList differences;
    if (window.list(QStringLiteral("lighting")) != held)
        differences << QStringLiteral("lighting %1, mouse %2").arg(window.values.value("lighting"), held.join(','));
    if (window.list(QStringLiteral("dpi")) != levels)
        differences << QStringLiteral("DPI levels %1, mouse %2").arg(window.values.value("dpi"), levels.join(','));
    if (window.values.value("count") != mouse.value("dpi.highest"))
        differences << QStringLiteral("level count index %1, mouse %2")
                           .arg(window.values.value("count"), mouse.value("dpi.highest"));
    if (window.values.value("aim") != mouse.value("dpi.aim"))
        differences << QStringLiteral("aim %1, mouse %2").arg(window.values.value("aim"), mouse.value("dpi.aim"));
    if (window.values.value("rate") != mouse.value("report_rate"))
        differences << QStringLiteral("report rate code %1, mouse %2")
                           .arg(window.values.value("rate"), mouse.value("report_rate"));
    // The current level is followed while the pointer page is in sight.
    if (page == 3 && window.number(QStringLiteral("visible")) == 1
        && window.values.value("current") != mouse.value("dpi.current"))
        differences << QStringLiteral("current level index %1, mouse %2")
                           .arg(window.values.value("current"), mouse.value("dpi.current"));
    if (differences.isEmpty())
        return QString();
    return QStringLiteral("the window shows %1 (%2)").arg(differences.join(QStringLiteral("; ")), window.line());
}

QString Campaign::finishCommandLine(int limitMs)
{
    CommandLine &line = commandLine;
    if (!line.process)
        return QString();
    QProcess &process = *line.process;
    if (!session->waitFor([&] { return process.state() == QProcess::NotRunning; }, limitMs)) {
        if (line.clock.elapsed() < CommandLineLimitMs)
            return QString();
        return QStringLiteral("a command line's %1 of %2 has not ended after %3 s")
            .arg(line.isImport ? "import" : "export", QFileInfo(line.file).fileName())
            .arg(CommandLineLimitMs / 1000);
    }
    const std::unique_ptr<QProcess> ended = std::move(line.process);
    const int code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    const QString name = QFileInfo(line.file).fileName();
    history << QStringLiteral("%1: the command line's %2 of %3 ended with %4 %5")
                   .arg(step)
                   .arg(line.isImport ? "import" : "export", name)
                   .arg(code)
                   .arg(said);
    QFile file(line.file);
    const bool exists = file.open(QIODevice::ReadOnly);
    const QByteArray content = exists ? file.readAll() : QByteArray();

    if (line.isImport) {
        if (code != 0 && code != 1 && code != 3)
            return QStringLiteral("the import of %1 ended with %2: %3").arg(name).arg(code).arg(said);
        lastImport = code == 0 ? QJsonDocument::fromJson(line.before).object() : QJsonObject();
        changesAtImport = line.changesAtStart;
        return checkFiles();
    }
    if (code == 1) {
        // The old file stays as it was.
        if (exists != line.existed || content != line.before)
            return QStringLiteral("an export that failed (%1) changed %2").arg(said, name);
        return checkFiles();
    }
    if (code != 0)
        return QStringLiteral("the export to %1 ended with %2: %3").arg(name).arg(code).arg(said);
    QJsonParseError error;
    const QJsonObject exported = QJsonDocument::fromJson(content, &error).object();
    if (error.error != QJsonParseError::NoError || exported.value("format").toInt() != 1)
        return QStringLiteral("the export to %1 succeeded but the file is not a whole configuration:\n%2")
            .arg(name, QString::fromUtf8(content));
    namedFiles.insert(line.file, content);
    if (!lastImport.isEmpty() && changes == changesAtImport && exported != lastImport)
        return QStringLiteral("the configuration exported to %1 differs from the last one imported, with nothing "
                              "changed since:\nimported %2\nexported %3")
            .arg(name, QString::fromUtf8(QJsonDocument(lastImport).toJson(QJsonDocument::Compact)),
                 QString::fromUtf8(QJsonDocument(exported).toJson(QJsonDocument::Compact)));
    return checkFiles();
}

QString Campaign::checkFiles()
{
    for (auto it = namedFiles.begin(); it != namedFiles.end(); ++it) {
        QFile file(it.key());
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("%1 is gone").arg(it.key());
        if (file.readAll() != it.value())
            return QStringLiteral("%1 does not hold what it held").arg(it.key());
    }
    return QString();
}

}   // namespace

class CampaignTest : public QObject
{
    Q_OBJECT

private slots:
    // Each row is a round on a fresh mouse and program. The seeds are fixed so that a failure in CI replays.
    void shouldKeepEveryPromiseWhateverHappens_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("steps");
        const quint32 seed = qEnvironmentVariable("TARNO_CAMPAIGN_SEED").toUInt();
        const int steps = qEnvironmentVariableIntValue("TARNO_CAMPAIGN_STEPS");
        if (seed != 0 || steps != 0 || qEnvironmentVariableIsSet("TARNO_CAMPAIGN_MINUTES")) {
            QTest::newRow("chosen") << (seed != 0 ? seed : 1u) << (steps != 0 ? steps : StepsPerRound);
            return;
        }
        // Seeds whose rounds met faults of the mouse's lifetimes on both libraries when the campaign was written.
        for (quint32 seed : { 14, 17, 18 })
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed << 40;
    }
    void shouldKeepEveryPromiseWhateverHappens()
    {
        QFETCH(quint32, seed);
        QFETCH(int, steps);
        const int minutes = qEnvironmentVariableIntValue("TARNO_CAMPAIGN_MINUTES");
        QElapsedTimer clock;
        clock.start();
        int rounds = 0;
        int stepsTaken = 0;
        int faults = 0;
        double longestPing = 0;
        QStringList violations;
        // One round, or rounds of successive seeds until the time is up.
        do {
            Campaign campaign(seed + quint32(rounds), minutes > 0 ? StepsPerRound : steps);
            const QString violation = campaign.run();
            ++rounds;
            stepsTaken += campaign.stepsTaken;
            faults += campaign.faultsInjected;
            longestPing = std::max(longestPing, campaign.longestPingMs);
            if (!violation.isEmpty()) {
                violations << violation;
                // In full, as it happens: Qt Test cuts long failure messages.
                std::fprintf(stderr, "%s\n\n", qPrintable(violation));
            }
            if (minutes > 0)
                qInfo("round of seed %u: %d steps, %d faults, %s", seed + quint32(rounds - 1), campaign.stepsTaken,
                      campaign.faultsInjected, violation.isEmpty() ? "kept every promise" : "violation");
        } while (clock.elapsed() < minutes * 60000LL);
        qInfo().noquote() << QStringLiteral("campaign: library %1, %2 min, %3 rounds from seed %4, %5 steps, %6 "
                                            "faults injected, %7 violations, longest unanswered ping %8 ms")
                                 .arg(qEnvironmentVariable("TARNO_TEST_DEVICE_LIBRARY", QStringLiteral("libtarno.so")))
                                 .arg(clock.elapsed() / 60000.0, 0, 'f', 1)
                                 .arg(rounds)
                                 .arg(seed)
                                 .arg(stepsTaken)
                                 .arg(faults)
                                 .arg(violations.size())
                                 .arg(longestPing, 0, 'f', 1);
        QVERIFY2(violations.isEmpty(), qPrintable(violations.value(0).section(QLatin1Char('\n'), 0, 0)));
    }
};

QTEST_MAIN(CampaignTest)
#include "tst_e2e_campaign.moc"
