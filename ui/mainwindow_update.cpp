#include "ui/mainwindow.h"

#include "device/mouse.h"
#include "ui/nav_bar.h"
#include "ui/systemtray.h"
#include "update/appversion.h"
#include "update/config_widget.h"
#include "update/firmwaretransfer.h"
#include "update/firmwareupdate.h"
#include "update/update.h"
#include "update/updatechecks.h"
#include "update/updatedialog.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStackedWidget>

void TARNO_Gaming::createUpdates()
{
    updateChecks = new UpdateChecks(this);
    connect(updateChecks, &UpdateChecks::applicationFound, this, &TARNO_Gaming::UpdateFound);
    connect(updateChecks, &UpdateChecks::firmwareImageRecorded, this, &TARNO_Gaming::firmwareImageRecorded);
    connect(updateChecks, &UpdateChecks::firmwareFound, this, &TARNO_Gaming::FWUpdateFound);
    connect(updateChecks, &UpdateChecks::firmwareContentFound, this, &TARNO_Gaming::FWUpdateContentFound);
    connect(&mouse, &Mouse::openFinished, updateChecks, [this](bool found) {
        if (!found)
            updateChecks->firmwareVersionKnown();
    });
    connect(&mouse, &Mouse::firmwareVersionRead, updateChecks, &UpdateChecks::firmwareVersionKnown);
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        // The program is ending: nothing is left on screen to freeze while the workers end.
        hide();
        tray->hide();
        updateChecks->stopAll();
    });

    firmwareUpdate = new FirmwareUpdate(mouse, *configPage, this);
    connect(firmwareUpdate, &FirmwareUpdate::runningChanged, this, [this](bool running) {
        // The pages' commands wait for the transfer's end; the poll and plug events wait by themselves.
        pageStack->setEnabled(!running);
        navBar->setEnabled(!running);
        resetButton->setEnabled(!running && mouse.connected());
    });
}

void TARNO_Gaming::startUpdateCheck()
{
    updateChecks->start();
}

void TARNO_Gaming::scanLeftoverExecutables()
{
    for (const QString &name : sweepLeftoverExecutables(QDir(QDir::currentPath())))
        UpdateFound(name);
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
    firmwareUpdate->imageRecorded(record);
}

void TARNO_Gaming::FWUpdateFound(QString filename)
{
    const Update *service = updateChecks->current();
    firmwareUpdate->offer(filename, service ? service->firmwareVersionText() : QString(),
                          service ? service->firmwareContentText() : QString());
}

void TARNO_Gaming::FWUpdateContentFound()
{
    if (const Update *service = updateChecks->current())
        configPage->updateDialog->contentLabel->setText(service->firmwareContentText());
}

bool TARNO_Gaming::flashing() const
{
    return firmwareUpdate->running();
}

void TARNO_Gaming::RunFWUpdate()
{
    firmwareUpdate->start();
}

void TARNO_Gaming::requestQuit()
{
    if (!firmwareUpdate->holdQuit())
        QCoreApplication::quit();
}

uint TARNO_Gaming::stm32crc32(quint32 *message, uint nWords, uint remainder)
{
    return stm32Crc32(message, nWords, remainder);
}
