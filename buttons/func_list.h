// The two fixed lists of the button dialog: functions and key combinations. An entry's group id is the
// number sent to the mouse; entry 0 sits at the bottom of its list.
#ifndef FUNC_LIST_H
#define FUNC_LIST_H

#include <QList>
#include <QStringList>
#include <QWidget>

class QButtonGroup;
class QRadioButton;
class mkey_Edit;

// Unchecks the checked button of an exclusive group, if there is one.
void clearButtonSelection(QButtonGroup *group);

class func_List : public QWidget
{
    Q_OBJECT

public:
    static constexpr int EntryCount = 11;

    explicit func_List(QWidget *parent = nullptr);
    void retranslateUi();

    QStringList texts;
    QButtonGroup *group = nullptr;
    QList<QRadioButton *> entries;

signals:
    void func_btn_Toggled(int id, bool checked);

protected:
    void changeEvent(QEvent *event) override;
};

class combo_List : public QWidget
{
    Q_OBJECT

public:
    static constexpr int EntryCount = 10;
    static constexpr int CustomEntry = 0;

    explicit combo_List(QWidget *parent = nullptr);
    void retranslateUi();

    QStringList texts;
    QButtonGroup *group = nullptr;
    QList<QRadioButton *> entries;
    mkey_Edit *editor = nullptr;
    // The combination the custom entry names (set by get_mkey_value).
    QString customKeys;

signals:
    void combo_btn_Toggled(int id, bool checked);

public slots:
    // Labels the custom entry with the editor's combination.
    void get_mkey_value();
    // Selects the custom entry and has it written, also when it is already selected.
    void set_combo0_checked();

protected:
    void changeEvent(QEvent *event) override;
};

#endif
