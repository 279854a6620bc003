// Small confirmation pop-up: a warning icon, a question and confirm/cancel buttons.
#ifndef POPBOX_H
#define POPBOX_H

#include <QDialog>

class QLabel;
class QPushButton;

class PopBox : public QDialog
{
    Q_OBJECT

public:
    explicit PopBox(QWidget *parent = nullptr);

signals:
    void ok_clicked();

public slots:
    void setPopupText(QString text);
    void setOkBtnText(QString text);

private:
    QLabel *textLabel;
    QPushButton *okButton;
    QPushButton *cancelButton;
};

#endif
