#include "update/firmwareupdate.h"

#include "device/deviceprotocol.h"
#include "device/devicesettings.h"
#include "device/mouse.h"
#include "update/config_widget.h"
#include "update/firmwaretransfer.h"
#include "update/updatedialog.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

namespace {

const char *const TransferWarning = QT_TRANSLATE_NOOP("FirmwareUpdate",
                                                      "升级过程中，请勿断开USB连接。中断升级可能会导致鼠标无法使用。"
                                                      "固件升级约需要1分钟，在此期间，鼠标将无法使用。");

}   // namespace

FirmwareUpdate::FirmwareUpdate(Mouse &mouse, config_Widget &page, QObject *parent)
    : QObject(parent)
    , mouse(mouse)
    , page(page)
    , returnWait(new QTimer(this))
{
    returnWait->setSingleShot(true);
    connect(returnWait, &QTimer::timeout, this, &FirmwareUpdate::waitExpired);
    connect(
        this, &FirmwareUpdate::transferProgressed, this,
        [this](quint32 sent, const QString &status) {
            this->page.updateDialog->progressBar->setValue(int(sent));
            this->page.updateDialog->statusLabel->setText(status);
        },
        Qt::QueuedConnection);
}

bool FirmwareUpdate::running() const
{
    return mouse.transferRunning();
}

void FirmwareUpdate::imageRecorded(const FirmwareImageRecord &recorded)
{
    record = recorded;
}

void FirmwareUpdate::offer(const QString &filename, const QString &serviceVersion, const QString &content)
{
    qDebug() << "FW UpdateFound" << filename;
    if (!QFileInfo::exists(QDir::current().filePath(filename)))
        return;
    showOffer(filename);
    if (record.fileName == filename)
        page.updateDialog->versionText = record.version;
    else if (!serviceVersion.isEmpty())
        page.updateDialog->versionText = serviceVersion;
    if (!content.isEmpty())
        page.updateDialog->contentLabel->setText(content);
}

void FirmwareUpdate::showOffer(const QString &filename)
{
    page.offerFirmware();
    imageFile = filename;
}

void FirmwareUpdate::retranslate()
{
    UpdateDialog *dialog = page.updateDialog;
    if (dialog->phase() != UpdateDialog::Phase::Transferring)
        return;
    dialog->statusLabel->setText(
        FirmwareTransfer::statusText(quint32(dialog->progressBar->value()), quint32(dialog->progressBar->maximum())));
    dialog->messageLabel->setText(tr(TransferWarning));
}

void FirmwareUpdate::start()
{
    qDebug() << "RunFWUpdate()_" << imageFile;
    UpdateDialog *dialog = page.updateDialog;
    // One transfer at a time, and none while the mouse has not yet come back from the last one.
    if (running() || awaiting)
        return;
    QFile file(QDir::current().filePath(imageFile));
    if (imageFile.isEmpty() || !file.exists()) {
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
    const FirmwareImageRecord verified = record.fileName == imageFile ? record : FirmwareImageRecord();
    const FirmwareImageProblem problem = checkFirmwareImage(image, verified);
    if (problem != FirmwareImageProblem::None) {
        qDebug() << "firmware image refused:" << int(problem) << image.size() << "bytes, recorded" << verified.length;
        dialog->showRefused(problem);
        return;
    }
    qDebug() << "mcu_adderss" << 0;
    sentVersion = dialog->versionText;

    dialog->progressBar->setMaximum(image.size());
    dialog->progressBar->setValue(0);
    dialog->statusLabel->setText(FirmwareTransfer::statusText(0, quint32(image.size())));
    dialog->messageLabel->setText(tr(TransferWarning));
    dialog->setPhase(UpdateDialog::Phase::Transferring);
    page.setFirmwareTransferRunning(true);

    // This object lives as long as the window, which does not end while the transfer runs.
    mouse.runTransfer(
        [this, image](DeviceContext &device) {
            FirmwareTransfer transfer(device);
            transfer.progress = [this](quint32 sent, const QString &status) {
                emit transferProgressed(sent, status, QPrivateSignal());
            };
            return QVariant(int(transfer.run(image)));
        },
        [this](const QVariant &result) { ended(result.toInt()); }, [this] { dropped(); });
    emit runningChanged(true);
}

void FirmwareUpdate::ended(int result)
{
    const auto outcome = FirmwareTransfer::Outcome(result);
    page.setFirmwareTransferRunning(false);
    qDebug() << "firmware transfer ended:" << int(outcome);
    emit runningChanged(false);
    if (quitAfterTransfer) {
        QCoreApplication::quit();
        return;
    }
    UpdateDialog *dialog = page.updateDialog;
    if (outcome == FirmwareTransfer::Outcome::DataFailed) {
        // The finish command that would activate an image was never sent.
        dialog->showTransferFailed(firmwareVersion(deviceSettings));
        return;
    }
    // Whatever the packets' results said, the mouse tells whether it took the image once it is back.
    awaiting = true;
    dialog->showWaiting(ReturnSeconds);
    returnWait->start(ReturnSeconds * 1000);
}

void FirmwareUpdate::dropped()
{
    // Taken back before its first packet (the mouse left, or the program is quitting): the mouse keeps its firmware.
    qDebug() << "firmware transfer dropped before it began";
    page.setFirmwareTransferRunning(false);
    emit runningChanged(false);
    page.updateDialog->showTransferFailed(firmwareVersion(deviceSettings));
}

void FirmwareUpdate::versionRead(bool answered)
{
    if (!awaiting)
        return;
    // Only the mouse's own answer tells: an unanswered read waits for the next within the bound.
    if (!answered) {
        if (returnWait->isActive())
            return;
        qDebug() << "firmware check: the mouse did not tell its version";
        awaiting = false;
        page.updateDialog->showVersionUnread();
        return;
    }
    awaiting = false;
    returnWait->stop();
    const QString reported = firmwareVersion(deviceSettings);
    qDebug() << "firmware check: sent" << sentVersion << "mouse reports" << reported;
    UpdateDialog *dialog = page.updateDialog;
    if (reported == sentVersion) {
        page.clearNotice();
        dialog->update_finishi();
        return;
    }
    qDebug() << "firmware update not taken";
    dialog->showNotTaken(reported);
    page.showFirmwareNotTaken(reported, sentVersion);
    if (QFileInfo::exists(QDir::current().filePath(imageFile)))
        showOffer(imageFile);
}

void FirmwareUpdate::waitExpired()
{
    if (!awaiting)
        return;
    // A mouse that refused the image may never leave: ask it directly.
    if (mouse.connected()) {
        mouse.readFirmwareVersion();
        return;
    }
    qDebug() << "firmware check: the mouse did not come back within" << ReturnSeconds << "s";
    awaiting = false;
    page.updateDialog->showNoReturn(ReturnSeconds);
}

bool FirmwareUpdate::holdQuit()
{
    // One still waiting behind another call has not touched the mouse: it is dropped, so that a call hanging ahead
    // of it cannot hold the quit.
    if (!running() || mouse.withdrawTransfer())
        return false;
    qDebug() << "quit after the firmware transfer";
    quitAfterTransfer = true;
    page.updateDialog->explainHold(true);
    return true;
}
