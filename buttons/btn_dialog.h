// The pop-up beside a selected mouse button: pages for a function, a key combination and a macro, and a title
// naming the button's assignment. Every choice is reported at once; the page writes it to the mouse.
#ifndef BTN_DIALOG_H
#define BTN_DIALOG_H

#include <QDialog>

class QButtonGroup;
class QLabel;
class QPropertyAnimation;
class QPushButton;
class QScrollArea;
class combo_List;
class func_List;
class micro_Widget;

class btn_Dialog : public QDialog
{
    Q_OBJECT

public:
    enum Page { FunctionPage = 0, CombinationPage = 1, MacroPage = 2 };

    explicit btn_Dialog(QWidget *parent = nullptr);

    // Showing fades in; hiding fades out and hides when the fade has finished.
    void setVisible(bool visible) override;
    int currentPage() const;
    // Ends a macro recording and gives back the keyboard, whichever widget has the focus.
    void endKeyCapture();
    // Shows no assignment at all: nothing chosen in the lists, no macro, no combination, the function page and
    // no title.
    void showNoAssignment();
    void retranslateUi();

    QLabel *titleLabel = nullptr;
    QScrollArea *funcArea = nullptr;
    QScrollArea *comboArea = nullptr;
    func_List *funcList = nullptr;
    combo_List *comboList = nullptr;
    micro_Widget *recorder = nullptr;
    QButtonGroup *pageGroup = nullptr;
    QPropertyAnimation *fadeIn = nullptr;
    QPropertyAnimation *fadeOut = nullptr;

signals:
    void set_btn(int ID);
    void save_micro_clicked(int ID);

public slots:
    // Titles the dialog with the current page's selection.
    void show_btn_text(int ID, bool checked);
    // Clears the selection of the lists of the other pages.
    void btn_clear(int ID, bool checked);
    // Hides at once, without the fade.
    void set_hide();

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void dg_switch(int btn_id, bool checked);
    void set_checked_btn(int ID, bool checked);
    void save_micro();

private:
    void clearOtherLists(int page);

    // Whether a macro's title is shown when no list entry is checked (else the initial one).
    bool macroTitle = false;
};

#endif
