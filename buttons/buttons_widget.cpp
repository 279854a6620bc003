#include "buttons/buttons_widget.h"

buttons_Widget::buttons_Widget(QWidget *parent)
    : QWidget(parent)
{
}

void buttons_Widget::hideButtonDialog()
{
}
