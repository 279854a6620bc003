#include "ui/mainwindow.h"

#include "device/deviceprotocol.h"
#include "device/devicesettings.h"
#include "device/mouse.h"
#include "ui/nav_bar.h"
#include "ui/systemtray.h"
#include "update/appversion.h"
#include "update/config_widget.h"
#include "update/firmwaretransfer.h"
#include "update/update.h"
#include "update/updatedialog.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>

#include <algorithm>

namespace {

const char *const TransferWarning = QT_TRANSLATE_NOOP("TARNO_Gaming", "升级过程中，请勿断开USB连接。中断升级可能会导致鼠标无法使用。"
                               "固件升级约需要1分钟，在此期间，鼠标将无法使用。");

constexpr int FirstFrameWaitMs = 2000;

bool isRunningExecutable(const QString &path)
{
    const QString running = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    return !running.isEmpty() && QFileInfo(path).canonicalFilePath() == running;
}

} // namespace

void TARNO_Gaming::startUpdateCheck()
{
    retireUpdateWorker();

    updateThread = new QThread;
    updater = new Update;
    updater->moveToThread(updateThread);
    connect(updateThread, &QThread::finished, updateThread, &QObject::deleteLater);
    connect(updateThread, &QThread::finished, updater, &QObject::deleteLater);
    connect(updater, &Update::signalGetUpdateFinished, this, &TARNO_Gaming::UpdateFound, Qt::QueuedConnection);
    connect(updater, &Update::firmwareImageRecorded, this, &TARNO_Gaming::firmwareImageRecorded, Qt::QueuedConnection);
    connect(updater, &Update::signalGetFWUpdateFinished, this, &TARNO_Gaming::FWUpdateFound, Qt::QueuedConnection);
    connect(updater, &Update::singalGetFWContentFinished, this, &TARNO_Gaming::FWUpdateContentFound,
            Qt::QueuedConnection);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &TARNO_Gaming::stopUpdateWorkers, Qt::UniqueConnection);
    updateThread->start(QThread::InheritPriority);
    checkPending = true;
    // Asked once this thread is back in its event loop: at start-up that is after the mouse has been read, so
    // the check compares with the mouse's own version rather than the unread image. At start-up, after the
    // window's first frame, or a while later when it cannot be shown (no screen).
    QTimer::singleShot(firstFramePainted ? 0 : FirstFrameWaitMs, this, &TARNO_Gaming::startPendingCheck);
}

void TARNO_Gaming::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (firstFramePainted)
        return;
    firstFramePainted = true;
    // Queued behind this frame's flush to the screen.
    QTimer::singleShot(0, this, &TARNO_Gaming::buildPages);
    QTimer::singleShot(0, this, &TARNO_Gaming::startPendingCheck);
}

void TARNO_Gaming::startPendingCheck()
{
    // An earlier worker may still be unpacking or writing a file the new one would download again.
    if (!checkPending || !updater || !retiringThreads.isEmpty())
        return;
    checkPending = false;
    QMetaObject::invokeMethod(updater, &Update::checkUpdate, Qt::QueuedConnection);
}

void TARNO_Gaming::retireUpdateWorker()
{
    if (!updateThread)
        return;
    // What the worker announced so far is handled now, while `updater` still names it (it cannot end before
    // it is asked to below).
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    QThread *thread = updateThread;
    Update *worker = updater;
    updater = nullptr;
    updateThread = nullptr;
    checkPending = false;
    retiringThreads.append(thread);
    connect(thread, &QThread::finished, this, [this, thread] {
        // It has ended its work; this only joins it.
        thread->wait();
        retiringThreads.erase(std::remove_if(retiringThreads.begin(), retiringThreads.end(),
                                             [thread](const QPointer<QThread> &t) { return !t || t == thread; }),
                              retiringThreads.end());
        startPendingCheck();
    });
    // Its thread ends after whatever the worker is doing now, and the worker announces nothing more.
    worker->requestStop();
    thread->quit();
}

void TARNO_Gaming::stopUpdateWorkers()
{
    retireUpdateWorker();
    const QList<QPointer<QThread>> threads = retiringThreads;
    retiringThreads.clear();
    // The program is ending: nothing is left on screen to freeze, and a worker cut off in the middle of
    // installing an archive would leave the folder half replaced.
    hide();
    tray->hide();
    for (const QPointer<QThread> &thread : threads) {
        if (thread)
            thread->wait();
    }
}

void TARNO_Gaming::scanLeftoverExecutables()
{
    const QDir folder(QDir::currentPath());
    const QStringList names = folder.entryList({ QStringLiteral("TARNO_CONNECT_PC*.exe") },
                                               QDir::Files | QDir::Readable, QDir::Name);
    for (const QString &name : names) {
        switch (leftoverAction(name)) {
        case LeftoverAction::Offer:
            UpdateFound(name);
            break;
        case LeftoverAction::Delete: {
            const QString path = QDir::toNativeSeparators(folder.absoluteFilePath(name));
            qDebug() << name;
            // The running program may itself be one of them (a self-update started it under this name).
            if (isRunningExecutable(path)) {
                qDebug() << "running: kept";
                break;
            }
            if (!QFile::remove(path))
                qDebug() << "cannot remove" << path;
            break;
        }
        case LeftoverAction::Skip:
            break;
        }
    }
}

void TARNO_Gaming::UpdateFound(QString filename)
{
    qDebug() << "APP UpdateFound" << filename;
    if (!QFileInfo::exists(QDir::current().filePath(filename)))
        return;
    configPage->offerApplication();
    appUpdateFile = filename;
    configPage->appVersionButton->disconnect();
    connect(configPage->appVersionButton, &QPushButton::clicked, this, &TARNO_Gaming::RunUpdate);
}

void TARNO_Gaming::RunUpdate()
{
    qDebug().noquote() << QStringLiteral("RunUpdate() ") + appUpdateFile;
    const QString program = QDir::toNativeSeparators(QDir::current().absoluteFilePath(appUpdateFile));
    // Quitting without a successor would leave the user with no program at all.
    if (!QProcess::startDetached(program, {}, QDir::currentPath())) {
        qDebug() << "cannot start" << program;
        configPage->showStartFailure(appUpdateFile);
        return;
    }
    requestQuit();
}

void TARNO_Gaming::firmwareImageRecorded(const FirmwareImageRecord &record)
{
    fwImageRecord = record;
}

void TARNO_Gaming::FWUpdateFound(QString filename)
{
    qDebug() << "FW UpdateFound" << filename;
    if (!QFileInfo::exists(QDir::current().filePath(filename)))
        return;
    offerFirmware(filename);
    if (fwImageRecord.fileName == filename)
        configPage->updateDialog->versionText = fwImageRecord.version;
    else if (updater)
        configPage->updateDialog->versionText = updater->firmwareVersionText();
    if (updater)
        configPage->updateDialog->contentLabel->setText(updater->firmwareContentText());
}

void TARNO_Gaming::offerFirmware(const QString &filename)
{
    configPage->offerFirmware();
    fwUpdateFile = filename;
}

void TARNO_Gaming::FWUpdateContentFound()
{
    if (updater)
        configPage->updateDialog->contentLabel->setText(updater->firmwareContentText());
}

void TARNO_Gaming::retranslateUpdateTexts()
{
    UpdateDialog *dialog = configPage->updateDialog;
    if (dialog->phase() == UpdateDialog::Phase::Transferring) {
        dialog->statusLabel->setText(FirmwareTransfer::statusText(quint32(dialog->progressBar->value()),
                                                                  quint32(dialog->progressBar->maximum())));
        dialog->messageLabel->setText(tr(TransferWarning));
    }
}

bool TARNO_Gaming::flashing() const
{
    return mouse.transferRunning();
}

void TARNO_Gaming::RunFWUpdate()
{
    qDebug() << "RunFWUpdate()_" << fwUpdateFile;
    UpdateDialog *dialog = configPage->updateDialog;
    // One transfer at a time, and none while the mouse has not yet come back from the last one.
    if (flashing() || awaitingFirmware)
        return;
    QFile file(QDir::current().filePath(fwUpdateFile));
    if (fwUpdateFile.isEmpty() || !file.exists()) {
        qDebug() << "file not exists";
        dialog->showRefused(FirmwareImageProblem::Changed);
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug() << "open file error" << file.errorString();
        dialog->showRefused(FirmwareImageProblem::Changed);
        return;
    }
    const QByteArray image = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        qDebug() << "open file error" << file.errorString();
        dialog->showRefused(FirmwareImageProblem::Changed);
        return;
    }
    // These bytes are what the mouse gets: they must be exactly the file the download completed and verified.
    const FirmwareImageRecord record = fwImageRecord.fileName == fwUpdateFile ? fwImageRecord : FirmwareImageRecord();
    const FirmwareImageProblem problem = checkFirmwareImage(image, record);
    if (problem != FirmwareImageProblem::None) {
        qDebug() << "firmware image refused:" << int(problem) << image.size() << "bytes, recorded" << record.length;
        dialog->showRefused(problem);
        return;
    }
    qDebug() << "mcu_adderss" << 0;
    sentFirmwareVersion = dialog->versionText;

    dialog->progressBar->setMaximum(image.size());
    dialog->progressBar->setValue(0);
    dialog->statusLabel->setText(FirmwareTransfer::statusText(0, quint32(image.size())));
    dialog->messageLabel->setText(tr(TransferWarning));
    dialog->setPhase(UpdateDialog::Phase::Transferring);
    // Held until the transfer ends: the pages' commands (the DPI poll and plug events wait by themselves).
    for (QWidget *widget :
         { static_cast<QWidget *>(pageStack), static_cast<QWidget *>(navBar), static_cast<QWidget *>(resetButton) })
        widget->setEnabled(false);
    configPage->setFirmwareTransferRunning(true);

    // The dialog lives as long as the window, which does not end while the transfer runs.
    mouse.runTransfer(
        [image, dialog](DeviceContext &device) {
            FirmwareTransfer transfer(device);
            transfer.progress = [dialog](quint32 sent, const QString &status) {
                QMetaObject::invokeMethod(
                    dialog, [dialog, sent, status] {
                        dialog->progressBar->setValue(int(sent));
                        dialog->statusLabel->setText(status);
                    },
                    Qt::QueuedConnection);
            };
            return QVariant(int(transfer.run(image)));
        },
        [this](const QVariant &result) { flashEnded(result.toInt()); });
}

void TARNO_Gaming::flashEnded(int result)
{
    const auto outcome = FirmwareTransfer::Outcome(result);
    configPage->setFirmwareTransferRunning(false);
    qDebug() << "firmware transfer ended:" << int(outcome);
    pageStack->setEnabled(true);
    navBar->setEnabled(true);
    resetButton->setEnabled(mouse.connected());

    UpdateDialog *dialog = configPage->updateDialog;
    if (quitAfterFlash) {
        QCoreApplication::quit();
        return;
    }
    if (outcome == FirmwareTransfer::Outcome::DataFailed) {
        // The finish command that would activate an image was never sent.
        dialog->showTransferFailed(firmwareVersion(deviceSettings));
    } else {
        // Whatever the packets' results said, the mouse tells whether it took the image once it is back.
        awaitingFirmware = true;
        dialog->showWaiting(FirmwareReturnSeconds);
        if (!firmwareWait) {
            firmwareWait = new QTimer(this);
            firmwareWait->setSingleShot(true);
            connect(firmwareWait, &QTimer::timeout, this, &TARNO_Gaming::firmwareWaitExpired);
        }
        firmwareWait->start(FirmwareReturnSeconds * 1000);
    }
}

void TARNO_Gaming::checkFirmwareTaken(bool answered)
{
    if (!awaitingFirmware)
        return;
    // Only the mouse's own answer tells: an unanswered read waits for the next within the bound.
    if (!answered) {
        if (firmwareWait && firmwareWait->isActive())
            return;
        qDebug() << "firmware check: the mouse did not tell its version";
        awaitingFirmware = false;
        configPage->updateDialog->showVersionUnread();
        return;
    }
    awaitingFirmware = false;
    const QString offered = sentFirmwareVersion;
    if (firmwareWait)
        firmwareWait->stop();
    const QString reported = firmwareVersion(deviceSettings);
    qDebug() << "firmware check: sent" << offered << "mouse reports" << reported;
    UpdateDialog *dialog = configPage->updateDialog;
    if (reported == offered) {
        configPage->clearNotice();
        dialog->update_finishi();
        return;
    }
    qDebug() << "firmware update not taken";
    dialog->showNotTaken(reported);
    configPage->showFirmwareNotTaken(reported, offered);
    if (QFileInfo::exists(QDir::current().filePath(fwUpdateFile)))
        offerFirmware(fwUpdateFile);
}

void TARNO_Gaming::firmwareWaitExpired()
{
    if (!awaitingFirmware)
        return;
    // A mouse that refused the image may never leave: ask it directly.
    if (mouse.connected()) {
        update_fw_version();
        return;
    }
    qDebug() << "firmware check: the mouse did not come back within" << FirmwareReturnSeconds << "s";
    awaitingFirmware = false;
    configPage->updateDialog->showNoReturn(FirmwareReturnSeconds);
}

void TARNO_Gaming::requestQuit()
{
    if (flashing()) {
        qDebug() << "quit after the firmware transfer";
        quitAfterFlash = true;
        configPage->updateDialog->explainHold(true);
        return;
    }
    QCoreApplication::quit();
}

uint TARNO_Gaming::stm32crc32(quint32 *message, uint nWords, uint remainder)
{
    return stm32Crc32(message, nWords, remainder);
}
