#include "ui/systemtray.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>

SystemTray::SystemTray(QObject *parent)
    : QSystemTrayIcon(parent)
{
    createAction();
    retranslateUi();
}

void SystemTray::retranslateUi()
{
    setToolTip(tr("TARNO DUVERUR"));
    showAction->setText(tr("显示"));
    quitAction->setText(tr("退出"));
}

// Not a widget: the main window passes the language change on to it as to any child.
bool SystemTray::event(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    return QSystemTrayIcon::event(event);
}

SystemTray::~SystemTray()
{
    delete menu;
}

void SystemTray::createAction()
{
    setIcon(QIcon(QStringLiteral(":/img/SystemTrayIcon")));
    menu = new QMenu;
    showAction = new QAction(this);
    quitAction = new QAction(this);
    menu->addAction(showAction);
    menu->addAction(quitAction);
    connect(showAction, &QAction::triggered, this, &SystemTray::sys_openClicked);
    connect(quitAction, &QAction::triggered, qApp, &QCoreApplication::quit);
    setContextMenu(menu);
}
