// The window's side of the mouse, on the GUI thread: whether it is plugged in, what it answered (deviceSettings),
// and the reads the shell needs: at start-up and plug-in, the DPI poll, after a factory reset. Every call reaches
// the library through the link, so nothing here waits for the mouse.
#ifndef MOUSE_H
#define MOUSE_H

#include "device/devicesettings.h"
#include "device/mouselink.h"
#include "platform/devicechange.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

class Mouse : public QObject
{
    Q_OBJECT

public:
    explicit Mouse(MouseLink &link, QObject *parent = nullptr);

    MouseLink &link() const { return mouseLink; }
    bool connected() const { return isConnected; }
    // False once a query was left unanswered, until the mouse answers again.
    bool answering() const { return isAnswering; }
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
    // A settings command of the pages, filled into the shared command buffer on the link's thread and sent. A
    // command of the same `kind` still waiting behind a slow mouse is dropped for it.
    void sendCommand(const QString &kind, std::function<void(quint8 *buffer)> fill);
    // The current DPI level is read every 200 ms while wanted (the pointer page shown). After a poll the mouse left
    // unanswered, polling waits until the mouse answers something else, is plugged in again or this is asked again.
    void setDpiPollWanted(bool wanted);
    // One poll, unless one is under way or polling waits for the mouse to answer again.
    void pollDpi();
    bool dpiPollRunning() const { return dpiTimer.isActive(); }
    // A firmware transfer: nothing else reaches the mouse meanwhile; `done` gets its result.
    void runTransfer(MouseLink::Job job, std::function<void(const QVariant &)> done);

    static constexpr int DpiPollMs = 200;

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
    void openMouse(bool plugIn);
    void opened(const QByteArray &path, bool plugIn);
    void closeMouse();
    void readSettingsThen(std::function<void()> after);
    void resumeDpiPoll(const char *reason);
    void recheckAfterReset();
    void noteAnswers();
    void setAnswering(bool answering);

    MouseLink &mouseLink;
    bool isConnected = false;
    bool opening = false;
    bool isAnswering = true;
    quint64 answerCount = 0;
    quint64 silenceCount = 0;
    QByteArray devicePath;
    QString removalWhileOpening;

    QTimer dpiTimer;
    bool dpiPollBusy = false;
    bool dpiPollPaused = false;

    QTimer resetRecheckTimer;
    QElapsedTimer resetRecheckClock;
    bool resetRecheckBusy = false;
    DeviceSettings settingsBeforeReset;

    quint64 transferId = 0;
    QList<DeviceChange> heldDeviceChanges;
};

#endif
