// The program's only main window: page stack, mouse pictures, navigation, tray and plug-in handling.
#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "platform/devicechange.h"
#include "ui/shellstate.h"
#include "update/firmwareimage.h"

#include <QPoint>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QThread>
#include <QWidget>

class DeviceNotifier;
class FirmwareUpdate;
class LanguageSwitcher;
class Mouse;
class MousePictures;
class Nav_Bar;
class PopBox;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTimer;
class SystemTray;
class UpdateChecks;
class buttons_Widget;
class config_Widget;
class disconnect_Widget;
class leds_Widget;
class pointer_Widget;

class TARNO_Gaming : public QWidget
{
    Q_OBJECT

public:
    // When the four pages are built. They stay hidden until the window has faded in, so start-up builds them
    // right after the first frame; until then the window keeps what they are to show.
    enum class PageBuilding { Now, AfterFirstFrame };
    explicit TARNO_Gaming(Mouse &mouse, QWidget *parent = nullptr, PageBuilding pageBuilding = PageBuilding::Now);
    ~TARNO_Gaming() override;

    // After an import: asks the mouse for its settings; the pages show them when it has answered, and the user stays
    // on the page they are on.
    void readDeviceSettings();
    void refreshPages();
    // With a mouse: pictures shown, buttons page.
    void showDeviceLayout();
    // Without a mouse: the no-device page alone.
    void showNoDeviceLayout();
    // While another program of this user's (a command line) holds the mouse, the no-device page says that the window
    // waits for it, not that there is none.
    void showWaitingForMouse(bool waiting);
    // False when there is no screen at all (no display attached, a remote session being reconnected).
    bool centreOnPrimaryScreen();
    // The settings page's language box shows the switcher's language and switches it, live.
    void useLanguages(LanguageSwitcher *switcher);
    void retranslateUi();

    // Plug-in and plug-out, whichever way the system reported them.
    void handleDeviceChange(const DeviceChange &change);

    // 1 while the pictures are in the buttons-page layout, else the page that moved them away.
    quint8 pictureState() const;

    // Update service (defined in mainwindow_update.cpp): starts a new worker that checks the server.
    void startUpdateCheck();
    // Removes or offers application executables left in the working directory by earlier updates.
    void scanLeftoverExecutables();
    // Starts hidden in the tray, as at login; false, and nothing changed, without a tray to show it from.
    bool stayInTray();

public slots:
    void iconIsActived(QSystemTrayIcon::ActivationReason reason);
    void showWidgets();
    void switch_animation(int index);
    void show_config_page(bool checked);
    void reset_to_factory();
    void update_fw_version();
    void update_dpi_level();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *obj, QEvent *event) override;
    bool nativeEvent(const QByteArray &eventType, void *message, long *result) override;

private:
    void createPages();
    // Builds the four pages if they are not yet built and shows them what was read from the mouse meanwhile.
    void buildPages();
    bool pagesBuilt() const { return buttonsPage != nullptr; }
    // The page stack's index, kept while the pages are not yet built.
    void showPage(int index);
    void showDeviceSettingsOnPages();
    // Settings, minimise and close buttons; returns the close button.
    QPushButton *createTopButtons();
    void mouseConnected(bool connected);
    // Pictures, navigation bar and the buttons page, as with a mouse.
    void showConnectedLayout();
    void plugOut();
    bool settingsOpen() const;
    void applyLayout();
    // The DPI poll runs while the pointer page is shown in a window that is not hidden to the tray.
    void updateDpiPoll();

    QLabel *titleBar = nullptr;
    MousePictures *mouseArea = nullptr;
    Mouse &mouse;
    QStackedWidget *pageStack = nullptr;
    Nav_Bar *navBar = nullptr;
    disconnect_Widget *disconnectPage = nullptr;
    buttons_Widget *buttonsPage = nullptr;
    leds_Widget *ledsPage = nullptr;
    pointer_Widget *pointerPage = nullptr;
    config_Widget *configPage = nullptr;
    QPushButton *resetButton = nullptr;
    PopBox *resetPopBox = nullptr;
    QPushButton *settingsButton = nullptr;
    QLabel *silenceLabel = nullptr;   // says that the mouse does not answer
    SystemTray *tray = nullptr;
    DeviceNotifier *deviceNotifier = nullptr;
    int currentPage = PageIndex::Buttons;
    bool settingsAwaitPages = false;   // what was read from the mouse is shown once the pages are built
    bool hiddenToTray = false;
    bool waitingForMouse = false;
    bool importReadPending = false;   // the next settings read is an import's: the page stays
    bool firstFramePainted = false;

    // Moving the window ourselves where the window system will not.
    bool manualDrag = false;
    QPoint dragOffset;

    // ---- Updates: application self-update and firmware update (defined in mainwindow_update.cpp) ----
public slots:
    void UpdateFound(QString filename);
    void FWUpdateFound(QString filename);
    void FWUpdateContentFound();
    void RunUpdate();
    void RunFWUpdate();
    uint stm32crc32(quint32 *message, uint nWords, uint remainder);
    // What the update service recorded of the image it completed; RunFWUpdate flashes only that file.
    void firmwareImageRecorded(const FirmwareImageRecord &record);
    // The tray's quit: during a firmware transfer the program ends after it.
    void requestQuit();

public:
    // True while a firmware transfer runs: no other device traffic, no quitting.
    bool flashing() const;

private:
    void createUpdates();

    QString appUpdateFile;
    UpdateChecks *updateChecks = nullptr;
    FirmwareUpdate *firmwareUpdate = nullptr;
    // ---- end of updates ----
};

#endif
