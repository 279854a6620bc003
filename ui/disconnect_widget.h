// The page shown while no mouse is connected.
#ifndef DISCONNECT_WIDGET_H
#define DISCONNECT_WIDGET_H

#include <QWidget>

class QLabel;

class disconnect_Widget : public QWidget
{
    Q_OBJECT

public:
    explicit disconnect_Widget(QWidget *parent = nullptr);

    void retranslateUi();
    // Waiting for the mouse that another program of this user's holds, rather than none found.
    void showWaitingForMouse(bool waiting);

protected:
    void changeEvent(QEvent *event) override;

private:
    QLabel *title = nullptr;
    QLabel *hint = nullptr;
    bool waiting = false;
};

#endif
