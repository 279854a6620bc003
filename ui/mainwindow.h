// The program's only main window.
#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QWidget>

class QPushButton;
class QStackedWidget;
class QTimer;
class buttons_Widget;
class config_Widget;
class leds_Widget;
class pointer_Widget;

class TARNO_Gaming : public QWidget
{
    Q_OBJECT

public:
    explicit TARNO_Gaming(QWidget *parent = nullptr);
    ~TARNO_Gaming() override;

    void readDeviceSettings();
    void refreshPages();
    void showDeviceLayout();
    void showNoDeviceLayout();
    void selectLanguageEntry(int index);

    // Update service (defined in mainwindow_update.cpp): starts a new worker that checks the server.
    void startUpdateCheck();
    // Removes or offers application executables left in the working directory by earlier updates.
    void scanLeftoverExecutables();

public slots:
    void reset_to_factory();
    void update_fw_version();
    void update_dpi_level();

private:
    QWidget *mouseArea = nullptr;
    QTimer *dpiTimer = nullptr;
    QStackedWidget *pageStack = nullptr;
    QWidget *disconnectPage = nullptr;
    buttons_Widget *buttonsPage = nullptr;
    leds_Widget *ledsPage = nullptr;
    pointer_Widget *pointerPage = nullptr;
    config_Widget *configPage = nullptr;
    QPushButton *resetButton = nullptr;
};

#endif
