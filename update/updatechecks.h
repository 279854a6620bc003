// The update service's workers: a new one for every check (at start-up and at each plug-in of the mouse), each on
// a thread of its own. An earlier worker is asked to stop and left to end by itself; a new check waits for it.
#ifndef UPDATECHECKS_H
#define UPDATECHECKS_H

#include "update/firmwareimage.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QThread>

class Update;

class UpdateChecks : public QObject
{
    Q_OBJECT

public:
    explicit UpdateChecks(QObject *parent = nullptr);
    ~UpdateChecks() override;

    // Starts a new worker. Its check begins once the window has drawn its first frame (setting up TLS would
    // compete with drawing it), or a while later when there is no screen to draw on, and once the mouse's
    // firmware version is known (or that there is no mouse): the check compares with it.
    void start();
    void firstFramePainted();
    void firmwareVersionKnown();
    // At the end of the program: stops every worker and waits for them. A worker cut off in the middle of
    // installing an archive would leave the folder half replaced.
    void stopAll();
    // The newest worker, or null.
    Update *current() const { return updater; }

signals:
    void applicationFound(const QString &filename);
    void firmwareImageRecorded(const FirmwareImageRecord &record);
    void firmwareFound(const QString &filename);
    void firmwareContentFound();

private:
    // Asks the current worker to stop on its own thread and returns at once; its thread ends by itself.
    void retire();
    // Starts the current worker's check once no earlier worker is left to touch the files.
    void startPending();

    QPointer<QThread> updateThread;
    Update *updater = nullptr;
    bool checkPending = false;
    bool framePainted = false;
    bool versionKnown = false;
    // Asked to stop and not yet joined; owned here.
    QList<QThread *> retiringThreads;
};

#endif
