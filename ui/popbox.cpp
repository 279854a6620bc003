#include "ui/popbox.h"

#include "style/style.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

PopBox::PopBox(QWidget *parent)
    : QDialog(parent, Qt::Popup | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(530, 76);

    auto *background = new QLabel(this);
    background->setGeometry(0, 0, 530, 76);
    background->setStyleSheet(Style::popupBody);

    auto *icon = new QLabel(this);
    icon->setGeometry(46, 18, 40, 40);
    icon->setPixmap(Style::picture(QStringLiteral(":/img/warning_40x40")));

    textLabel = new QLabel(this);
    textLabel->setObjectName(QStringLiteral("textLabel"));
    textLabel->setGeometry(Style::textBox({ 100, 32, 230, 12 }));
    textLabel->setStyleSheet(Style::label);

    okButton = new QPushButton(this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setGeometry(414, 25, 70, 26);
    okButton->setStyleSheet(Style::pressButton);

    cancelButton = new QPushButton(this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setGeometry(334, 25, 70, 26);
    cancelButton->setStyleSheet(Style::pressButton);

    connect(cancelButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(okButton, &QPushButton::clicked, this, &PopBox::ok_clicked);
    connect(okButton, &QPushButton::clicked, this, &QWidget::hide);
    retranslateUi();
}

void PopBox::retranslateUi()
{
    if (!ownText)
        textLabel->setText(tr("请确认操作"));
    setWindowTitle(textLabel->text());
    if (!ownOkText)
        okButton->setText(tr("确定"));
    cancelButton->setText(tr("取消"));
}

void PopBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QDialog::changeEvent(event);
}

void PopBox::setPopupText(QString text)
{
    ownText = true;
    textLabel->setText(text);
    // The pop-up's accessible name: what it asks.
    setWindowTitle(text);
}

void PopBox::setOkBtnText(QString text)
{
    ownOkText = true;
    okButton->setText(text);
}
