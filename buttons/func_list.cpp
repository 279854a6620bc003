#include "buttons/func_list.h"

#include "buttons/mkey_edit.h"
#include "style/style.h"

#include <QButtonGroup>
#include <QEvent>
#include <QRadioButton>

namespace {

constexpr int EntryWidth = 275;
constexpr int EntryHeight = 34;
constexpr int EditorHeight = 60;

// Entry 0 goes last, below the others.
QButtonGroup *addEntries(QWidget *list, int count, QList<QRadioButton *> &entries)
{
    auto *group = new QButtonGroup(list);
    group->setExclusive(true);
    for (int id = 0; id < count; ++id) {
        auto *entry = new QRadioButton(list);
        entry->setStyleSheet(Style::listEntry);
        entry->setCursor(Qt::PointingHandCursor);
        const int row = id == 0 ? count - 1 : id - 1;
        entry->setGeometry(0, row * EntryHeight, EntryWidth, EntryHeight);
        group->addButton(entry, id);
        entries.append(entry);
    }
    return group;
}

} // namespace

void clearButtonSelection(QButtonGroup *group)
{
    group->setExclusive(false);
    if (QAbstractButton *checked = group->checkedButton())
        checked->setChecked(false);
    group->setExclusive(true);
}

func_List::func_List(QWidget *parent)
    : QWidget(parent)
{
    group = addEntries(this, EntryCount, entries);
    setFixedSize(EntryWidth, EntryCount * EntryHeight);
    connect(group, &QButtonGroup::idToggled, this, &func_List::func_btn_Toggled);
    retranslateUi();
}

void func_List::retranslateUi()
{
    texts = QStringList {
        tr("禁用"), tr("单击左键"), tr("单击右键"), tr("单击中键"), tr("后退"), tr("前进"),
        tr("提高DPI"), tr("降低DPI"), tr("瞄准键"), tr("向左滚动"), tr("向右滚动"),
    };
    for (int id = 0; id < EntryCount; ++id)
        entries.at(id)->setText(texts.at(id));
}

void func_List::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}

combo_List::combo_List(QWidget *parent)
    : QWidget(parent)
{
    group = addEntries(this, EntryCount, entries);
    editor = new mkey_Edit(this);
    editor->setGeometry(0, EntryCount * EntryHeight, 242, EditorHeight);
    setFixedSize(EntryWidth, EntryCount * EntryHeight + EditorHeight);
    connect(group, &QButtonGroup::idToggled, this, &combo_List::combo_btn_Toggled);
    connect(editor, &mkey_Edit::mkey_save_clicked, this, &combo_List::set_combo0_checked);
    retranslateUi();
}

void combo_List::retranslateUi()
{
    texts = QStringList {
        tr("自定义组合键:"), tr("关闭窗口(ALT+F4)"), tr("显示桌面(WIN+D)"),
        tr("浏览器中的下一个标签(Ctrl+Tab)"), tr("浏览器中的上一个标签(Ctrl+Shift+Tab)"), tr("剪切(Ctrl+X)"),
        tr("粘贴(Ctrl+V)"), tr("撤销(Ctrl+Z)"), tr("重做(Ctrl+Y)"), tr("复制(Ctrl+C)"),
    };
    for (int id = 0; id < EntryCount; ++id)
        entries.at(id)->setText(texts.at(id));
    entries.at(CustomEntry)->setText(texts.at(CustomEntry) + customKeys);
}

void combo_List::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}

void combo_List::get_mkey_value()
{
    customKeys = editor->mkey_text;
    entries.at(CustomEntry)->setText(tr("自定义组合键:") + customKeys);
}

void combo_List::set_combo0_checked()
{
    QRadioButton *custom = entries.at(CustomEntry);
    if (custom->isChecked())
        emit combo_btn_Toggled(CustomEntry, true);
    else
        custom->setChecked(true);
}
