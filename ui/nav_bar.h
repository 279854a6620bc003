// Navigation bar at the bottom of the main window: selects the buttons, lighting or pointer page.
#ifndef NAV_BAR_H
#define NAV_BAR_H

#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QPushButton;

class Nav_Bar : public QWidget
{
    Q_OBJECT

public:
    explicit Nav_Bar(QWidget *parent = nullptr);
    ~Nav_Bar() override;

    // The page button with id 1, 2 or 3 (the page index it selects).
    QAbstractButton *button(int id) const;
    int checkedId() const;
    // Checks a page button from code; like a click it reports the page when the checked button changes.
    void checkButton(int id);
    void retranslateUi();

signals:
    void nav_btn_selected(int id);

public slots:
    void nav_btn_toggled(int ID, bool checked);

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *obj, QEvent *event) override;

private:
    QButtonGroup *buttonGroup;
    QPushButton *buttonsButton;
    QPushButton *ledsButton;
    QPushButton *pointerButton;
    QLabel *tipLabel;
    int tipIndex = -1;
};

#endif
