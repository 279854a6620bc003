#include "buttons/buttons_widget.h"

#include "buttons/btn_dialog.h"
#include "buttons/buttondevice.h"
#include "buttons/func_list.h"
#include "buttons/keytables.h"
#include "buttons/micro_widget.h"
#include "buttons/mkey_edit.h"
#include "device/mouse.h"
#include "style/style.h"

#include <QButtonGroup>
#include <QDebug>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPauseAnimation>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QRadioButton>
#include <QSequentialAnimationGroup>
#include <QSignalBlocker>

namespace {

constexpr int ShowPauseMs = 800;
constexpr int FadeInMs = 500;

struct ButtonPlace
{
    int id;
    QPoint position;
    int anchorId;   // the button whose position places the dialog
    QPoint dialogOffset;
};

// Buttons 3 and 4 lie on the right of the picture; each opens its dialog from the other's position.
constexpr ButtonPlace buttonPlaces[] = {
    { 2, { 386, 208 }, 2, { 30, -12 } },
    { 3, { 820, 350 }, 4, { -350, -60 } },
    { 4, { 814, 302 }, 3, { -350, -60 } },
    { 5, { 386, 276 }, 5, { 30, -12 } },
    { 6, { 386, 306 }, 6, { 30, -12 } },
    { 7, { 786, 276 }, 7, { 30, -12 } },
    { 8, { 360, 214 }, 8, { 30, -12 } },
    { 9, { 412, 214 }, 9, { 30, -12 } },
};

const ButtonPlace *placeOf(int btn_id)
{
    for (const ButtonPlace &place : buttonPlaces) {
        if (place.id == btn_id)
            return &place;
    }
    return nullptr;
}

void checkEntry(QButtonGroup *group, int id, int count)
{
    if (id < count)
        group->button(id)->setChecked(true);
}

} // namespace

buttons_Widget::buttons_Widget(Mouse &mouse, QWidget *parent)
    : QWidget(parent)
    , mouse(mouse)
{
    buttonGroup = new QButtonGroup(this);
    buttonGroup->setExclusive(true);
    for (const ButtonPlace &place : buttonPlaces) {
        auto *button = new QPushButton(this);
        button->setCheckable(true);
        button->setGeometry(QRect(place.position, QSize(22, 22)));
        button->setCursor(Qt::PointingHandCursor);
        button->setFocusPolicy(Qt::TabFocus);
        button->setStyleSheet(
            QStringLiteral("QPushButton{border:none;background:transparent;image:url(:/img/button.png);}"
                           "QPushButton:checked,QPushButton:hover{image:url(:/img/button_selected.png);}")
            + Style::pictureButtonFocus + QStringLiteral("QPushButton:focus{border-radius:11px;}"));
        buttonGroup->addButton(button, place.id);
    }
    dialog = new btn_Dialog(this);

    opacity = Style::fadeEffect(this, 0.0);
    fadeIn = new QPropertyAnimation(opacity, "opacity");
    fadeIn->setDuration(FadeInMs);
    fadeIn->setStartValue(0.0);
    fadeIn->setEndValue(1.0);
    fadeIn->setEasingCurve(QEasingCurve::InQuad);
    showAnimation = new QSequentialAnimationGroup(this);
    showAnimation->addPause(ShowPauseMs);
    showAnimation->addAnimation(fadeIn);

    connect(buttonGroup, &QButtonGroup::idToggled, this, &buttons_Widget::show_btn_dg);
    connect(buttonGroup, &QButtonGroup::idClicked, this, &buttons_Widget::btn_clicked);
    connect(dialog, &btn_Dialog::set_btn, this, &buttons_Widget::set_mouse_btn);
    connect(dialog, &btn_Dialog::save_micro_clicked, this, &buttons_Widget::set_mouse_btn);
    retranslateUi();
}

void buttons_Widget::retranslateUi()
{
    setAccessibleName(tr("按键设置"));
    nameButtons();
}

void buttons_Widget::changeEvent(QEvent *event)
{
    // A parent hears of the change before its children: the dialog's lists, whose texts name the assignments,
    // are brought into the new language first.
    if (event->type() == QEvent::LanguageChange) {
        dialog->retranslateUi();
        retranslateUi();
    }
    QWidget::changeEvent(event);
}

void buttons_Widget::nameButtons()
{
    for (QAbstractButton *button : buttonGroup->buttons()) {
        const int id = buttonGroup->id(button);
        const auto known = knownAssignments.constFind(id);
        button->setAccessibleName(known == knownAssignments.constEnd()
                                      ? tr("按键 %1").arg(id)
                                      : tr("按键 %1：%2").arg(id).arg(assignmentText(*known)));
        button->setAccessibleDescription(tr("打开这个按键的设置"));
        // The dialog, a window of its own, is named after the button it sets.
        if (id == checkedButton())
            dialog->setWindowTitle(button->accessibleName());
    }
}

void buttons_Widget::knowAssignment(int btn_id, const KnownAssignment &assignment)
{
    knownAssignments.insert(btn_id, assignment);
    nameButtons();
}

QString buttons_Widget::assignmentText(const KnownAssignment &assignment) const
{
    switch (assignment.page) {
    case btn_Dialog::FunctionPage:
        return dialog->funcList->texts.value(assignment.entry);
    case btn_Dialog::CombinationPage:
        if (assignment.entry == combo_List::CustomEntry)
            return dialog->comboList->texts.value(assignment.entry) + assignment.keys;
        return dialog->comboList->texts.value(assignment.entry);
    default:
        return tr("多键宏");
    }
}

void buttons_Widget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    showAnimation->setDirection(QAbstractAnimation::Forward);
    showAnimation->start();
    if (firstShow) {
        // The first appearance comes with the window's own fade: no pause before it.
        showAnimation->setCurrentTime(ShowPauseMs);
        firstShow = false;
    }
}

void buttons_Widget::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // Another page or the tray replaces this one: its dialog, a window of its own, goes too.
    dialog->hide();
    showAnimation->setDirection(QAbstractAnimation::Backward);
    showAnimation->start();
}

void buttons_Widget::hideButtonDialog()
{
    dialog->hide();
    set_btn_unchecked();
    // Called when the mouse is read afresh or has gone: what the buttons did may no longer hold.
    knownAssignments.clear();
    nameButtons();
}

QPoint buttons_Widget::dialogPosition(int btn_id) const
{
    const ButtonPlace *place = placeOf(btn_id);
    if (!place)
        return {};
    return mapToGlobal(QPoint(0, 0)) + buttonGroup->button(place->anchorId)->pos() + place->dialogOffset;
}

int buttons_Widget::checkedButton() const
{
    return buttonGroup->checkedId();
}

void buttons_Widget::btn_clicked(int btn_id)
{
    if (btn_id == checkedButton())
        show_btn_dg(btn_id, true);
}

void buttons_Widget::set_btn_unchecked()
{
    clearButtonSelection(buttonGroup);
}

void buttons_Widget::show_btn_dg(int btn_id, bool checked)
{
    if (!checked)
        return;
    readAssignment(btn_id);
    dialog->recorder->setButton(btn_id);
    nameButtons();
    if (placeOf(btn_id)) {
        dialog->move(dialogPosition(btn_id));
        dialog->show();
    }
}

void buttons_Widget::readAssignment(int btn_id)
{
    // Until the mouse answers, what the dialog holds belongs to another button: nothing of it may be chosen or
    // saved for this one.
    dialog->setEnabled(false);
    const quint64 asked = ++assignmentReads;
    mouse.link().ask(
        this, readButtonJob(quint8(btn_id)),
        [this, asked](const QVariant &result) {
            const ButtonRead read = result.value<ButtonRead>();
            if (asked != assignmentReads)
                return;
            dialog->setEnabled(true);
            if (read.buttonId == checkedButton())
                showAssignment(read);
        },
        [this, asked](MouseLink::Failure) {
            if (asked != assignmentReads)
                return;
            dialog->setEnabled(true);
            // Show nothing, so that nothing of the other button can be saved to this one.
            const QSignalBlocker blockFunctions(dialog->funcList->group);
            const QSignalBlocker blockCombos(dialog->comboList->group);
            dialog->showNoAssignment();
        });
}

void buttons_Widget::showAssignment(const ButtonRead &read)
{
    func_List *functions = dialog->funcList;
    combo_List *combos = dialog->comboList;
    const QSignalBlocker blockFunctions(functions->group);
    const QSignalBlocker blockCombos(combos->group);
    const ButtonAssignment &assignment = read.assignment;
    qDebug() << "func_type" << int(assignment.funcType);
    qDebug() << "func_id" << int(assignment.funcId);

    // The macro page shows this button's macro or none: never one left from another button.
    if (assignment.funcType == FuncType::Function || assignment.funcType == FuncType::Combination)
        dialog->recorder->clearMacro();
    switch (assignment.funcType) {
    case FuncType::Function:
        dialog->pageGroup->button(btn_Dialog::FunctionPage)->setChecked(true);
        checkEntry(functions->group, assignment.funcId, func_List::EntryCount);
        if (assignment.funcId < func_List::EntryCount)
            knowAssignment(read.buttonId, { btn_Dialog::FunctionPage, assignment.funcId, QString() });
        break;
    case FuncType::Combination:
        dialog->pageGroup->button(btn_Dialog::CombinationPage)->setChecked(true);
        if (assignment.funcId == CustomComboId) {
            mkey_Edit *editor = combos->editor;
            editor->modifiers = assignment.param;
            editor->vkey_code = usage_to_vk(assignment.key);
            editor->show_mkey();
            combos->get_mkey_value();
            combos->entries.at(combo_List::CustomEntry)->setChecked(true);
            knowAssignment(read.buttonId, { btn_Dialog::CombinationPage, CustomComboId, editor->mkey_text });
        } else {
            checkEntry(combos->group, assignment.funcId, combo_List::EntryCount);
            if (assignment.funcId < combo_List::EntryCount)
                knowAssignment(read.buttonId, { btn_Dialog::CombinationPage, assignment.funcId, QString() });
        }
        break;
    case FuncType::Macro: {
        knowAssignment(read.buttonId, { btn_Dialog::MacroPage, 0, QString() });
        dialog->pageGroup->button(btn_Dialog::MacroPage)->setChecked(true);
        micro_Widget *recorder = dialog->recorder;
        recorder->record_delay = assignment.funcId != 0;
        recorder->events = read.events;
        recorder->show_records_list(recorder->record_delay);
        break;
    }
    default:
        return;
    }
    dialog->show_btn_text(0, true);
    dialog->btn_clear(0, true);
}

void buttons_Widget::set_mouse_btn(int func_id)
{
    const int page = dialog->currentPage();
    if (func_id == CustomComboId && page == btn_Dialog::CombinationPage) {
        dialog->comboList->get_mkey_value();
        set_mkey_function();
    } else if (page == btn_Dialog::MacroPage) {
        set_micro_function();
    } else if (checkedButton() >= 0) {
        const quint8 button = quint8(checkedButton());
        knowAssignment(button, { page, func_id, QString() });
        mouse.sendCommand(QString(), [button, page, func_id](quint8 *buffer) {
            AssignmentCodec::writeAssignment(buffer, button, quint8(page), quint8(func_id));
        });
    }
}

void buttons_Widget::set_mkey_function()
{
    if (checkedButton() < 0)
        return;
    const mkey_Edit *editor = dialog->comboList->editor;
    const quint8 button = quint8(checkedButton());
    const quint8 modifiers = editor->modifiers;
    const quint8 usage = vk_to_usage(editor->vkey_code);
    knowAssignment(button, { btn_Dialog::CombinationPage, CustomComboId, editor->mkey_text });
    mouse.sendCommand(QString(), [button, modifiers, usage](quint8 *buffer) {
        AssignmentCodec::writeCombination(buffer, button, modifiers, usage);
    });
}

void buttons_Widget::set_micro_function()
{
    if (checkedButton() < 0)
        return;
    const micro_Widget *recorder = dialog->recorder;
    knowAssignment(checkedButton(), { btn_Dialog::MacroPage, 0, QString() });
    mouse.link().request(writeButtonMacroJob(quint8(checkedButton()), recorder->record_delay, recorder->events));
}
