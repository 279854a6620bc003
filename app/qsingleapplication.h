// The application object; only one instance runs per executable file name and user.
#ifndef QSINGLEAPPLICATION_H
#define QSINGLEAPPLICATION_H

#include <QApplication>

#include <functional>

class QLocalServer;
class QLocalSocket;
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
    // The per-user lock of whoever talks to the mouse: the window for its whole run, or one command line.
    static QString lockFilePath();
    // Whether an instance of this executable runs for this user; waits up to `timeoutMs` for its answer. The
    // running instance takes the contact for a later start and raises its window.
    static bool isInstanceRunning(int timeoutMs = 500);

    bool isRunning() const;
    void setMainWindow(QWidget *window);
    // A later process that sends a line (a command line handing over its work) gets it handled here; `answer`
    // sends the reply line and ends the connection. One that hangs up without a word raises the window.
    using RequestHandler = std::function<void(const QByteArray &line, std::function<void(const QByteArray &)> answer)>;
    void setRequestHandler(RequestHandler handler);

private slots:
    void _newLocalConnection();

private:
    void activateMainWindow();
    void readRequest(QLocalSocket *connection);
    void startLocalServer();

    QWidget *mainWindow = nullptr;
    bool running = false;
    QLocalServer *localServer = nullptr;
    QString serverName;
    RequestHandler requestHandler;
};

#endif
