#include "ui/mainwindow.h"

#include "buttons/buttons_widget.h"
#include "device/devicecontext.h"
#include "device/deviceprotocol.h"
#include "device/devicesettings.h"
#include "lighting/leds_widget.h"
#include "pointer/pointer_widget.h"
#include "ui/style.h"
#include "update/config_widget.h"

#include <QComboBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>

namespace PageIndex {
constexpr int NoDevice = 0;
constexpr int Buttons = 1;
constexpr int Pointer = 3;
} // namespace PageIndex

TARNO_Gaming::TARNO_Gaming(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(1200, 750);
    mouseArea = new QWidget(this);

    disconnectPage = new QWidget(this);
    buttonsPage = new buttons_Widget(this);
    ledsPage = new leds_Widget(this);
    pointerPage = new pointer_Widget(this);
    pageStack = new QStackedWidget(this);
    pageStack->addWidget(disconnectPage);
    pageStack->addWidget(buttonsPage);
    pageStack->addWidget(ledsPage);
    pageStack->addWidget(pointerPage);
    pageStack->setCurrentIndex(PageIndex::Buttons);
    pageStack->setGeometry(0, 0, 1200, 750);

    configPage = new config_Widget(this);
    configPage->setGeometry(0, 0, 1200, 750);
    configPage->hide();

    resetButton = new QPushButton(tr("恢复默认设置"), this);
    resetButton->setGeometry(40, 27, 130, 26);
    resetButton->setStyleSheet(Style::pressButton);
    resetButton->setEnabled(false);

    dpiTimer = new QTimer(this);
    connect(dpiTimer, &QTimer::timeout, this, &TARNO_Gaming::update_dpi_level);
    dpiTimer->start(200);
}

TARNO_Gaming::~TARNO_Gaming() = default;

void TARNO_Gaming::selectLanguageEntry(int index)
{
    configPage->languageBox->setCurrentIndex(index);
}

void TARNO_Gaming::showDeviceLayout()
{
    mouseArea->show();
    pageStack->setCurrentIndex(PageIndex::Buttons);
}

void TARNO_Gaming::showNoDeviceLayout()
{
    pageStack->setCurrentIndex(PageIndex::NoDevice);
    mouseArea->hide();
}

void TARNO_Gaming::readDeviceSettings()
{
    readSettingsBlocks();
    update_fw_version();
}

void TARNO_Gaming::update_fw_version()
{
    readFirmwareVersion();
    configPage->showFirmwareVersion(firmwareVersionText(deviceSettings));
}

void TARNO_Gaming::refreshPages()
{
    ledsPage->showDeviceLighting(deviceSettings);
    pointerPage->showDeviceDpi(deviceSettings);

    if (!configPage->isVisible())
        mouseArea->show();
    pageStack->setCurrentIndex(PageIndex::Buttons);
    resetButton->setEnabled(true);
    buttonsPage->hideButtonDialog();
}

void TARNO_Gaming::update_dpi_level()
{
    if (pageStack->currentIndex() != PageIndex::Pointer)
        return;
    readDpiState();
    pointerPage->showCurrentLevel(deviceSettings.currentDpiLevel);
}

void TARNO_Gaming::reset_to_factory()
{
    sendFactoryReset();
    readDeviceSettings();
    refreshPages();
}
