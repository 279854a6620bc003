#include "ui/disconnect_widget.h"

#include "style/style.h"

#include <QEvent>
#include <QLabel>

disconnect_Widget::disconnect_Widget(QWidget *parent)
    : QWidget(parent)
{
    auto *icon = new QLabel(this);
    icon->setGeometry(0, 253, 1200, 75);
    icon->setAlignment(Qt::AlignHCenter);
    icon->setPixmap(Style::picture(QStringLiteral(":/img/warning_75x75")));

    title = new QLabel(this);
    title->setGeometry(Style::textBox({ 0, 353, 1200, 18 }, 18));
    title->setStyleSheet(QStringLiteral("font-size:18px;color:rgba(255,255,255,0.9)"));
    title->setAlignment(Qt::AlignCenter);

    hint = new QLabel(this);
    hint->setGeometry(Style::textBox({ 0, 383, 1200, 14 }, 14));
    hint->setStyleSheet(QStringLiteral("font-size:14px;color:rgba(255,255,255,0.4)"));
    hint->setAlignment(Qt::AlignCenter);
    retranslateUi();
}

void disconnect_Widget::retranslateUi()
{
    if (waiting) {
        title->setText(tr("正在等待鼠标"));
        hint->setText(tr("本程序的命令行或另一个窗口正在使用鼠标，用完后自动连接"));
    } else {
        title->setText(tr("未检测到设备"));
        hint->setText(tr("请检查USB是否正确接入"));
    }
    setAccessibleName(title->text());
}

void disconnect_Widget::showWaitingForMouse(bool waitingNow)
{
    waiting = waitingNow;
    retranslateUi();
}

void disconnect_Widget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}
