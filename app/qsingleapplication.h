// The application object; only one instance runs per executable file name and user.
#ifndef QSINGLEAPPLICATION_H
#define QSINGLEAPPLICATION_H

#include "app/meetingplace.h"

#include <QApplication>

#include <functional>

class Endpoint;
class QLocalSocket;
class QWidget;

class QSingleApplication : public QApplication
{
    Q_OBJECT

public:
    // How long a start waits for a running instance to greet it. One that does not (stopped, or a process that
    // only inherited its endpoint) counts as gone: this start takes its place.
    static constexpr int AnswerWaitMs = 3000;

    QSingleApplication(int &argc, char **argv);

    // Where this user's programs meet. Not private: nothing listens, and the program must not start.
    const MeetingPlace &meetingPlace() const { return place; }
    bool isRunning() const;
    void setMainWindow(QWidget *window);

    // A command line's request that reaches the window (over either endpoint): the handler answers it through
    // `connection` (Endpoint::answer()).
    using RequestHandler = std::function<void(const QByteArray &line, QLocalSocket *connection)>;
    void setRequestHandler(RequestHandler handler);
    // Listens on the mouse's hand-over endpoint, where command lines of every executable name find the window, unless
    // another window of this user's answers there. Tried again when this one takes the mouse.
    void claimHandOverEndpoint();
    // Quitting: sends the answers still on their way, for up to `timeoutMs`, and stops listening.
    void closeEndpoints(int timeoutMs);

private slots:
    void _newLocalConnection(const QByteArray &line, QLocalSocket *connection);

private:
    void activateMainWindow();
    void startLocalServer();

    QWidget *mainWindow = nullptr;
    bool running = false;
    Endpoint *localServer = nullptr;
    QString serverName;
    Endpoint *handOverServer = nullptr;
    MeetingPlace place;
    RequestHandler requestHandler;
};

#endif
