#ifndef BUTTONS_WIDGET_H
#define BUTTONS_WIDGET_H

#include <QWidget>

// The buttons page: eight circles over the mouse picture and the dialog that assigns a function to each.
class buttons_Widget : public QWidget
{
    Q_OBJECT

public:
    explicit buttons_Widget(QWidget *parent = nullptr);

    void hideButtonDialog();
};

#endif
