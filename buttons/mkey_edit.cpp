#include "buttons/mkey_edit.h"

#include "buttons/keytables.h"
#include "platform/keyboardcapture.h"
#include "style/style.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

mkey_Edit::mkey_Edit(QWidget *parent)
    : QWidget(parent)
{
    lineEdit = new QLineEdit(this);
    lineEdit->setGeometry(0, 0, 242, 26);
    lineEdit->setReadOnly(true);
    lineEdit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lineEdit->setStyleSheet(QStringLiteral(
        "QLineEdit{border:1px solid rgba(255,255,255,0.14);border-radius:2px;background-color:rgba(0,0,0,0.34);"
        "font:12px;color:rgba(255,255,255,0.7);padding-left:6px;}"
        "QLineEdit:hover,QLineEdit:focus{border:1px solid #2bac39;}"));

    saveButton = new QPushButton(this);
    saveButton->setGeometry(100, 34, 90, 26);
    saveButton->setStyleSheet(Style::pressButton);
    saveButton->setEnabled(false);

    clearButton = new QPushButton(this);
    clearButton->setGeometry(0, 34, 90, 26);
    clearButton->setStyleSheet(Style::pressButton);
    clearButton->setEnabled(false);

    capture = new KeyboardCapture(this);
    connect(capture, &KeyboardCapture::keyMessage, this, &mkey_Edit::takeKey);
    connect(saveButton, &QPushButton::clicked, this, &mkey_Edit::mkey_save_clicked);
    connect(clearButton, &QPushButton::clicked, this, &mkey_Edit::clear_mkey);
    lineEdit->installEventFilter(this);
    retranslateUi();
}

void mkey_Edit::retranslateUi()
{
    saveButton->setText(tr("保存"));
    clearButton->setText(tr("清除"));
    lineEdit->setAccessibleName(tr("自定义组合键"));
    lineEdit->setAccessibleDescription(tr("在这里按下组合键的各个按键，再选择保存"));
}

void mkey_Edit::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}

bool mkey_Edit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lineEdit) {
        switch (event->type()) {
        case QEvent::FocusIn:
            // Keys released while the field did not have the keyboard were never seen going up.
            tracker.releaseAll();
            capture->start(lineEdit);
            lineEdit->update();
            return true;
        case QEvent::FocusOut:
            capture->stop();
            lineEdit->update();
            return true;
        case QEvent::Hide:
            // A closing pop-up leaves the focus on its hidden child: the keyboard would stay taken.
            endKeyCapture();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void mkey_Edit::takeKey(unsigned message, quint8 vk)
{
    // Volume and media keys: the mouse has no code for them.
    if (!hasUsage(vk))
        return;
    if (tracker.apply(message, vk, modifiers, vkey_code))
        show_mkey();
}

void mkey_Edit::show_mkey()
{
    mkey_text.clear();
    for (const ModifierKey &key : modifierKeys) {
        if (modifiers & key.bit)
            mkey_text += QLatin1String(key.prefix);
    }
    const QString name = key_name(vkey_code);
    if (name.isEmpty())
        mkey_text.chop(1);
    else
        mkey_text += name;
    lineEdit->setText(mkey_text);
    clearButton->setEnabled(true);
    saveButton->setEnabled(true);
}

void mkey_Edit::clear_mkey()
{
    forgetCombination();
    lineEdit->setFocus(Qt::OtherFocusReason);
}

void mkey_Edit::forgetCombination()
{
    modifiers = 0;
    vkey_code = 0;
    // The custom entry is labelled from this text: after a clear it must not name the old combination.
    mkey_text.clear();
    lineEdit->clear();
    saveButton->setEnabled(false);
}

void mkey_Edit::endKeyCapture()
{
    capture->stop();
    lineEdit->clearFocus();
}
