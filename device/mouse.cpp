#include "device/mouse.h"

#include "device/devicecontext.h"
#include "device/deviceprotocol.h"

#include <QDebug>

#include <algorithm>
#include <utility>

namespace {

constexpr int ResetRecheckMs = 100;
constexpr int ResetRecheckLimitMs = 3000;
constexpr int ResetRecheckUnansweredRounds = 3;
// However slow the mouse, the watch reads it this many times.
constexpr int ResetRecheckLeastRounds = 3;
// A reset taken this long before a replug is still watched for after it.
constexpr int ResetWatchAcrossReplugMs = 10000;

// The settings read after a factory reset, with what the mouse was known to hold just before it.
struct ResetRead
{
    SettingsRead read;
    DeviceSettings before;
};

enum Reading { SettingsBlocks = 1, FirmwareVersion = 2 };

// On the link's thread: the settings blocks, the firmware version or both, read into a copy of `start`.
SettingsRead readInto(const DeviceSettings &start, int reading)
{
    SettingsRead read { start, 0 };
    if (reading & SettingsBlocks)
        readSettingsBlocks(read.settings, &read.answered);
    if ((reading & FirmwareVersion) && readFirmwareVersion(read.settings))
        read.answered |= SettingsBlock::Firmware;
    return read;
}

// The mouse answered for every settings block.
bool wholeRead(const SettingsRead &read)
{
    return (read.answered & SettingsBlock::AllSettings) == SettingsBlock::AllSettings;
}

}   // namespace

Q_DECLARE_METATYPE(ResetRead)

Mouse::Mouse(MouseLink &link, QObject *parent)
    : QObject(parent)
    , mouseLink(link)
    , answerCount(answeredQueryCount())
    , silenceCount(unansweredQueryCount())
{
    dpiTimer.setInterval(DpiPollMs);
    connect(&dpiTimer, &QTimer::timeout, this, &Mouse::pollDpi);
    resetRecheckTimer.setInterval(ResetRecheckMs);
    connect(&resetRecheckTimer, &QTimer::timeout, this, &Mouse::recheckAfterReset);
    answerProbe.setInterval(AnswerProbeMs);
    connect(&answerProbe, &QTimer::timeout, this, &Mouse::probeAnswer);

    connect(&mouseLink, &MouseLink::answered, this, &Mouse::noteAnswers);
    connect(&mouseLink, &MouseLink::failed, this, &Mouse::noteAnswers);
}

void Mouse::noteAnswers()
{
    // A job's result says little about the mouse (a command always "succeeds"): what counts is whether a query
    // went unanswered, or one was answered, since the last look.
    const quint64 answered = answeredQueryCount();
    const quint64 unanswered = unansweredQueryCount();
    const bool spoke = answered != answerCount;
    const bool silent = unanswered != silenceCount;
    answerCount = answered;
    silenceCount = unanswered;
    if (silent) {
        setAnswering(false);
    } else if (spoke) {
        setAnswering(true);
        resumeDpiPoll("the mouse answers again");
    }
}

void Mouse::setAnswering(bool answering)
{
    if (answering == isAnswering)
        return;
    isAnswering = answering;
    qDebug() << (answering ? "the mouse answers again" : "the mouse does not answer");
    if (answering)
        answerProbe.stop();
    else
        answerProbe.start();
    emit answeringChanged(answering);
    // The pages may show what the mouse held before it fell silent, or what it was last told.
    if (answering && settingsUnread && connected() && !transferRunning())
        readSettings();
}

void Mouse::probeAnswer()
{
    if (!connected() || transferRunning() || probeBusy)
        return;
    probeBusy = true;
    mouseLink.ask(
        this, [](DeviceContext &) { return QVariant(mouseAnswers()); }, [this](const QVariant &) { probeBusy = false; },
        [this](MouseLink::Failure) { probeBusy = false; });
}

void Mouse::open()
{
    if (lifetime == MouseState::Closed)
        openMouse(false);
}

void Mouse::openMouse(bool plugIn)
{
    lifetime = MouseState::Opening;
    mouseLink.ask(
        this,
        [](DeviceContext &device) { return QVariant(openDevice() ? QByteArray(device.devicePath) : QByteArray()); },
        [this, plugIn](const QVariant &path) { opened(path.toByteArray(), plugIn); },
        [this, plugIn](MouseLink::Failure) { opened(QByteArray(), plugIn); });
}

void Mouse::opened(const QByteArray &path, bool plugIn)
{
    if (path.isEmpty()) {
        // Any HID interface arrives as a plug-in; only the mouse opens.
        lifetime = MouseState::Closed;
        if (!plugIn)
            emit openFinished(false);
        handleHeldChanges();
        return;
    }
    lifetime = MouseState::Open;
    devicePath = path;
    if (plugIn) {
        qDebug() << "Z31 Plug in";
        resumeDpiPoll("mouse plugged in");
    } else {
        emit openFinished(true);
    }
    emit connectedChanged(true);
    // It may have left, or left and come back, while it was being opened.
    handleHeldChanges();
    if (lifetime != MouseState::Open)
        return;
    readSettingsThen([this, plugIn] {
        if (plugIn)
            emit pluggedIn();
    });
}

void Mouse::handleDeviceChange(const DeviceChange &change)
{
    // The transfer's own failing write ends it when the mouse is really gone; the rest waits for its end.
    if (transferRunning()) {
        holdChange(change);
        return;
    }
    switch (deviceChangeAction(change, lifetime, isOpenDeviceName(change.interfaceName, devicePath))) {
    case DeviceChangeAction::OpenMouse:
        qDebug() << "hid plug in";
        // A plug-in starts afresh: nothing asked of an earlier mouse is still wanted.
        mouseLink.cancelSession();
        openMouse(true);
        break;
    case DeviceChangeAction::CloseMouse:
        closeMouse();
        break;
    case DeviceChangeAction::Hold:
        holdChange(change);
        break;
    case DeviceChangeAction::Ignore:
        break;
    }
}

void Mouse::holdChange(const DeviceChange &change)
{
    // Arrivals in a row (one mouse may bring several interfaces) open it once.
    if (!heldChanges.isEmpty() && change.kind == DeviceChange::Arrival && heldChanges.last().kind == change.kind
        && heldChanges.last().deviceType == change.deviceType)
        return;
    heldChanges.append(change);
}

void Mouse::handleHeldChanges()
{
    const QList<DeviceChange> held = std::exchange(heldChanges, {});
    for (const DeviceChange &change : held)
        handleDeviceChange(change);
}

void Mouse::closeMouse()
{
    qDebug() << "Z31 plug out";
    lifetime = MouseState::Closing;
    devicePath.clear();
    // A mouse that goes away and comes back may still rewrite its settings for a reset taken before.
    if (resetRecheckTimer.isActive())
        resetWatch.resumeAfterOpen = true;
    resetRecheckTimer.stop();
    mouseLink.cancelSession();
    // Asked after the session's end, so that nothing drops it, and ended before any later open: a library may
    // refuse to open a channel it still holds. The config channel's handle died with the mouse too.
    mouseLink.ask(
        this,
        [](DeviceContext &device) {
            device.CloseDevice();
            device.CloseConfigDevice();
            return QVariant(true);
        },
        [this](const QVariant &) { closed(); }, [this](MouseLink::Failure) { closed(); });
    setAnswering(true);
    emit connectedChanged(false);
}

void Mouse::closed()
{
    lifetime = MouseState::Closed;
    handleHeldChanges();
}

quint64 Mouse::readStarts()
{
    readsUnderWay.insert(commandsAsked);
    return commandsAsked;
}

void Mouse::readEnds(quint64 since)
{
    const auto read = readsUnderWay.find(since);
    if (read != readsUnderWay.end())
        readsUnderWay.erase(read);
    dropOldCommands();
}

DeviceSettings Mouse::withCommands(DeviceSettings settings, quint64 after, quint64 upTo) const
{
    for (const AskedCommand &command : recentCommands) {
        if (command.number > after && command.number <= upTo)
            settings.takeCommand(reinterpret_cast<const quint8 *>(command.bytes.constData()));
    }
    return settings;
}

void Mouse::takeRead(const SettingsRead &read, quint64 since)
{
    deviceSettings.takeBlocks(withCommands(read.settings, since, commandsAsked), read.answered);
}

void Mouse::dropOldCommands()
{
    quint64 oldest = commandsAsked;
    if (!readsUnderWay.empty())
        oldest = std::min(oldest, *readsUnderWay.begin());
    if (resetRecheckTimer.isActive() || resetWatch.resumeAfterOpen)
        oldest = std::min(oldest, resetWatch.commandsBefore);
    recentCommands.erase(std::remove_if(recentCommands.begin(), recentCommands.end(),
                                        [oldest](const AskedCommand &command) { return command.number <= oldest; }),
                         recentCommands.end());
}

void Mouse::readSettings()
{
    readSettingsThen({});
}

void Mouse::readSettingsThen(std::function<void()> after)
{
    const DeviceSettings start = deviceSettings;
    const quint64 since = readStarts();
    mouseLink.ask(
        this,
        [start](DeviceContext &) { return QVariant::fromValue(readInto(start, SettingsBlocks | FirmwareVersion)); },
        [this, since, after](const QVariant &result) {
            const SettingsRead read = result.value<SettingsRead>();
            takeRead(read, since);
            settingsUnread = !wholeRead(read);
            if (resetWatch.resumeAfterOpen && resetRecheckClock.elapsed() < ResetWatchAcrossReplugMs)
                watchForLateReset();
            resetWatch.resumeAfterOpen = false;
            readEnds(since);
            emit firmwareVersionRead(read.answered & SettingsBlock::Firmware);
            emit settingsRead();
            if (after)
                after();
        },
        [this, since](MouseLink::Failure) { readEnds(since); });
}

void Mouse::readFirmwareVersion()
{
    const DeviceSettings start = deviceSettings;
    mouseLink.ask(
        this, [start](DeviceContext &) { return QVariant::fromValue(readInto(start, FirmwareVersion)); },
        [this](const QVariant &result) {
            const SettingsRead read = result.value<SettingsRead>();
            deviceSettings.takeBlocks(read.settings, read.answered);
            emit firmwareVersionRead(read.answered);
        });
}

void Mouse::factoryReset()
{
    if (transferRunning())
        return;
    resetRecheckTimer.stop();
    resetWatch.resumeAfterOpen = false;
    const DeviceSettings start = deviceSettings;
    const quint64 since = readStarts();
    mouseLink.ask(
        this,
        [start](DeviceContext &device) {
            const DeviceSettings before = device.expected;
            sendFactoryReset();
            return QVariant::fromValue(ResetRead { readInto(start, SettingsBlocks | FirmwareVersion), before });
        },
        [this, since](const QVariant &result) {
            const ResetRead reset = result.value<ResetRead>();
            takeRead(reset.read, since);
            settingsUnread = !wholeRead(reset.read);
            // The mouse may rewrite its settings a while after it took the reset, even halfway through this read.
            resetWatch.before = reset.before;
            resetWatch.commandsBefore = since;
            resetRecheckClock.start();
            watchForLateReset();
            readEnds(since);
            emit firmwareVersionRead(reset.read.answered & SettingsBlock::Firmware);
            emit settingsRead();
        },
        [this, since, start](MouseLink::Failure reason) {
            // Gone during the reset, the mouse may still rewrite its settings once it is back.
            if (reason == MouseLink::Failure::NoMouse) {
                resetWatch.before = start;
                resetWatch.commandsBefore = since;
                resetWatch.resumeAfterOpen = true;
                resetRecheckClock.start();
            }
            readEnds(since);
        });
}

void Mouse::watchForLateReset()
{
    if (transferRunning())
        return;
    resetWatch.rounds = 0;
    resetWatch.unanswered = 0;
    resetWatch.changed.reset();
    resetWatch.shown = false;
    resetWatch.resumeAfterOpen = false;
    resetRecheckTimer.start();
}

void Mouse::showFactorySettings()
{
    qDebug() << "factory settings read after the reset";
    emit factorySettingsRead();
}

void Mouse::recheckAfterReset()
{
    if (!connected() || transferRunning()) {
        resetRecheckTimer.stop();
        return;
    }
    // A round under way is let finish: on a slow mouse it may be the one that sees the reset land.
    if (resetWatch.busy)
        return;
    if (resetRecheckClock.elapsed() > ResetRecheckLimitMs && resetWatch.rounds >= ResetRecheckLeastRounds) {
        resetRecheckTimer.stop();
        if (resetWatch.changed && !resetWatch.shown)
            showFactorySettings();
        return;
    }
    resetWatch.busy = true;
    const DeviceSettings start = deviceSettings;
    const quint64 since = readStarts();
    mouseLink.ask(
        this, [start](DeviceContext &) { return QVariant::fromValue(readInto(start, SettingsBlocks)); },
        [this, since](const QVariant &result) {
            resetWatch.busy = false;
            const SettingsRead read = result.value<SettingsRead>();
            // Failing reads only postpone the answer; a silent mouse would make every round wait for all its
            // attempts, so a few such rounds end the watch.
            const bool whole = wholeRead(read);
            resetWatch.unanswered = whole ? 0 : resetWatch.unanswered + 1;
            resetWatch.rounds += whole ? 1 : 0;
            if (resetWatch.unanswered >= ResetRecheckUnansweredRounds)
                resetRecheckTimer.stop();
            if (!resetRecheckTimer.isActive() || !whole) {
                readEnds(since);
                return;
            }
            takeRead(read, since);
            settingsUnread = false;
            // Unchanged: what the mouse held before the reset, with the commands sent before this read. Changed,
            // the same twice in a row: one read may have straddled the moment the mouse rewrote its settings. The
            // watch goes on for its whole time all the same: what changed may be a write that the late reset
            // then undoes.
            const bool unchanged = sameSettingsBlocks(
                withCommands(resetWatch.before, resetWatch.commandsBefore, since), read.settings);
            const bool settled = !unchanged && resetWatch.changed
                && sameSettingsBlocks(withCommands(*resetWatch.changed, resetWatch.changedSince, since), read.settings);
            const bool show = settled && !resetWatch.shown;
            resetWatch.shown = settled;
            resetWatch.changed = unchanged ? std::nullopt : std::optional<DeviceSettings>(read.settings);
            resetWatch.changedSince = since;
            readEnds(since);
            if (show)
                showFactorySettings();
        },
        [this, since](MouseLink::Failure) {
            resetWatch.busy = false;
            readEnds(since);
        });
}

void Mouse::sendCommand(const QString &kind, std::function<void(quint8 *buffer)> fill)
{
    // What the mouse holds once it has taken this command, for the reads asked before it: a settings command sets
    // every byte it is judged by, whatever earlier commands left in the shared buffer.
    noteCommand(fill);
    mouseLink.request(
        [fill](DeviceContext &device) {
            fill(device.commandBuffer);
            writeControl(device.commandBuffer);
            return QVariant(true);
        },
        kind, MouseLink::AtQuit::Sent);
}

void Mouse::noteCommand(const std::function<void(quint8 *buffer)> &fill)
{
    QByteArray bytes(int(sizeof deviceContext.commandBuffer), '\0');
    fill(reinterpret_cast<quint8 *>(bytes.data()));
    // Known from now on, also when a read that the mouse leaves unanswered refreshes the pages.
    deviceSettings.takeCommand(reinterpret_cast<const quint8 *>(bytes.constData()));
    recentCommands.append({ ++commandsAsked, bytes });
    dropOldCommands();
}

void Mouse::setDpiPollWanted(bool wanted)
{
    if (!wanted) {
        dpiTimer.stop();
        return;
    }
    resumeDpiPoll("pointer page shown");
    dpiTimer.start();
}

void Mouse::pollDpi()
{
    if (!connected() || transferRunning() || dpiPollBusy || dpiPollPaused)
        return;
    dpiPollBusy = true;
    const DeviceSettings start = deviceSettings;
    const quint64 since = readStarts();
    mouseLink.ask(
        this,
        [start](DeviceContext &) {
            SettingsRead read { start, SettingsBlock::Dpi };
            return readDpiState(read.settings) ? QVariant::fromValue(read) : QVariant();
        },
        [this, since](const QVariant &result) {
            dpiPollBusy = false;
            takeRead(result.value<SettingsRead>(), since);
            readEnds(since);
            emit currentDpiLevelRead(deviceSettings.currentDpiLevel);
        },
        [this, since](MouseLink::Failure reason) {
            dpiPollBusy = false;
            readEnds(since);
            if (reason != MouseLink::Failure::NoAnswer)
                return;
            dpiPollPaused = true;
            qDebug() << "DPI poll paused: no reply from the mouse";
        });
}

void Mouse::resumeDpiPoll(const char *reason)
{
    if (!dpiPollPaused)
        return;
    dpiPollPaused = false;
    qDebug() << "DPI poll resumed:" << reason;
}

void Mouse::runTransfer(MouseLink::Job job, std::function<void(const QVariant &)> done, std::function<void()> dropped)
{
    resetRecheckTimer.stop();
    transferId = mouseLink.runExclusive(
        this, std::move(job),
        [this, done](const QVariant &result) {
            transferId = 0;
            done(result);
            handleHeldChanges();
        },
        [this, dropped](MouseLink::Failure) {
            transferId = 0;
            dropped();
            handleHeldChanges();
        });
}

bool Mouse::withdrawTransfer()
{
    return transferId != 0 && mouseLink.withdraw(transferId);
}
