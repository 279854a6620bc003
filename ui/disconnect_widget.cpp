#include "ui/disconnect_widget.h"

#include <QLabel>

disconnect_Widget::disconnect_Widget(QWidget *parent)
    : QWidget(parent)
{
    auto *icon = new QLabel(this);
    icon->setGeometry(0, 253, 1200, 75);
    icon->setAlignment(Qt::AlignHCenter);
    icon->setPixmap(QPixmap(QStringLiteral(":/img/warning_75x75")));

    auto *title = new QLabel(tr("未检测到设备"), this);
    title->setGeometry(0, 353, 1200, 18);
    title->setStyleSheet(QStringLiteral("font-size:18px;color:rgba(255,255,255,0.9)"));
    title->setAlignment(Qt::AlignCenter);

    auto *hint = new QLabel(tr("请检查USB是否正确接入"), this);
    hint->setGeometry(0, 383, 1200, 14);
    hint->setStyleSheet(QStringLiteral("font-size:14px;color:rgba(255,255,255,0.4)"));
    hint->setAlignment(Qt::AlignCenter);
}
