#include "ui/mainwindow.h"

#include "device/devicecontext.h"
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
#include <QTimer>

namespace {

const char *const TransferWarning = QT_TRANSLATE_NOOP("TARNO_Gaming", "升级过程中，请勿断开USB连接。中断升级可能会导致鼠标无法使用。"
                               "固件升级约需要1分钟，在此期间，鼠标将无法使用。");

bool isRunningExecutable(const QString &path)
{
    const QString running = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    return !running.isEmpty() && QFileInfo(path).canonicalFilePath() == running;
}

} // namespace

void TARNO_Gaming::startUpdateCheck()
{
    stopUpdateWorker();

    updateThread = new QThread;
    updater = new Update;
    updater->moveToThread(updateThread);
    connect(updateThread, &QThread::finished, updateThread, &QObject::deleteLater);
    connect(updateThread, &QThread::finished, updater, &QObject::deleteLater);
    connect(updater, &Update::signalGetUpdateFinished, this, &TARNO_Gaming::UpdateFound, Qt::QueuedConnection);
    connect(updater, &Update::signalGetFWUpdateFinished, this, &TARNO_Gaming::FWUpdateFound, Qt::QueuedConnection);
    connect(updater, &Update::singalGetFWContentFinished, this, &TARNO_Gaming::FWUpdateContentFound,
            Qt::QueuedConnection);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &TARNO_Gaming::stopUpdateWorker, Qt::UniqueConnection);
    updateThread->start(QThread::InheritPriority);
    // Asked once this thread is back in its event loop: at start-up that is after the mouse has been read, so
    // the check compares with the mouse's own version rather than the unread image.
    QTimer::singleShot(0, this, [worker = QPointer<Update>(updater)] {
        if (worker)
            QMetaObject::invokeMethod(worker, &Update::checkUpdate, Qt::QueuedConnection);
    });
}

void TARNO_Gaming::stopUpdateWorker()
{
    if (!updateThread)
        return;
    QMetaObject::invokeMethod(updater, &Update::stop, Qt::BlockingQueuedConnection);
    // What the worker announced before it stopped is handled now, while `updater` still names it.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    updateThread->quit();
    updateThread->wait();
    updater = nullptr;
    updateThread = nullptr;
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
    configPage->appUpdateMark->show();
    configPage->appVersionButton->setText(tr("发现新版本  "));
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
        return;
    }
    QCoreApplication::quit();
}

void TARNO_Gaming::FWUpdateFound(QString filename)
{
    qDebug() << "FW UpdateFound" << filename;
    if (!QFileInfo::exists(QDir::current().filePath(filename)))
        return;
    configPage->fwUpdateMark->show();
    configPage->fwVersionButton->setText(tr("发现新版本  "));
    fwUpdateFile = filename;
    if (updater) {
        configPage->updateDialog->versionText = updater->firmwareVersionText();
        configPage->updateDialog->contentLabel->setText(updater->firmwareContentText());
    }
    connect(configPage->fwVersionButton, &QPushButton::clicked, configPage->updateDialog, &QWidget::show,
            Qt::UniqueConnection);
}

void TARNO_Gaming::FWUpdateContentFound()
{
    if (updater)
        configPage->updateDialog->contentLabel->setText(updater->firmwareContentText());
}

void TARNO_Gaming::retranslateUpdateTexts()
{
    // An offer has replaced the version, which reads the same in every language.
    for (QPushButton *button : { configPage->fwVersionButton, configPage->appVersionButton }) {
        if (!button->text().startsWith(QLatin1String("Version: ")))
            button->setText(tr("发现新版本  "));
    }
    UpdateDialog *dialog = configPage->updateDialog;
    if (dialog->startButton->isHidden() && dialog->okButton->isHidden()) {
        dialog->statusLabel->setText(FirmwareTransfer::statusText(quint32(dialog->progressBar->value()),
                                                                  quint32(dialog->progressBar->maximum())));
        dialog->messageLabel->setText(tr(TransferWarning));
    }
}

void TARNO_Gaming::RunFWUpdate()
{
    qDebug() << "RunFWUpdate()_" << fwUpdateFile;
    QFile file(QDir::current().filePath(fwUpdateFile));
    if (fwUpdateFile.isEmpty() || !file.exists()) {
        qDebug() << "file not exists";
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug() << "open file error" << file.errorString();
        return;
    }
    const QByteArray image = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        qDebug() << "open file error" << file.errorString();
        return;
    }
    qDebug() << "mcu_adderss" << 0;

    UpdateDialog *dialog = configPage->updateDialog;
    dialog->progressBar->setMaximum(image.size());
    dialog->progressBar->setValue(0);
    dialog->statusLabel->setText(FirmwareTransfer::statusText(0, quint32(image.size())));
    dialog->messageLabel->setText(tr(TransferWarning));

    // The transfer holds the GUI thread; repaint the progress directly instead of running the event loop,
    // which would let the DPI poll and plug events talk to the mouse in the middle of the transfer.
    auto showProgress = [dialog](quint32 sent, const QString &status) {
        dialog->progressBar->setValue(int(sent));
        dialog->statusLabel->setText(status);
        dialog->progressBar->repaint();
        dialog->statusLabel->repaint();
    };
    showProgress(0, dialog->statusLabel->text());

    FirmwareTransfer transfer(deviceContext);
    transfer.progress = showProgress;
    transfer.verified = [dialog] { dialog->update_finishi(); };
    configPage->setFirmwareTransferRunning(true);
    const FirmwareTransfer::Outcome outcome = transfer.run(image);
    configPage->setFirmwareTransferRunning(false);
    if (outcome != FirmwareTransfer::Outcome::Finished)
        qDebug() << "firmware transfer stopped:" << int(outcome);
}

uint TARNO_Gaming::stm32crc32(quint32 *message, uint nWords, uint remainder)
{
    return stm32Crc32(message, nWords, remainder);
}
