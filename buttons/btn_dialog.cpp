#include "buttons/btn_dialog.h"

#include "buttons/func_list.h"
#include "buttons/micro_widget.h"
#include "buttons/mkey_edit.h"
#include "style/style.h"

#include <QButtonGroup>
#include <QEvent>
#include <QLabel>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>

namespace {

constexpr int FadeMs = 500;
const QRect listArea(20, 50, 304, 200);

QScrollArea *makeScrollArea(QWidget *content, QWidget *parent)
{
    auto *area = new QScrollArea(parent);
    area->setGeometry(listArea);
    area->setStyleSheet(Style::scrollArea);
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->viewport()->setAutoFillBackground(false);
    area->setWidget(content);
    content->setAutoFillBackground(false);
    return area;
}

QPropertyAnimation *makeFade(QWidget *window, qreal from, qreal to)
{
    auto *fade = new QPropertyAnimation(window, "windowOpacity", window);
    fade->setDuration(FadeMs);
    fade->setStartValue(from);
    fade->setEndValue(to);
    fade->setEasingCurve(QEasingCurve::OutQuad);
    return fade;
}

} // namespace

btn_Dialog::btn_Dialog(QWidget *parent)
    : QDialog(parent, Qt::Popup | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(334, 334);

    auto *body = new QLabel(this);
    body->setGeometry(0, 32, 334, 302);
    body->setStyleSheet(QStringLiteral(
        "background-color:rgba(45,46,51,90%);border-bottom-left-radius:2px;border-bottom-right-radius:2px"));
    auto *header = new QLabel(this);
    header->setGeometry(0, 0, 334, 32);
    header->setStyleSheet(QStringLiteral(
        "background-color:#2bac39;border-top-left-radius:2px;border-top-right-radius:2px"));
    // The rule above the page buttons; drawn by the dialog itself it would lie under the body.
    auto *separator = new QLabel(this);
    separator->setGeometry(20, 274, 295, 1);
    separator->setStyleSheet(QStringLiteral("background-color:rgba(0,0,0,20%)"));
    titleLabel = new QLabel(tr("单击左键"), this);
    titleLabel->setGeometry(0, 0, 334, 32);
    titleLabel->setStyleSheet(
        QStringLiteral("background-color:transparent;margin-left:20px;font:12px;color:white"));

    funcList = new func_List;
    funcArea = makeScrollArea(funcList, this);
    comboList = new combo_List;
    comboArea = makeScrollArea(comboList, this);
    comboArea->hide();
    recorder = new micro_Widget(this);
    recorder->setGeometry(listArea);
    recorder->hide();

    pageGroup = new QButtonGroup(this);
    for (int page = FunctionPage; page <= MacroPage; ++page) {
        auto *button = new QPushButton(this);
        button->setGeometry(20 + 102 * page, 287, 90, 26);
        button->setCheckable(true);
        button->setStyleSheet(Style::checkableButton);
        button->setCursor(Qt::PointingHandCursor);
        pageGroup->addButton(button, page);
    }
    pageGroup->button(FunctionPage)->setChecked(true);

    // A graphics effect on a translucent window leaves stale, doubly blended patches after partial repaints;
    // the window's own opacity fades it cleanly.
    fadeOut = makeFade(this, 1.0, 0.0);
    fadeIn = makeFade(this, 0.0, 1.0);

    connect(pageGroup, &QButtonGroup::idToggled, this, &btn_Dialog::dg_switch);
    connect(funcList, &func_List::func_btn_Toggled, this, &btn_Dialog::set_checked_btn);
    connect(funcList, &func_List::func_btn_Toggled, this, &btn_Dialog::show_btn_text);
    connect(funcList, &func_List::func_btn_Toggled, this, &btn_Dialog::btn_clear);
    connect(comboList, &combo_List::combo_btn_Toggled, this, &btn_Dialog::set_checked_btn);
    connect(comboList, &combo_List::combo_btn_Toggled, this, &btn_Dialog::show_btn_text);
    connect(comboList, &combo_List::combo_btn_Toggled, this, &btn_Dialog::btn_clear);
    connect(recorder->saveButton, &QPushButton::clicked, this, &btn_Dialog::save_micro);
    connect(recorder, &micro_Widget::macroEdited, this, &btn_Dialog::save_micro);
    connect(fadeOut, &QPropertyAnimation::finished, this, &btn_Dialog::set_hide);
    retranslateUi();
}

void btn_Dialog::retranslateUi()
{
    const QString pageNames[] = { tr("功能键"), tr("组合键"), tr("多键宏") };
    for (int page = FunctionPage; page <= MacroPage; ++page)
        pageGroup->button(page)->setText(pageNames[page]);
    funcArea->setAccessibleName(pageNames[FunctionPage]);
    comboArea->setAccessibleName(pageNames[CombinationPage]);

    // The title names the checked entry; the lists must be in the new language first.
    funcList->retranslateUi();
    comboList->retranslateUi();
    if (QAbstractButton *entry = funcList->group->checkedButton())
        titleLabel->setText(entry->text());
    else if (QAbstractButton *entry = comboList->group->checkedButton())
        titleLabel->setText(entry->text());
    else if (!titleLabel->text().isEmpty())
        titleLabel->setText(macroTitle ? tr("多键宏") : tr("单击左键"));
}

void btn_Dialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QDialog::changeEvent(event);
}

int btn_Dialog::currentPage() const
{
    return pageGroup->checkedId();
}

void btn_Dialog::setVisible(bool visible)
{
    // The fade-out keeps the dialog on screen for a while; the keyboard must not stay taken meanwhile, nor the
    // macro editor open over the program.
    if (!visible) {
        endKeyCapture();
        recorder->closeEditor();
    }
    if (visible) {
        fadeOut->stop();
        fadeIn->start();
        QDialog::setVisible(true);
        return;
    }
    if (!isVisible() || fadeOut->state() == QAbstractAnimation::Running)
        return;
    fadeIn->stop();
    fadeOut->start();
}

void btn_Dialog::endKeyCapture()
{
    if (recorder->recording())
        recorder->stop_record();
    comboList->editor->endKeyCapture();
}

void btn_Dialog::showNoAssignment()
{
    recorder->clearMacro();
    comboList->editor->forgetCombination();
    comboList->get_mkey_value();
    clearButtonSelection(funcList->group);
    clearButtonSelection(comboList->group);
    pageGroup->button(FunctionPage)->setChecked(true);
    titleLabel->clear();
}

void btn_Dialog::set_hide()
{
    QDialog::setVisible(false);
}

void btn_Dialog::dg_switch(int btn_id, bool checked)
{
    if (!checked)
        return;
    funcArea->setVisible(btn_id == FunctionPage);
    comboArea->setVisible(btn_id == CombinationPage);
    recorder->setVisible(btn_id == MacroPage);
}

void btn_Dialog::set_checked_btn(int ID, bool checked)
{
    if (checked)
        emit set_btn(ID);
}

void btn_Dialog::show_btn_text(int, bool checked)
{
    if (!checked)
        return;
    switch (currentPage()) {
    case FunctionPage:
        if (QAbstractButton *entry = funcList->group->checkedButton())
            titleLabel->setText(entry->text());
        break;
    case CombinationPage:
        if (comboList->group->checkedId() == combo_List::CustomEntry)
            titleLabel->setText(tr("自定义组合键:") + comboList->editor->mkey_text);
        else if (QAbstractButton *entry = comboList->group->checkedButton())
            titleLabel->setText(entry->text());
        break;
    case MacroPage:
        macroTitle = true;
        titleLabel->setText(tr("多键宏"));
        break;
    default:
        break;
    }
}

void btn_Dialog::btn_clear(int, bool checked)
{
    if (checked)
        clearOtherLists(currentPage());
}

void btn_Dialog::clearOtherLists(int page)
{
    if (page != FunctionPage)
        clearButtonSelection(funcList->group);
    if (page != CombinationPage)
        clearButtonSelection(comboList->group);
}

void btn_Dialog::save_micro()
{
    clearOtherLists(MacroPage);
    macroTitle = true;
    titleLabel->setText(tr("多键宏"));
    emit save_micro_clicked(1);
}
