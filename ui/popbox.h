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

    void retranslateUi();

signals:
    void ok_clicked();

public slots:
    void setPopupText(QString text);
    void setOkBtnText(QString text);

protected:
    void changeEvent(QEvent *event) override;

private:
    QLabel *textLabel;
    QPushButton *okButton;
    QPushButton *cancelButton;
    // Texts set by the owner, who also translates them.
    bool ownText = false;
    bool ownOkText = false;
};

#endif
