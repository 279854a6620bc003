#include "update/config_widget.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

config_Widget::config_Widget(QWidget *parent)
    : QWidget(parent)
    , languageBox(new QComboBox(this))
    , fwVersionButton(new QPushButton(this))
    , fwUpdateMark(new QLabel(this))
{
    languageBox->addItems({ tr("简体中文"), tr("繁体中文") });
    fwVersionButton->hide();
    fwUpdateMark->hide();
}

void config_Widget::showFirmwareVersion(const QString &text)
{
    fwVersionButton->setText(text);
    fwVersionButton->disconnect();
    fwVersionButton->show();
}
