// The window's side of the mouse, on the GUI thread: its lifetime (closed, opening, open, closing), what it
// answered (deviceSettings), and the reads the shell needs: at start-up and plug-in, the DPI poll, after a factory
// reset. Every call reaches the library through the link, so nothing here waits for the mouse.
#ifndef MOUSE_H
#define MOUSE_H

#include "device/devicesettings.h"
#include "device/mouselifetime.h"
#include "device/mouselink.h"
#include "platform/devicechange.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>
#include <set>

class Mouse : public QObject
{
    Q_OBJECT

public:
    explicit Mouse(MouseLink &link, QObject *parent = nullptr);

    MouseLink &link() const { return mouseLink; }
    bool connected() const { return lifetime == MouseState::Open; }
    // False once a query was left unanswered, until the mouse answers again.
    bool answering() const { return isAnswering; }
    // From the moment a transfer is asked for until its end has been handled.
    bool transferRunning() const { return transferId != 0; }

    // Start-up: looks for the mouse; openFinished() says whether it was found, and its settings are read then.
    void open();
    // Arrival and removal of devices: opens the mouse or closes it. Held while a firmware transfer runs.
    void handleDeviceChange(const DeviceChange &change);
    // Lighting, DPI, report rate and firmware version into deviceSettings, then settingsRead().
    void readSettings();
    void readFirmwareVersion();
    // Factory reset and the read after it. A mouse may apply the reset a little late: while what it reports is
    // still what it held before, it is read again every 100 ms for up to 3 s (never during a transfer).
    void factoryReset();
    // A settings command of the pages, filled into the shared command buffer on the link's thread and sent, also
    // when the program quits right after. A command of the same `kind` still waiting behind a slow mouse is
    // dropped for it.
    void sendCommand(const QString &kind, std::function<void(quint8 *buffer)> fill);
    // A settings command that a caller's own job sends, as `fill` expects it to be: reads asked before it then
    // show what it sets, as for sendCommand().
    void noteCommand(const std::function<void(quint8 *buffer)> &fill);
    // The current DPI level is read every 200 ms while wanted (the pointer page shown). After a poll the mouse left
    // unanswered, polling waits until the mouse answers again, is plugged in again or this is asked again.
    void setDpiPollWanted(bool wanted);
    // One poll, unless one is under way or polling waits for the mouse to answer again.
    void pollDpi();
    bool dpiPollRunning() const { return dpiTimer.isActive(); }
    // A firmware transfer: nothing else reaches the mouse meanwhile. `done` gets its result; `dropped` is called
    // instead when it is taken back before it began (the mouse left, or withdrawTransfer()).
    void runTransfer(MouseLink::Job job, std::function<void(const QVariant &)> done, std::function<void()> dropped);
    // Takes back a transfer that still waits for its turn; false when there is none or it has begun.
    bool withdrawTransfer();

    static constexpr int DpiPollMs = 200;
    // While the mouse does not answer, it is asked this often whether it answers again.
    static constexpr int AnswerProbeMs = 2000;

signals:
    void openFinished(bool found);
    void connectedChanged(bool connected);
    void settingsRead();
    // The read after a plug-in (not the one at start-up) has ended.
    void pluggedIn();
    // A factory reset the mouse applied late is now read.
    void factorySettingsRead();
    void firmwareVersionRead(bool answered);
    void currentDpiLevelRead(quint8 level);
    void answeringChanged(bool answering);

private:
    struct AskedCommand
    {
        quint64 number;
        QByteArray bytes;
    };

    void openMouse(bool plugIn);
    void opened(const QByteArray &path, bool plugIn);
    void closeMouse();
    void closed();
    void holdChange(const DeviceChange &change);
    void handleHeldChanges();

    void readSettingsThen(std::function<void()> after);
    void resumeDpiPoll(const char *reason);
    void watchForLateReset();
    void recheckAfterReset();
    void showFactorySettings();
    void noteAnswers();
    void setAnswering(bool answering);
    void probeAnswer();

    // A read reaches the mouse before the settings commands asked after it: their effect is laid over its answer,
    // so that an answer never undoes a newer click. readStarts() returns the number of commands asked so far.
    quint64 readStarts();
    void readEnds(quint64 since);
    DeviceSettings withCommands(DeviceSettings settings, quint64 after, quint64 upTo) const;
    void takeRead(const SettingsRead &read, quint64 since);
    void dropOldCommands();

    MouseLink &mouseLink;
    MouseState lifetime = MouseState::Closed;
    QByteArray devicePath;
    // Changes that came while the mouse was opening or closing, or during a transfer, in order.
    QList<DeviceChange> heldChanges;

    bool isAnswering = true;
    quint64 answerCount = 0;
    quint64 silenceCount = 0;
    QTimer answerProbe;
    bool probeBusy = false;

    QTimer dpiTimer;
    bool dpiPollBusy = false;
    bool dpiPollPaused = false;

    QTimer resetRecheckTimer;
    QElapsedTimer resetRecheckClock;
    // After a factory reset: reads the mouse for a while, and shows what it settles on once it has rewritten its
    // settings.
    struct ResetWatch
    {
        DeviceSettings before;   // what the mouse held just before the reset
        quint64 commandsBefore = 0;
        int rounds = 0;   // whole reads so far
        int unanswered = 0;   // partly unanswered reads in a row
        bool busy = false;
        bool resumeAfterOpen = false;   // closed while watching: goes on once the mouse is open again
        std::optional<DeviceSettings> changed;   // the last read, when it differed from `before`
        quint64 changedSince = 0;
        bool shown = false;   // `changed` has been shown on the pages
    } resetWatch;
    // The last read of the settings was left partly unanswered: read again once the mouse answers.
    bool settingsUnread = false;

    quint64 commandsAsked = 0;
    // Kept while a read asked before them may still answer.
    QList<AskedCommand> recentCommands;
    std::multiset<quint64> readsUnderWay;

    quint64 transferId = 0;
};

#endif
