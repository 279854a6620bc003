// The buttons page: eight circles over the mouse picture. Selecting one reads that button's assignment from
// the mouse and opens the dialog beside it; every choice made there is written to the mouse at once.
#ifndef BUTTONS_WIDGET_H
#define BUTTONS_WIDGET_H

#include <QPoint>
#include <QWidget>

class QButtonGroup;
class QGraphicsOpacityEffect;
class QPropertyAnimation;
class QSequentialAnimationGroup;
class btn_Dialog;

class buttons_Widget : public QWidget
{
    Q_OBJECT

public:
    static constexpr int FirstButtonId = 2;
    static constexpr int LastButtonId = 9;

    explicit buttons_Widget(QWidget *parent = nullptr);

    // Closes the dialog and drops the selection, whose assignment may no longer be the mouse's.
    void hideButtonDialog();
    // Where the dialog of a button opens, in screen coordinates.
    QPoint dialogPosition(int btn_id) const;

    QButtonGroup *buttonGroup = nullptr;
    btn_Dialog *dialog = nullptr;
    QPropertyAnimation *fadeIn = nullptr;
    QSequentialAnimationGroup *showAnimation = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private slots:
    void show_btn_dg(int btn_id, bool checked);
    void set_btn_unchecked();
    void set_mouse_btn(int func_id);
    void set_mkey_function();
    void set_micro_function();
    void btn_clicked(int btn_id);

private:
    void showAssignment(int btn_id);
    int checkedButton() const;

    QGraphicsOpacityEffect *opacity = nullptr;
    bool firstShow = true;
};

#endif
