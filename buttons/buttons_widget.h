// The buttons page: eight circles over the mouse picture. Selecting one opens the dialog beside it and asks the
// mouse for that button's assignment, which the dialog shows once it arrives; every choice made there is written
// to the mouse at once.
#ifndef BUTTONS_WIDGET_H
#define BUTTONS_WIDGET_H

#include <QHash>
#include <QPoint>
#include <QWidget>

class Mouse;
class QButtonGroup;
class QGraphicsOpacityEffect;
class QPropertyAnimation;
class QSequentialAnimationGroup;
class btn_Dialog;
struct ButtonRead;

class buttons_Widget : public QWidget
{
    Q_OBJECT

public:
    static constexpr int FirstButtonId = 2;
    static constexpr int LastButtonId = 9;

    explicit buttons_Widget(Mouse &mouse, QWidget *parent = nullptr);

    // Closes the dialog and drops the selection, whose assignment may no longer be the mouse's.
    void hideButtonDialog();
    // Where the dialog of a button opens, in screen coordinates.
    QPoint dialogPosition(int btn_id) const;

    QButtonGroup *buttonGroup = nullptr;
    btn_Dialog *dialog = nullptr;
    QPropertyAnimation *fadeIn = nullptr;
    QSequentialAnimationGroup *showAnimation = nullptr;

    void retranslateUi();

protected:
    void changeEvent(QEvent *event) override;
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
    // What a button is known to do, as read from the mouse or written to it: a dialog page and its entry, with
    // the keys of a custom combination.
    struct KnownAssignment
    {
        int page = 0;
        int entry = 0;
        QString keys;
    };

    // Names each mouse button by its number and, where known, its assignment, in the language in use.
    void nameButtons();
    void knowAssignment(int btn_id, const KnownAssignment &assignment);
    QString assignmentText(const KnownAssignment &assignment) const;
    // Asks the mouse for the button's assignment; the dialog shows nothing of the button until it answers.
    void readAssignment(int btn_id);
    void showAssignment(const ButtonRead &read);
    int checkedButton() const;

    Mouse &mouse;
    quint64 assignmentReads = 0;   // only the newest read's answer is shown
    QGraphicsOpacityEffect *opacity = nullptr;
    bool firstShow = true;
    QHash<int, KnownAssignment> knownAssignments;
};

#endif
