// The application object; only one instance runs per executable file name.
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

    // The name of the local socket the running window listens on.
    static QString instanceKey();

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
