// The application object; only one instance runs per executable file name and user.
#ifndef QSINGLEAPPLICATION_H
#define QSINGLEAPPLICATION_H

#include <QApplication>

class QLocalServer;
class QWidget;

class QSingleApplication : public QApplication
{
    Q_OBJECT

public:
    QSingleApplication(int &argc, char **argv);

    // The key under which the first instance listens: the executable's file name on Windows; elsewhere, where
    // local sockets are files, that name in the user's runtime folder (or with the user id appended), so that
    // each user has an instance of their own. Needs an application object (for the executable's path).
    static QString instanceKey();
    // Whether an instance of this executable runs for this user; waits up to `timeoutMs` for its answer. The
    // running instance takes the contact for a later start and raises its window.
    static bool isInstanceRunning(int timeoutMs = 500);

    bool isRunning() const;
    void setMainWindow(QWidget *window);

private slots:
    void _newLocalConnection();

private:
    void activateMainWindow();
    void startLocalServer();

    QWidget *mainWindow = nullptr;
    bool running = false;
    QLocalServer *localServer = nullptr;
    QString serverName;
};

#endif
