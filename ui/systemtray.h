// The tray icon with its menu: "显示" brings the window back, "退出" ends the program.
#ifndef SYSTEMTRAY_H
#define SYSTEMTRAY_H

#include <QSystemTrayIcon>

#include <functional>

class QAction;
class QMenu;

class SystemTray : public QSystemTrayIcon
{
    Q_OBJECT

public:
    explicit SystemTray(QObject *parent = nullptr);
    ~SystemTray() override;

    QAction *openAction() const { return showAction; }
    QAction *exitAction() const { return quitAction; }
    // Whether a tray can keep the program while its window is closed. Asked at every close, since a tray may
    // start or stop while the program runs; replaceable where no tray can run (headless tests).
    std::function<bool()> hostAvailable = &QSystemTrayIcon::isSystemTrayAvailable;
    void retranslateUi();

signals:
    void sys_openClicked();

public slots:
    void createAction();

protected:
    bool event(QEvent *event) override;

private:
    QAction *showAction = nullptr;
    QAction *quitAction = nullptr;
    // A context menu has no owner among the tray's objects; the tray deletes it.
    QMenu *menu = nullptr;
};

#endif
