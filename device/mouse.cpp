#include "device/mouse.h"

#include "device/devicecontext.h"
#include "device/deviceprotocol.h"

#include <QDebug>

namespace {

constexpr int ResetRecheckMs = 100;
constexpr int ResetRecheckLimitMs = 3000;

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

// On the GUI thread: what the mouse answered becomes the window's image of it.
SettingsRead takeAnswered(const SettingsRead &read)
{
    deviceSettings.takeBlocks(read.settings, read.answered);
    return read;
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
    emit answeringChanged(answering);
}

void Mouse::open()
{
    openMouse(false);
}

void Mouse::openMouse(bool plugIn)
{
    opening = true;
    mouseLink.ask(
        this,
        [](DeviceContext &device) { return QVariant(openDevice() ? QByteArray(device.devicePath) : QByteArray()); },
        [this, plugIn](const QVariant &path) { opened(path.toByteArray(), plugIn); },
        [this, plugIn](MouseLink::Failure) {
            opening = false;
            if (!plugIn)
                emit openFinished(false);
        });
}

void Mouse::opened(const QByteArray &path, bool plugIn)
{
    opening = false;
    if (path.isEmpty()) {
        // Any HID interface arrives as a plug-in; only the mouse opens.
        if (!plugIn)
            emit openFinished(false);
        return;
    }
    isConnected = true;
    devicePath = path;
    if (plugIn) {
        qDebug() << "Z31 Plug in";
        resumeDpiPoll("mouse plugged in");
    } else {
        emit openFinished(true);
    }
    emit connectedChanged(true);
    if (!removalWhileOpening.isEmpty() && isOpenDeviceName(removalWhileOpening, devicePath)) {
        // It left again while it was being opened.
        removalWhileOpening.clear();
        closeMouse();
        return;
    }
    removalWhileOpening.clear();
    readSettingsThen([this, plugIn] {
        if (plugIn)
            emit pluggedIn();
    });
}

void Mouse::handleDeviceChange(const DeviceChange &change)
{
    // The transfer's own failing write ends it when the mouse is really gone; the rest waits for its end.
    if (transferRunning()) {
        heldDeviceChanges.append(change);
        return;
    }
    if (opening && change.kind == DeviceChange::Removal) {
        removalWhileOpening = change.interfaceName;
        return;
    }
    const bool open = isConnected || opening;
    switch (deviceChangeAction(change, open, isConnected && isOpenDeviceName(change.interfaceName, devicePath))) {
    case DeviceChangeAction::OpenMouse:
        qDebug() << "hid plug in";
        // A plug-in starts afresh: nothing asked of an earlier mouse is still wanted.
        mouseLink.cancelSession();
        openMouse(true);
        break;
    case DeviceChangeAction::CloseMouse:
        closeMouse();
        break;
    case DeviceChangeAction::Ignore:
        break;
    }
}

void Mouse::closeMouse()
{
    qDebug() << "Z31 plug out";
    isConnected = false;
    devicePath.clear();
    resetRecheckTimer.stop();
    mouseLink.cancelSession();
    mouseLink.request([](DeviceContext &device) {
        device.CloseDevice();
        // The config channel's handle died with the mouse; left open, it would stand in the way of the next open.
        device.CloseConfigDevice();
        return QVariant(true);
    });
    setAnswering(true);
    emit connectedChanged(false);
}

void Mouse::readSettings()
{
    readSettingsThen({});
}

void Mouse::readSettingsThen(std::function<void()> after)
{
    const DeviceSettings start = deviceSettings;
    mouseLink.ask(
        this,
        [start](DeviceContext &) { return QVariant::fromValue(readInto(start, SettingsBlocks | FirmwareVersion)); },
        [this, after](const QVariant &result) {
            const SettingsRead read = takeAnswered(result.value<SettingsRead>());
            emit firmwareVersionRead(read.answered & SettingsBlock::Firmware);
            emit settingsRead();
            if (after)
                after();
        });
}

void Mouse::readFirmwareVersion()
{
    const DeviceSettings start = deviceSettings;
    mouseLink.ask(
        this, [start](DeviceContext &) { return QVariant::fromValue(readInto(start, FirmwareVersion)); },
        [this](const QVariant &result) {
            emit firmwareVersionRead(takeAnswered(result.value<SettingsRead>()).answered);
        });
}

void Mouse::factoryReset()
{
    if (transferRunning())
        return;
    resetRecheckTimer.stop();
    const DeviceSettings start = deviceSettings;
    mouseLink.ask(
        this,
        [start](DeviceContext &device) {
            const DeviceSettings before = device.expected;
            sendFactoryReset();
            return QVariant::fromValue(ResetRead { readInto(start, SettingsBlocks | FirmwareVersion), before });
        },
        [this](const QVariant &result) {
            const ResetRead reset = result.value<ResetRead>();
            takeAnswered(reset.read);
            emit firmwareVersionRead(reset.read.answered & SettingsBlock::Firmware);
            emit settingsRead();
            if (sameSettingsBlocks(reset.before, deviceSettings) && !transferRunning()) {
                settingsBeforeReset = reset.before;
                resetRecheckClock.start();
                resetRecheckTimer.start();
            }
        });
}

void Mouse::recheckAfterReset()
{
    if (!isConnected || transferRunning() || resetRecheckClock.elapsed() > ResetRecheckLimitMs) {
        resetRecheckTimer.stop();
        return;
    }
    if (resetRecheckBusy)
        return;
    resetRecheckBusy = true;
    const DeviceSettings start = deviceSettings;
    mouseLink.ask(
        this, [start](DeviceContext &) { return QVariant::fromValue(readInto(start, SettingsBlocks)); },
        [this](const QVariant &result) {
            resetRecheckBusy = false;
            const SettingsRead read = result.value<SettingsRead>();
            if (!resetRecheckTimer.isActive())
                return;
            if (!read.answered) {
                // A silent mouse would make every round wait for all its attempts.
                resetRecheckTimer.stop();
                return;
            }
            takeAnswered(read);
            if (sameSettingsBlocks(settingsBeforeReset, deviceSettings))
                return;
            resetRecheckTimer.stop();
            qDebug() << "factory settings read after the reset";
            emit factorySettingsRead();
        },
        [this](MouseLink::Failure) { resetRecheckBusy = false; });
}

void Mouse::sendCommand(const QString &kind, std::function<void(quint8 *buffer)> fill)
{
    mouseLink.request(
        [fill](DeviceContext &device) {
            fill(device.commandBuffer);
            writeControl(device.commandBuffer);
            return QVariant(true);
        },
        kind);
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
    if (!isConnected || transferRunning() || dpiPollBusy || dpiPollPaused)
        return;
    dpiPollBusy = true;
    const DeviceSettings start = deviceSettings;
    mouseLink.ask(
        this,
        [start](DeviceContext &) {
            SettingsRead read { start, SettingsBlock::Dpi };
            return readDpiState(read.settings) ? QVariant::fromValue(read) : QVariant();
        },
        [this](const QVariant &result) {
            dpiPollBusy = false;
            takeAnswered(result.value<SettingsRead>());
            emit currentDpiLevelRead(deviceSettings.currentDpiLevel);
        },
        [this](MouseLink::Failure reason) {
            dpiPollBusy = false;
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

void Mouse::runTransfer(MouseLink::Job job, std::function<void(const QVariant &)> done)
{
    resetRecheckTimer.stop();
    transferId = mouseLink.runExclusive(this, std::move(job), [this, done](const QVariant &result) {
        transferId = 0;
        done(result);
        const QList<DeviceChange> held = heldDeviceChanges;
        heldDeviceChanges.clear();
        for (const DeviceChange &change : held)
            handleDeviceChange(change);
    });
}
