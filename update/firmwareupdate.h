// A firmware update from the offer to the mouse's verdict: the image on offer, its transfer as the mouse link's
// one exclusive job, and the wait for the mouse to come back and report the version it was sent.
#ifndef FIRMWAREUPDATE_H
#define FIRMWAREUPDATE_H

#include "update/firmwareimage.h"

#include <QObject>
#include <QString>

class Mouse;
class QTimer;
class config_Widget;

class FirmwareUpdate : public QObject
{
    Q_OBJECT

public:
    static constexpr int ReturnSeconds = 30;

    FirmwareUpdate(Mouse &mouse, config_Widget &page, QObject *parent = nullptr);

    bool running() const;
    // What the update service recorded of the image it completed; only that file is sent.
    void imageRecorded(const FirmwareImageRecord &record);
    // A downloaded image on offer. `serviceVersion` and `content` are the update service's (empty when none).
    void offer(const QString &filename, const QString &serviceVersion, const QString &content);
    // Reads the offered image, checks it against the record and sends it.
    void start();
    // After every version read: a transfer is judged only from a version the mouse answered.
    void versionRead(bool answered);
    // While a transfer runs the program ends after it: true when the quit is held. One still waiting for its turn
    // is dropped instead.
    bool holdQuit();
    // The dialog's status and warning during a transfer, in the language now in use.
    void retranslate();

signals:
    void runningChanged(bool running);
    // From the link's thread while the transfer runs (a signal, so that Qt copies the figures across).
    void transferProgressed(quint32 sent, const QString &status, QPrivateSignal);

private:
    void showOffer(const QString &filename);
    void ended(int outcome);
    void dropped();
    void waitExpired();

    Mouse &mouse;
    config_Widget &page;
    QString imageFile;
    FirmwareImageRecord record;
    QString sentVersion;   // the version of the image being or last sent
    bool awaiting = false;   // sent; waiting for the mouse to come back and report its version
    bool quitAfterTransfer = false;
    QTimer *returnWait = nullptr;
};

#endif
