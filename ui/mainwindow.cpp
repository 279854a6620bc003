#include "ui/mainwindow.h"

#include "buttons/buttons_widget.h"
#include "device/deviceprotocol.h"
#include "device/devicesettings.h"
#include "device/mouse.h"
#include "lighting/leds_widget.h"
#include "lighting/usercolorsettings.h"
#include "platform/devicenotifier.h"
#include "platform/windowdrag.h"
#include "pointer/pointer_widget.h"
#include "style/messageline.h"
#include "style/style.h"
#include "ui/accessibleapplication.h"
#include "ui/disconnect_widget.h"
#include "ui/languageswitcher.h"
#include "ui/mousepictures.h"
#include "ui/nav_bar.h"
#include "ui/popbox.h"
#include "ui/shellstate.h"
#include "ui/shownsettings.h"
#include "ui/systemtray.h"
#include "ui/windowbackground.h"
#include "update/config_widget.h"
#include "update/firmwareupdate.h"
#include "update/updatechecks.h"
#include "update/updatedialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDebug>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTimer>

#include <utility>

namespace {

constexpr int WindowWidth = 1200;
constexpr int WindowHeight = 750;
constexpr int FadeInMs = 500;

QString iconButtonStyle(const QString &icon, const QString &hoverIcon)
{
    return QStringLiteral("QPushButton{border:none;background-color:transparent;image:url(%1);}"
                          "QPushButton:hover{image:url(%2);}")
        .arg(icon, hoverIcon);
}

QPushButton *makeIconButton(QWidget *parent, const QString &name, int x, const QString &style)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(name);
    button->setGeometry(x, 28, 20, 20);
    button->setCursor(Qt::PointingHandCursor);
    // Reached by Tab; a click leaves the focus where it was, so that no focus frame follows the mouse.
    button->setFocusPolicy(Qt::TabFocus);
    button->setStyleSheet(style + Style::pictureButtonFocus);
    return button;
}

} // namespace

TARNO_Gaming::TARNO_Gaming(Mouse &mouse, QWidget *parent, PageBuilding pageBuilding)
    : QWidget(parent)
    , mouse(mouse)
{
    AccessibleApplication::install();
    centreOnPrimaryScreen();
    setFixedSize(WindowWidth, WindowHeight);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
    // The window itself holds the focus until Tab moves it to a control: activated again, it gives the focus back
    // to itself rather than to the first control, whose focus frame would then show to a mouse user.
    setFocusPolicy(Qt::ClickFocus);
    setFocus(Qt::OtherFocusReason);
    setAttribute(Qt::WA_TranslucentBackground);

    auto *fadeIn = new QPropertyAnimation(this, "windowOpacity", this);
    fadeIn->setDuration(FadeInMs);
    fadeIn->setStartValue(0.0);
    fadeIn->setEndValue(1.0);
    fadeIn->start(QAbstractAnimation::DeleteWhenStopped);

    auto *background = new WindowBackground(this);
    background->setGeometry(0, 0, WindowWidth, WindowHeight);

    tray = new SystemTray(this);
    tray->setObjectName(QStringLiteral("tray"));
    // Without a tray host this shows nothing; Qt adds the icon when a host starts later.
    tray->show();
    connect(tray, &SystemTray::sys_openClicked, this, &TARNO_Gaming::showWidgets);
    connect(tray, &QSystemTrayIcon::activated, this, &TARNO_Gaming::iconIsActived);
    tray->exitAction()->disconnect(qApp);
    connect(tray->exitAction(), &QAction::triggered, this, &TARNO_Gaming::requestQuit);

    mouseArea = new MousePictures(this);
    mouseArea->setObjectName(QStringLiteral("mouseArea"));
    createPages();
    if (pageBuilding == PageBuilding::Now)
        buildPages();

    // The pages appear once the window has faded in; the settings page, if opened meanwhile, keeps them hidden.
    connect(fadeIn, &QAbstractAnimation::finished, this, [this] {
        buildPages();
        if (!settingsOpen())
            pageStack->show();
    });
    pageStack->setGeometry(0, 0, WindowWidth, WindowHeight);

    // The lighting page's colour file: one settings object from here to the end of the process.
    userColorSettings();

    navBar = new Nav_Bar(this);
    navBar->setObjectName(QStringLiteral("navBar"));
    navBar->move(0, 626);
    connect(navBar, &Nav_Bar::nav_btn_selected, this, &TARNO_Gaming::switch_animation);
    connect(navBar, &Nav_Bar::nav_btn_selected, this, &TARNO_Gaming::showPage);

    configPage = new config_Widget(mouse.link(), this);
    configPage->setObjectName(QStringLiteral("configPage"));
    configPage->setGeometry(0, 0, WindowWidth, WindowHeight);
    configPage->hide();
    // An imported configuration is read back for the pages.
    connect(configPage, &config_Widget::profileImported, this, &TARNO_Gaming::readDeviceSettings);

    titleBar = new QLabel(this);
    titleBar->setObjectName(QStringLiteral("titleBar"));
    titleBar->setGeometry(0, 0, WindowWidth, 80);
    titleBar->installEventFilter(this);

    resetButton = new QPushButton(this);
    resetButton->setObjectName(QStringLiteral("resetButton"));
    resetButton->setGeometry(40, 27, 130, 26);
    resetButton->setStyleSheet(Style::pressButton);
    resetButton->setFocusPolicy(Qt::TabFocus);
    resetButton->setEnabled(false);
    resetPopBox = new PopBox(this);
    resetPopBox->setObjectName(QStringLiteral("resetPopBox"));
    connect(resetButton, &QPushButton::clicked, resetPopBox, &QWidget::show);
    connect(resetPopBox, &PopBox::ok_clicked, this, &TARNO_Gaming::reset_to_factory);

    silenceLabel = Style::makeLabel(QString(), QRect(190, 34, 860, 12), this);
    silenceLabel->setObjectName(QStringLiteral("silenceLabel"));
    silenceLabel->setStyleSheet(Style::accentLabel);
    silenceLabel->hide();
    MessageLine::setUp(silenceLabel);

    QPushButton *closeButton = createTopButtons();
    createUpdates();
    connect(closeButton, &QPushButton::clicked, this, [this] {
        hiddenToTray = true;
        updateDpiPoll();
    });

    scanLeftoverExecutables();
    startUpdateCheck();

    connect(&mouse, &Mouse::connectedChanged, this, &TARNO_Gaming::mouseConnected);
    connect(&mouse, &Mouse::settingsRead, this, &TARNO_Gaming::refreshPages);
    connect(&mouse, &Mouse::pluggedIn, this, &TARNO_Gaming::startUpdateCheck);
    connect(&mouse, &Mouse::factorySettingsRead, this, &TARNO_Gaming::showDeviceSettingsOnPages);
    connect(&mouse, &Mouse::firmwareVersionRead, this, [this](bool answered) {
        configPage->showFirmwareVersion(firmwareVersionText(deviceSettings));
        firmwareUpdate->versionRead(answered);
    });
    connect(&mouse, &Mouse::currentDpiLevelRead, this, [this](quint8 level) {
        if (pagesBuilt())
            pointerPage->showCurrentLevel(level);
    });
    connect(&mouse, &Mouse::answeringChanged, this, [this](bool answering) {
        silenceLabel->setVisible(!answering);
        if (!answering)
            MessageLine::announce(silenceLabel);
    });

    deviceNotifier = new DeviceNotifier(this);
    connect(deviceNotifier, &DeviceNotifier::deviceChanged, this, &TARNO_Gaming::handleDeviceChange);
    deviceNotifier->start();
    retranslateUi();
    logShownSettings(this);
}

void TARNO_Gaming::retranslateUi()
{
    // The window's accessible name; frameless, it shows no title.
    setWindowTitle(tr("TARNO DUVERUR"));
    settingsButton->setAccessibleName(tr("设置"));
    findChild<QPushButton *>(QStringLiteral("minButton"))->setAccessibleName(tr("最小化"));
    findChild<QPushButton *>(QStringLiteral("closeButton"))->setAccessibleName(tr("关闭"));
    resetButton->setText(tr("恢复默认设置"));
    resetPopBox->setPopupText(tr("将把您的鼠标恢复为出厂配置，是否继续？"));
    resetPopBox->setOkBtnText(tr("恢复"));
    silenceLabel->setText(tr("鼠标没有应答：请检查它是否已插好，或重新插拔一次"));
    firmwareUpdate->retranslate();
}

void TARNO_Gaming::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}

TARNO_Gaming::~TARNO_Gaming()
{
    updateChecks->stopAll();
}

void TARNO_Gaming::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (firstFramePainted)
        return;
    firstFramePainted = true;
    // Queued behind this frame's flush to the screen.
    QTimer::singleShot(0, this, &TARNO_Gaming::buildPages);
    updateChecks->firstFramePainted();
}

bool TARNO_Gaming::centreOnPrimaryScreen()
{
    // Measured from the screen's own origin.
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary)
        return false;
    const QRect screen = primary->geometry();
    move(screen.width() / 2 - WindowWidth / 2, screen.height() / 2 - WindowHeight / 2);
    return true;
}

void TARNO_Gaming::createPages()
{
    pageStack = new QStackedWidget(this);
    pageStack->setObjectName(QStringLiteral("pageStack"));
    pageStack->hide();
}

void TARNO_Gaming::buildPages()
{
    if (pagesBuilt())
        return;
    disconnectPage = new disconnect_Widget(pageStack);
    buttonsPage = new buttons_Widget(mouse, pageStack);
    ledsPage = new leds_Widget(mouse, pageStack);
    ledsPage->showPreviewOn(mouseArea->topView());
    pointerPage = new pointer_Widget(mouse, pageStack);
    pageStack->addWidget(disconnectPage);
    pageStack->addWidget(buttonsPage);
    pageStack->addWidget(ledsPage);
    pageStack->addWidget(pointerPage);
    pageStack->setCurrentIndex(currentPage);
    disconnectPage->showWaitingForMouse(waitingForMouse);
    if (settingsAwaitPages)
        showDeviceSettingsOnPages();
}

void TARNO_Gaming::showPage(int index)
{
    currentPage = index;
    if (pagesBuilt())
        pageStack->setCurrentIndex(index);
    updateDpiPoll();
}

void TARNO_Gaming::updateDpiPoll()
{
    mouse.setDpiPollWanted(currentPage == PageIndex::Pointer && !hiddenToTray);
}

void TARNO_Gaming::showDeviceSettingsOnPages()
{
    settingsAwaitPages = !pagesBuilt();
    if (settingsAwaitPages)
        return;
    ledsPage->showDeviceLighting(deviceSettings);
    pointerPage->showDeviceDpi(deviceSettings);
}

QPushButton *TARNO_Gaming::createTopButtons()
{
    settingsButton = makeIconButton(this, QStringLiteral("settingsButton"), 1075,
                                    QStringLiteral("QPushButton{border:none;background-color:transparent;"
                                                   "image:url(:/img/settings.png);}"
                                                   "QPushButton:hover{image:url(:/img/settings_h.png);}"
                                                   "QPushButton:checked{image:url(:/img/settings_back.png);}"
                                                   "QPushButton:checked:hover{image:url(:/img/settings_back.png);}"));
    settingsButton->setCheckable(true);
    connect(settingsButton, &QPushButton::toggled, this, &TARNO_Gaming::show_config_page);
    connect(configPage->updateDialog->startButton, &QPushButton::clicked, this, &TARNO_Gaming::RunFWUpdate);

    auto *minButton = makeIconButton(this, QStringLiteral("minButton"), 1110,
                                     iconButtonStyle(QStringLiteral(":/img/min.png"), QStringLiteral(":/img/min_h.png")));
    connect(minButton, &QPushButton::clicked, this, &QWidget::showMinimized);

    // With a tray, closing only hides the window and the program goes on there. Without one (many Linux desktops)
    // nothing could show the window again or end the program: closing ends it, held as the tray's quit is.
    auto *closeButton = makeIconButton(
        this, QStringLiteral("closeButton"), 1145,
        iconButtonStyle(QStringLiteral(":/img/close.png"), QStringLiteral(":/img/close_h.png")));
    connect(closeButton, &QPushButton::clicked, this, [this] {
        if (tray->hostAvailable())
            hide();
        else
            requestQuit();
    });
    return closeButton;
}

void TARNO_Gaming::useLanguages(LanguageSwitcher *switcher)
{
    QComboBox *box = configPage->languageBox;
    {
        const QSignalBlocker blocker(box);
        box->setCurrentIndex(switcher->current());
    }
    connect(box, QOverload<int>::of(&QComboBox::activated), this, [this, switcher](int index) {
        if (!InterfaceLanguage::isValid(index))
            return;
        const bool saved = switcher->choose(InterfaceLanguage::Language(index));
        configPage->showLanguageNotSaved(saved ? QString() : LanguageSwitcher::userSettings()->fileName());
    });
}

bool TARNO_Gaming::settingsOpen() const
{
    return settingsButton->isChecked();
}

void TARNO_Gaming::applyLayout()
{
    const ShellLayout layout = shellLayout(mouse.connected(), settingsOpen());
    configPage->setVisible(layout.configPage);
    mouseArea->setVisible(layout.mouseArea);
    navBar->setVisible(layout.navBar);
    pageStack->setVisible(layout.pageStack);
}

void TARNO_Gaming::showDeviceLayout()
{
    mouseArea->show();
    showPage(PageIndex::Buttons);
}

void TARNO_Gaming::showWaitingForMouse(bool waiting)
{
    qDebug() << (waiting ? "no-device page: waiting for the mouse" : "no-device page: the mouse is free");
    waitingForMouse = waiting;
    if (pagesBuilt())
        disconnectPage->showWaitingForMouse(waiting);
}

void TARNO_Gaming::showNoDeviceLayout()
{
    showPage(PageIndex::NoDevice);
    mouseArea->hide();
    navBar->hide();
}

void TARNO_Gaming::iconIsActived(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
        showWidgets();
}

bool TARNO_Gaming::stayInTray()
{
    if (!tray->hostAvailable())
        return false;
    hiddenToTray = true;
    updateDpiPoll();
    return true;
}

void TARNO_Gaming::showWidgets()
{
    hiddenToTray = false;
    updateDpiPoll();
    showNormal();
    raise();
    activateWindow();
}

quint8 TARNO_Gaming::pictureState() const
{
    return mouseArea->state();
}

void TARNO_Gaming::switch_animation(int index)
{
    mouseArea->switchTo(index);
}

void TARNO_Gaming::show_config_page(bool checked)
{
    Q_UNUSED(checked)
    applyLayout();
}

void TARNO_Gaming::readDeviceSettings()
{
    importReadPending = true;
    mouse.readSettings();
}

void TARNO_Gaming::update_fw_version()
{
    mouse.readFirmwareVersion();
}

void TARNO_Gaming::refreshPages()
{
    showDeviceSettingsOnPages();
    // A read after an import leaves the user on the page they are on.
    if (!std::exchange(importReadPending, false))
        showConnectedLayout();
    if (pagesBuilt())
        buttonsPage->hideButtonDialog();
}

void TARNO_Gaming::showConnectedLayout()
{
    navBar->checkButton(PageIndex::Buttons);
    if (!settingsOpen()) {
        navBar->show();
        mouseArea->show();
    }
    showPage(PageIndex::Buttons);
    resetButton->setEnabled(true);
    configPage->setMouseConnected(true);
}

void TARNO_Gaming::update_dpi_level()
{
    if (pagesBuilt() && pageStack->currentIndex() == PageIndex::Pointer)
        mouse.pollDpi();
}

void TARNO_Gaming::reset_to_factory()
{
    mouse.factoryReset();
}

void TARNO_Gaming::handleDeviceChange(const DeviceChange &change)
{
    mouse.handleDeviceChange(change);
}

void TARNO_Gaming::mouseConnected(bool connected)
{
    if (!connected) {
        plugOut();
        return;
    }
    // The pages are filled once the mouse has answered the settings reads.
    showConnectedLayout();
}

void TARNO_Gaming::plugOut()
{
    if (pagesBuilt())
        buttonsPage->hideButtonDialog();
    resetButton->setEnabled(false);
    configPage->setMouseConnected(false);
    resetPopBox->hide();
    silenceLabel->hide();
    showNoDeviceLayout();
}

void TARNO_Gaming::closeEvent(QCloseEvent *event)
{
    if (flashing()) {
        event->ignore();
        configPage->updateDialog->explainHold(false);
        return;
    }
    QWidget::closeEvent(event);
}

void TARNO_Gaming::showEvent(QShowEvent *event)
{
    // However it was shown again: from the tray or by a second start of the program.
    hiddenToTray = false;
    updateDpiPoll();
    QWidget::showEvent(event);
}

bool TARNO_Gaming::eventFilter(QObject *obj, QEvent *event)
{
    if (obj == titleBar) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            manualDrag = !startSystemWindowMove(this);
            dragOffset = static_cast<QMouseEvent *>(event)->globalPos() - pos();
            break;
        case QEvent::MouseMove:
            if (manualDrag)
                move(static_cast<QMouseEvent *>(event)->globalPos() - dragOffset);
            break;
        case QEvent::MouseButtonRelease:
            manualDrag = false;
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(obj, event);
}

bool TARNO_Gaming::nativeEvent(const QByteArray &eventType, void *message, long *result)
{
    Q_UNUSED(result)
    if (deviceNotifier)
        deviceNotifier->handleNativeEvent(eventType, message);
    return false;
}
