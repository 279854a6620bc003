// The key-combination editor at the foot of the combination list. While its field has the focus it takes the
// whole keyboard, so that a combination such as Ctrl+Alt+Delete or Win+D is recorded instead of acted on.
#ifndef MKEY_EDIT_H
#define MKEY_EDIT_H

#include "buttons/keyhook.h"

#include <QString>
#include <QWidget>

class KeyboardCapture;
class QLineEdit;
class QPushButton;

class mkey_Edit : public QWidget
{
    Q_OBJECT

public:
    explicit mkey_Edit(QWidget *parent = nullptr);

    // Empties the combination without taking the keyboard.
    void forgetCombination();
    // Gives the keyboard back, whichever widget has the focus.
    void endKeyCapture();

    bool eventFilter(QObject *watched, QEvent *event) override;
    void retranslateUi();

    QLineEdit *lineEdit = nullptr;
    QPushButton *saveButton = nullptr;
    QPushButton *clearButton = nullptr;

    quint8 modifiers = 0;   // HID modifier bits
    quint8 vkey_code = 0;   // the one further key, 0 for none
    QString mkey_text;

    KeyboardCapture *capture = nullptr;

signals:
    void mkey_save_clicked();

public slots:
    // Rebuilds the text from the modifiers and the key.
    void show_mkey();
    // Starts a new combination.
    void clear_mkey();

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void takeKey(unsigned message, quint8 vk);

private:
    ComboKeyTracker tracker;
};

#endif
